#pragma once

#include "planning/AnnualRenderer.h"
#include "planning/LegendImages.h"
#include "planning/PlanningModel.h"

#include <QRect>
#include <QStringList>

class QPainter;

namespace planning {

inline constexpr quint32 kMonthHoverEmptyColor = 16313575;  // (231, 236, 248)

// Every object's month as the monthly view and the exports hold it.
struct MonthModel {
    MonthPlanning cells;
    int Year = 2000;
    int Month = 1;
    int ObjectCount = 0;  // object rows that hold data
    QStringList Legend;   // legend-side entry strings
    bool DirectColors = false;
    PendingEdits pending;  // keyed by MonthKey
    // The non-working half-days drawn over Year; none while the option is off.
    std::shared_ptr<const NonWorkingDays> DaysOff;

    bool isOffHalfDay(int day, int half) const
    {
        return DaysOff && DaysOff->year() == Year && DaysOff->isOff(Month, day, half);
    }

    void SetMonthDimensions(int rows, int months, int days, int halves)
    {
        cells.SetMonthDimensions(rows, months, days, halves);
        pending.clear();
    }
    static quint64 MonthKey(int row, int month, int day, int half)
    {
        return ((static_cast<quint64>(row) * 13 + month) * 32 + day) * 3 + half;
    }
    void SetMonthCell(int row, int month, int day, int half, int id, quint32 pen, quint32 brush, quint8 style)
    {
        cells.SetMonthCell(row, month, day, half, id, pen, brush, style);
    }
};

// The hovered day and half of the monthly drawing; 0 means none.
struct MonthHover {
    int day = 0;
    int half = 0;
};

// Where a month row is drawn: a strip of `top` pixels, then two half-rows of
// day columns right of `left`.
struct MonthGeometry {
    int dayWidth = 0;
    int halfRowHeight = 0;
    int left = 10;
    int top = 15;
    int days = 31;
    int firstWeekday = 1;                // Sunday = 1
    quint32 backgroundColor = 0xFFFFFF;  // the highlighted day headers' background
    bool showDayNumber = true;

    // The view's layout of a month in rows of defaultRowHeight and columns
    // of defaultColumnWidth pixels.
    static MonthGeometry ForMonth(int year, int month, int defaultColumnWidth, int defaultRowHeight,
                                  quint32 backgroundColor, bool showDayNumber);
    // The half-day rectangle inside a row rectangle, right and bottom excluded.
    QRect halfDayRect(const QRect& rowRect, int day, int half) const;
    bool isWeekendDay(int day) const;
};

// Draws rows of a const month model with the caller's legend images and hover.
// backGroundColor is the control's BackGroundColor: the day headers take it
// when highlighted, whatever background the rows are drawn on.
class MonthRenderer {
public:
    MonthRenderer(const MonthModel& model, const LegendImages& images, const MonthHover& hover = {},
                  quint32 backGroundColor = 0xFFFFFF);

    // Draws one object row inside rowRect; the day headers go to y = 0..15
    // of the canvas. Nothing when the dimensions are not set.
    void RenderMonthRow(QPainter* canvas, const QRect& rowRect, bool showDayNumber, bool highlight, quint32 gridColor,
                        quint32 weekendColor, quint32 backgroundColor, int firstWeekday, int days, int halfRowHeight,
                        int dayWidth, int left, int top, int row) const;

    void drawHalfDay(QPainter& p, const MonthGeometry& g, const QRect& rowRect, int row, int day, int half,
                     bool highlight) const;
    void drawDayHeaders(QPainter& p, const MonthGeometry& g, bool highlight) const;

    // Saturday or Sunday, for a month whose day 1 is firstWeekday (Sunday = 1).
    static bool IsWeekendDayOf(int firstWeekday, int day);

private:
    const MonthModel& m_model;
    const LegendImages& m_images;
    MonthHover m_hover;
    quint32 m_backGroundColor;
};

}  // namespace planning
