#pragma once

#include "planning/LegendImages.h"
#include "planning/PlanningModel.h"

#include <QRect>
#include <QStringList>

#include <Qt>

class QPainter;

namespace planning {

inline constexpr quint32 kHighlightColor = 15982294;  // (214, 222, 243)
inline constexpr quint32 kGridColor = 12632256;       // (192, 192, 192)
inline constexpr quint32 kWeekendColor = 16119285;    // (245, 245, 245)

// True for exactly the left (or right) button with no modifier and no other button.
bool ExactlyLeft(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
bool ExactlyRight(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// The model and drawing of one object's year, free of widgets: the annual
// view keeps one and the exports draw through RenderYear on their canvases.
class AnnualRenderer {
public:
    AnnualRenderer();
    virtual ~AnnualRenderer() = default;

    YearPlanning cells;
    int Year = 2000;
    int PaintId = -1;
    quint32 PaintPenColor = 0;
    quint32 PaintBrushColor = 0;
    quint8 PaintStyle = bsSolid;
    QStringList Legend;
    bool DirectColors = false;
    int HoverMonth = 1;
    int HoverDay = 1;
    int HoverHalf = 1;

    void ClearYear() { cells.ClearYear(); }
    void SetYearCell(int month, int day, int half, int id, quint32 penColor, quint32 brushColor, quint8 style)
    {
        cells.SetYearCell(month, day, half, id, penColor, brushColor, style);
    }

    // Draws the year on any canvas with the geometry given.
    void RenderYear(QPainter* canvas, bool cellsOnly, bool showDayNumber, bool highlightHeaders, quint32 gridColor,
                    quint32 weekendColor, quint32 backgroundColor, int halfRowHeight, int cellWidth, int left, int top,
                    int height, int width);

    // Geometry of the view's own drawing.
    int cellWidth() const { return m_cellWidth; }
    int halfRowHeight() const { return m_halfRowHeight; }
    int topMargin() const { return m_top; }
    int leftMargin() const { return m_left; }
    int firstColumn(int month) const { return m_firstColumn[month]; }
    int daysOf(int month) const { return m_days[month]; }
    int hoveredColumn() const { return m_hoverColumn; }
    int hoveredMonth() const { return m_hoverMonth; }
    int hoveredHalf() const { return m_hoverHalf; }
    const LegendImages& legendImages() const { return m_images; }

    // The rectangle of a position (column, month, half), right and bottom excluded.
    QRect positionRect(int column, int month, int half) const;
    static bool isWeekendColumn(int column);
    // "L", "M", ... for column 1..37 and "Jan", "Fév", ... for month 1..12.
    static QString WeekdayHeaderText(int column);
    static QString MonthHeaderText(int month);

protected:
    struct Geometry {
        int cellWidth = 0, halfRowHeight = 0, left = 25, top = 15;
        quint32 backgroundColor = 0xFFFFFF;
        bool showDayNumber = true;
    };

    void computeLayout(int width, int height);
    void computeCalendar();
    void rebuildLegendImages();
    // Paints or erases the half-day under (x, y); answers true with the cell
    // changed (month, day, half) when something was set.
    bool PaintAt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y, int* month, int* day,
                 int* half);
    void updateHover(int x, int y);
    void drawCell(QPainter& p, const Geometry& g, int month, int day, int half) const;
    void drawHover(QPainter& p, const Geometry& g) const;
    void drawHeaders(QPainter& p, const Geometry& g, bool highlight) const;
    Geometry ownGeometry() const;

    int m_cellWidth = 0;
    int m_halfRowHeight = 0;
    int m_top = 15;
    int m_left = 25;
    int m_hoverColumn = 0;
    int m_hoverMonth = 0;
    int m_hoverHalf = 0;
    int m_yearDrawn = -1;
    int m_days[13] = {};
    int m_firstColumn[13] = {};
    bool m_showDayNumber = true;
    quint32 m_backgroundColor = 0xFFFFFF;
    LegendImages m_images;
};

}  // namespace planning
