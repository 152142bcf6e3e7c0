#pragma once

#include "planning/PlanningModel.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <Qt>

class QPainter;

namespace planning {

// French names: weekday 1 (Monday) .. 7 (Sunday), month 1..12.
QString WeekdayName(int isoWeekday);
QString MonthName(int month);

// "Arial" at a pixel height, without antialiasing, as the views draw text.
QFont ArialFont(int pixels);

// The day number of a morning half-day at its rectangle's top left.
void DrawDayNumber(QPainter& p, const QRect& cellRect, int day);

class LegendImages;

// RenderSwatch(width, height, 3, 12, 3, 2, ...) of a half-day in direct
// colours, kept for the next call with the same arguments. The reference
// stays valid until the next call.
const QImage& CachedSwatch(int width, int height, quint32 penColor, quint32 brushColor, TBrushStyle style, int lighten);

// An assigned half-day in its rectangle: its own swatch (lightened by
// pastLighten when past) with direct colours, otherwise the legend image of
// its id (faded when past). An id without a legend entry draws nothing.
void DrawAssignedHalfDay(QPainter& p, const QRect& r, const HalfDayCell& cell, bool past, bool directColors,
                         int pastLighten, const LegendImages& images, const QStringList& legend);

// True for exactly the left (or right) button with no modifier and no other button.
bool ExactlyLeft(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
bool ExactlyRight(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
// Exactly the left button with Ctrl and no other modifier: the eyedropper.
bool CtrlLeft(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
// Exactly the left button with Shift: a selection.
bool ShiftLeft(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// The keyboard cursor's focus outline, inside a half-day's rectangle.
void DrawKeyboardCursor(QPainter& p, const QRect& cellRect);

// Calls visit(x, y) for every pixel of the straight line from a to b, both
// ends excluded, from a towards b: the pixels a drag crossed between two
// mouse events.
template <typename Visit> void ForEachPixelBetween(QPoint a, QPoint b, Visit visit)
{
    const int dx = qAbs(b.x() - a.x()), dy = -qAbs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1, sy = a.y() < b.y() ? 1 : -1;
    int x = a.x(), y = a.y(), err = dx + dy;
    while (a != b) {
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
        if (x == b.x() && y == b.y())
            return;
        visit(x, y);
    }
}

// The current paint of a view: what the left button puts into a half-day.
struct CurrentPaint {
    int PaintId = -1;  // legend-side record; -1: nothing selected, no gesture paints
    quint32 PaintPenColor = 0;
    quint32 PaintBrushColor = 0;
    quint8 PaintStyle = bsSolid;
};

// What a gesture does to a half-day: exactly the left button paints the
// current paint, exactly the right button erases; both mark the cell
// modified. Anything else leaves it alone and answers false.
bool ApplyGesture(HalfDayCell& cell, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                  const CurrentPaint& paint);

}  // namespace planning
