#pragma once

#include "planning/HalfDayBlock.h"
#include "planning/LegendImages.h"
#include "planning/MonthRenderer.h"
#include "planning/PlanningPaint.h"

#include <QImage>
#include <QWidget>

#include <optional>
#include <vector>

class QScrollBar;

namespace planning {

// Every object's month, one 50-pixel row per object with a 15-pixel strip
// and two half-rows of day columns; scrolls by rows. Left button paints,
// right button erases, along the straight path between two mouse events;
// Ctrl with the left button picks a painted half-day's legend item
// (PaintPicked). The owner saves on AfterChange. The view owns its
// model (the public MonthModel fields), its paint and its hover state.
// Beyond that, as the annual view: a Shift+left drag selects a rectangle of
// positions (lines are the rows' half-rows, columns the days), the arrows
// move a keyboard cursor, Space and Backspace paint and erase its half-day,
// Page Up/Down ask for the other month.
class TMonthlyGraphicPlanning : public QWidget, public MonthModel, public CurrentPaint {
    Q_OBJECT
public:
    static constexpr int kDefaultRowHeight = 50;

    explicit TMonthlyGraphicPlanning(QWidget* parent = nullptr);

    bool ShowDayNumber() const { return m_geometry.showDayNumber; }
    void setShowDayNumber(bool show);
    // For a caller that lays the view out right after.
    void setShowDayNumberQuietly(bool show) { m_geometry.showDayNumber = show; }
    quint32 BackGroundColor() const { return m_backgroundColor; }
    void setBackGroundColor(quint32 color);
    // The grid's own colour, the background of its cells.
    quint32 Color() const { return m_color; }
    void setColor(quint32 color);

    int RowCount() const { return m_rowCount; }
    void setRowCount(int rows);
    int Row() const { return m_row; }
    void setRow(int row);
    int TopRow() const { return m_topRow; }
    void setTopRow(int row);
    int VisibleRowCount() const;
    int DefaultColWidth() const { return m_defaultColWidth; }

    void ClearMonth();
    void Relayout();
    // Redraws every visible row into the bitmap.
    void RepaintGrid() { repaintAll(); }
    // Rectangle of grid row r on screen (column 0).
    QRect CellRect(int row) const;

    // The object rows' names (label 1 of each entry), for a screen reader.
    QStringList ObjectLabels;

    // The hovered half-day for the owner.
    int HoverDay = 1;
    int HoverHalf = 1;

    const QImage& bitmap() const { return m_bitmap; }
    int dayWidth() const { return m_geometry.dayWidth; }
    int halfRowHeight() const { return m_geometry.halfRowHeight; }
    int days() const { return m_geometry.days; }
    int firstWeekday() const { return m_geometry.firstWeekday; }  // Sunday = 1
    const MonthHover& hover() const { return m_hover; }
    const LegendImages& legendImages() const { return m_images; }
    bool isWeekendDay(int day) const { return m_geometry.isWeekendDay(day); }
    QRect halfDayRect(const QRect& rowRect, int day, int half) const
    {
        return m_geometry.halfDayRect(rowRect, day, half);
    }

    // A half-day of the displayed month: object row, day and half.
    struct Hit {
        int row = -1;
        int day = 0;
        int half = 0;
        bool valid() const { return day != 0; }
        bool operator==(const Hit&) const = default;
    };
    // The half-day under a client point, by the painting rule; invalid when none.
    Hit HalfDayAt(int x, int y) const;
    // Between a press and its release.
    bool gestureInProgress() const { return m_dragging; }
    // Draws these half-days of the displayed month again from their cells
    // (after an undo or a redo); rows out of sight are left to the next paint.
    void redrawHalfDays(const std::vector<Hit>& halfDays);

    int lineCount() const { return 2 * m_rowCount; }
    const std::optional<GridRect>& selection() const { return m_selection; }
    void setSelection(const GridRect& rect);
    void clearSelection();
    std::optional<GridPos> cursor() const { return m_cursorShown ? std::optional<GridPos>(m_cursor) : std::nullopt; }
    // The keyboard cursor when shown, else the position under the mouse.
    std::optional<GridPos> pasteTarget() const;
    // The half-day of a position; invalid outside the month's rows and days.
    Hit halfDayOf(GridPos pos) const;
    // Its rectangle on screen (rows out of sight lie outside the view).
    QRect positionRectOf(GridPos pos) const;
    HalfDayBlock copySelection() const;
    // Row r is object entry r of objects.
    std::vector<HalfDayChange> pasteChanges(const HalfDayBlock& block, GridPos at, const QStringList& objects) const;
    std::vector<HalfDayChange> selectionHalfDays(const QStringList& objects) const;

Q_SIGNALS:
    void BeforeChange(QObject* sender);
    void AfterChange(QObject* sender);
    void MouseMove(QObject* sender);
    // A left press selected a row (Row()), on its release.
    void Click(QObject* sender);
    void TopLeftChanged(QObject* sender);
    // A Ctrl+left press on a painted half-day: its legend-side id.
    void PaintPicked(QObject* sender, int legendId);
    void SelectionChanged(QObject* sender);
    // Page Up (-1) or Page Down (+1): the month before or after.
    void PageRequested(QObject* sender, int delta);
    void CursorMoved(QObject* sender);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    void repaintAll();
    void drawHover();
    void PaintAt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    // Paints one half-day with the gesture, keeping what it held before.
    void paintHalfDay(const Hit& hit, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    // The half-days between the last mouse position of the drag and (x, y).
    void paintPath(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void updateScrollBar();
    std::optional<GridPos> positionAt(const QPoint& pos, bool clamp) const;
    GridPos clampToGrid(GridPos pos) const;
    void moveCursor(int lines, int columns, bool extend);
    void keyPaint(bool erase);
    void hideCursor();

    QScrollBar* m_scroll;
    QImage m_bitmap;
    MonthGeometry m_geometry;
    MonthHover m_hover;
    LegendImages m_images;
    quint32 m_backgroundColor = 0xFFFFFF;
    quint32 m_color = 0xFFFFFF;
    int m_rowCount = 2;
    int m_row = 0;
    int m_topRow = 0;
    int m_defaultColWidth = 2000;
    bool m_pressed = false;
    std::optional<QPoint> m_dragFrom;  // the last mouse position of the drag
    bool m_dragging = false;
    std::optional<GridRect> m_selection;
    std::optional<GridPos> m_selectFrom;
    std::optional<GridPos> m_pointed;
    GridPos m_cursor;
    GridPos m_anchor;
    bool m_cursorShown = false;
};

}  // namespace planning
