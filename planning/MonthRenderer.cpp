#include "planning/MonthRenderer.h"

#include "planning/PlanningPaint.h"

#include <QFont>
#include <QPainter>

namespace planning {

MonthGeometry MonthGeometry::ForMonth(int year, int month, int defaultColumnWidth, int defaultRowHeight,
                                      quint32 backgroundColor, bool showDayNumber)
{
    MonthGeometry g;
    g.days = DaysInMonth(year, month);
    g.dayWidth = qMax(0, (defaultColumnWidth - 10) / g.days);
    g.halfRowHeight = qMax(0, (defaultRowHeight - 15 - 1) / 2);
    g.firstWeekday = QDate(year, month, 1).dayOfWeek() % 7 + 1;
    g.backgroundColor = backgroundColor;
    g.showDayNumber = showDayNumber;
    return g;
}

QRect MonthGeometry::halfDayRect(const QRect& rowRect, int day, int half) const
{
    const int x = rowRect.left() + left + (day - 1) * dayWidth;
    const int y = rowRect.top() + top + (half - 1) * halfRowHeight;
    return QRect(QPoint(x + 1, y + 1), QPoint(x + dayWidth - 1, y + halfRowHeight - 1));
}

bool MonthGeometry::isWeekendDay(int day) const
{
    return MonthRenderer::IsWeekendDayOf(firstWeekday, day);
}

MonthRenderer::MonthRenderer(const MonthModel& model, const LegendImages& images, const MonthHover& hover,
                             quint32 backGroundColor)
    : m_model(model), m_images(images), m_hover(hover), m_backGroundColor(backGroundColor)
{ }

bool MonthRenderer::IsWeekendDayOf(int firstWeekday, int day)
{
    // Weekday indexes 0, 6, 7, 13, 14 ... from the Sunday before day 1.
    const int index = firstWeekday + day - 2;
    return index >= 0 && (index % 7 == 0 || index % 7 == 6);
}

void MonthRenderer::drawHalfDay(QPainter& p, const MonthGeometry& g, const QRect& rowRect, int row, int d, int h,
                                bool highlight) const
{
    const int month = m_model.Month;
    if (!m_model.cells.contains(row, month, d, h))
        return;
    const QRect r = g.halfDayRect(rowRect, d, h);
    const HalfDayCell& c = m_model.cells.cell(row, month, d, h);
    if (c.Id == -1) {
        const quint32 color = highlight && d == m_hover.day   ? kMonthHoverEmptyColor
            : g.isWeekendDay(d) || m_model.isOffHalfDay(d, h) ? kWeekendColor
                                                              : 0xFFFFFF;
        p.fillRect(r, ColorFromRef(color));
    } else {
        DrawAssignedHalfDay(p, r, c, IsPastHalfDay(m_model.Year, month, d), m_model.DirectColors, 50, m_images,
                            m_model.Legend);
        if (m_model.isOffHalfDay(d, h))
            DrawNonWorkingBand(p, r, kWeekendColor, kGridColor);
    }
    if (g.showDayNumber && h == 1)
        DrawDayNumber(p, r, d);
}

void MonthRenderer::drawDayHeaders(QPainter& p, const MonthGeometry& g, bool highlight) const
{
    p.save();
    p.setFont(ArialFont(12));
    for (int d = 1; d <= g.days; ++d) {
        const quint32 bg = !highlight ? 0xFFFFFF : (d == m_hover.day ? kHighlightColor : g.backgroundColor);
        const QRect cell(QPoint(10 + (d - 1) * g.dayWidth, 0), QPoint(10 + d * g.dayWidth - 1, 14));
        p.fillRect(cell, ColorFromRef(bg));
        p.setClipRect(cell);
        p.setPen(Qt::black);
        const int cx = 10 + (d - 1) * g.dayWidth + g.dayWidth / 2 + 1;
        // firstWeekday counts from Sunday = 1; WeekdayName from Monday = 1.
        const QString name = WeekdayName((g.firstWeekday + d - 3 + 7) % 7 + 1).left(2);
        p.drawText(QRect(cx - 50, 2, 100, 100), Qt::AlignHCenter | Qt::AlignTop, name);
        p.setClipping(false);
    }
    p.restore();
}

void MonthRenderer::RenderMonthRow(QPainter* canvas, const QRect& rowRect, bool showDayNumber, bool highlight,
                                   quint32 gridColor, quint32 weekendColor, quint32 backgroundColor, int firstWeekday,
                                   int days, int halfRowHeight, int dayWidth, int left, int top, int row) const
{
    // Empty weekend half-days always take the fixed weekend grey.
    Q_UNUSED(weekendColor);
    if (!m_model.cells.dimensionsSet())
        return;
    QPainter& p = *canvas;
    p.setRenderHint(QPainter::Antialiasing, false);
    MonthGeometry g;
    g.dayWidth = dayWidth;
    g.halfRowHeight = halfRowHeight;
    g.left = left;
    g.top = top;
    g.days = days;
    g.firstWeekday = firstWeekday;
    g.backgroundColor = m_backGroundColor;
    g.showDayNumber = showDayNumber;

    const int gridRight = rowRect.left() + left + days * dayWidth;
    if (gridRight <= rowRect.right())
        p.fillRect(QRect(QPoint(gridRight, rowRect.top()), rowRect.bottomRight()), ColorFromRef(backgroundColor));
    p.setPen(QPen(ColorFromRef(gridColor), 0));
    const int y0 = rowRect.top() + top;
    for (int i = 0; i <= days; ++i) {
        const int x = rowRect.left() + left + i * dayWidth;
        p.drawLine(x, y0, x, y0 + 2 * halfRowHeight - 1);
    }
    for (int j = 0; j <= 2; ++j) {
        const int y = y0 + j * halfRowHeight;
        p.drawLine(rowRect.left() + left, y, gridRight - 1, y);
    }
    for (int d = 1; d <= days; ++d) {
        for (int h = 1; h <= 2; ++h)
            drawHalfDay(p, g, rowRect, row, d, h, highlight);
    }
    drawDayHeaders(p, g, highlight);
}

}  // namespace planning
