#pragma once

#include "planning/AnnualRenderer.h"
#include "planning/LegendImages.h"
#include "planning/PlanningModel.h"

#include <QRect>
#include <QStringList>

class QPainter;

namespace planning {

inline constexpr quint32 kMonthHoverEmptyColor = 16313575;  // (231, 236, 248)

// The model and drawing of every object's month, free of widgets: the
// monthly view keeps one and the exports draw rows through RenderMonthRow.
class MonthRenderer {
public:
    MonthRenderer() = default;
    virtual ~MonthRenderer() = default;

    MonthPlanning cells;
    int Year = 2000;
    int Month = 1;
    int ObjectCount = 0;
    int PaintId = -1;
    quint32 PaintPenColor = 0;
    quint32 PaintBrushColor = 0;
    quint8 PaintStyle = bsSolid;
    QStringList Legend;
    bool DirectColors = false;
    int HoverDay = 1;
    int HoverHalf = 1;

    void SetMonthDimensions(int rows, int months, int days, int halves)
    {
        cells.SetMonthDimensions(rows, months, days, halves);
    }
    void SetMonthCell(int row, int month, int day, int half, int id, quint32 pen, quint32 brush, quint8 style)
    {
        cells.SetMonthCell(row, month, day, half, id, pen, brush, style);
    }

    // Draws one object row inside rowRect; the day headers go to y = 0..15
    // of the canvas. Nothing when the dimensions are not set.
    void RenderMonthRow(QPainter* canvas, const QRect& rowRect, bool showDayNumber, bool highlight, quint32 gridColor,
                        quint32 weekendColor, quint32 backgroundColor, int firstWeekday, int days, int halfRowHeight,
                        int dayWidth, int left, int top, int row);

    int dayWidth() const { return m_dayWidth; }
    int halfRowHeight() const { return m_halfRowHeight; }
    int days() const { return m_days; }
    int firstWeekday() const { return m_firstWeekday; }  // Sunday = 1
    int hoveredDay() const { return m_hoverDay; }
    int hoveredHalf() const { return m_hoverHalf; }
    const LegendImages& legendImages() const { return m_images; }
    bool isWeekendDay(int day) const;
    // Saturday or Sunday, for a month whose day 1 is firstWeekday (Sunday = 1).
    static bool IsWeekendDayOf(int firstWeekday, int day);

    // The half-day rectangle inside a row rectangle, right and bottom excluded.
    QRect halfDayRect(const QRect& rowRect, int day, int half) const;

protected:
    struct Geometry {
        int dayWidth = 0, halfRowHeight = 0, left = 10, top = 15, days = 0, firstWeekday = 1;
        quint32 backgroundColor = 0xFFFFFF;
        bool showDayNumber = true;
    };
    Geometry ownGeometry() const;
    void computeLayout(int defaultColumnWidth, int defaultRowHeight);
    void drawHalfDay(QPainter& p, const Geometry& g, const QRect& rowRect, int row, int day, int half,
                     bool highlight) const;
    void drawDayHeaders(QPainter& p, const Geometry& g, bool highlight) const;

    int m_dayWidth = 0;
    int m_halfRowHeight = 0;
    int m_days = 31;
    int m_firstWeekday = 1;
    int m_hoverDay = 0;
    int m_hoverHalf = 0;
    bool m_showDayNumber = true;
    quint32 m_backgroundColor = 0xFFFFFF;
    LegendImages m_images;
};

}  // namespace planning
