#pragma once

#include "planning/Holidays.h"
#include "planning/LegendImages.h"
#include "planning/PlanningModel.h"

#include <QRect>
#include <QStringList>

class QPainter;

namespace planning {

inline constexpr quint32 kHighlightColor = 15982294;  // (214, 222, 243)
inline constexpr quint32 kGridColor = 12632256;       // (192, 192, 192)
inline constexpr quint32 kWeekendColor = 16119285;    // (245, 245, 245)

// One object's year as the annual view and the exports hold it.
struct AnnualModel {
    YearPlanning cells;
    int Year = 2000;
    QStringList Legend;  // legend-side entry strings
    bool DirectColors = false;
    PendingEdits pending;  // keyed by YearKey
    // The non-working half-days drawn over Year; none while the option is off.
    std::shared_ptr<const NonWorkingDays> DaysOff;

    bool isOffHalfDay(int month, int day, int half) const
    {
        return DaysOff && DaysOff->year() == Year && DaysOff->isOff(month, day, half);
    }
    void ClearYear()
    {
        cells.ClearYear();
        pending.clear();
    }
    static quint64 YearKey(int month, int day, int half) { return (static_cast<quint64>(month) * 32 + day) * 3 + half; }
    void SetYearCell(int month, int day, int half, int id, quint32 penColor, quint32 brushColor, quint8 style)
    {
        cells.SetYearCell(month, day, half, id, penColor, brushColor, style);
    }
};

// The hovered position of the annual drawing; 0 means none.
struct YearHover {
    int column = 0;
    int month = 0;
    int half = 0;
};

// Where the year is drawn: 37 columns, 24 half-rows below and right of the margins.
struct YearGeometry {
    int cellWidth = 0;
    int halfRowHeight = 0;
    int left = 25;
    int top = 15;
    quint32 backgroundColor = 0xFFFFFF;
    bool showDayNumber = true;

    // The view's layout for a drawing area of width × height.
    static YearGeometry ForSize(int width, int height, quint32 backgroundColor, bool showDayNumber);
    // The rectangle of a position (column, month, half), right and bottom excluded.
    QRect positionRect(int column, int month, int half) const;
};

// Days and first columns (Monday = 1) of every month of a year.
struct YearCalendar {
    int days[13] = {};
    int firstColumn[13] = {};
    explicit YearCalendar(int year);
};

// A half-day of the year under a point, for painting; all 0 when none.
struct YearHit {
    int month = 0;
    int day = 0;
    int half = 0;
};
YearHit HalfDayAt(const YearGeometry& g, const YearCalendar& calendar, int x, int y);
// The hovered column, month and half under a point (not clipped to the grid).
YearHover YearHoverAt(const YearGeometry& g, int x, int y);

// Draws a const year model. The legend images (one per Legend entry, unused
// with DirectColors) and the hover state belong to the caller.
class AnnualRenderer {
public:
    AnnualRenderer(const AnnualModel& model, const LegendImages& images, const YearHover& hover = {});
    // With the calendar of the last full drawing, which a view keeps, so that
    // a mouse move does not work the months out again.
    AnnualRenderer(const AnnualModel& model, const LegendImages& images, const YearHover& hover,
                   const YearCalendar& calendar);

    // Draws the year on any canvas with the geometry given; cells only
    // leaves the grid, headers and outlines as they are.
    void RenderYear(QPainter* canvas, bool cellsOnly, bool showDayNumber, bool highlightHeaders, quint32 gridColor,
                    quint32 weekendColor, quint32 backgroundColor, int halfRowHeight, int cellWidth, int left, int top,
                    int height, int width) const;

    void drawCell(QPainter& p, const YearGeometry& g, int month, int day, int half) const;
    // The cross of highlighted empty half-days along the hovered column and half-row.
    void drawHover(QPainter& p, const YearGeometry& g) const;
    void drawHeaders(QPainter& p, const YearGeometry& g, bool highlight) const;

    const YearCalendar& calendar() const { return m_calendar; }

    static bool isWeekendColumn(int column);
    // "L", "M", ... for column 1..37 and "Jan", "Fév", ... for month 1..12.
    static QString WeekdayHeaderText(int column);
    static QString MonthHeaderText(int month);

private:
    const AnnualModel& m_model;
    const LegendImages& m_images;
    YearHover m_hover;
    YearCalendar m_calendar;
};

}  // namespace planning
