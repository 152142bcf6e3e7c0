#pragma once

#include "planning/AnnualRenderer.h"
#include "planning/HalfDayBlock.h"
#include "planning/LegendImages.h"
#include "planning/PlanningPaint.h"

#include <QImage>
#include <QWidget>

#include <optional>
#include <vector>

namespace planning {

// One object's year, months by weekday columns, two half-rows per month.
// Left button paints the current paint, right button erases, along the
// straight path between two mouse events; Ctrl with the left button picks a
// painted half-day's legend item (PaintPicked). The owner saves on
// AfterChange. Draws into an offscreen bitmap that paintEvent copies.
// The view owns its model (the public AnnualModel fields), its paint and its
// hover state; drawing goes through AnnualRenderer.
// Beyond that: a left drag with Shift selects a rectangle of positions
// (lines are the 24 half-rows, columns the 37 weekday columns), outlined
// dotted over the drawing; with the focus, the arrows move a keyboard cursor
// (Shift extends the selection), Space paints and Backspace erases its
// half-day (each an AfterChange), Page Up/Down ask for the other year.
class TAnnualGraphicPlanning : public QWidget, public AnnualModel, public CurrentPaint {
    Q_OBJECT
public:
    explicit TAnnualGraphicPlanning(QWidget* parent = nullptr);

    bool ShowDayNumber() const { return m_showDayNumber; }
    void setShowDayNumber(bool show);
    quint32 BackGroundColor() const { return m_backgroundColor; }
    void setBackGroundColor(quint32 color);

    // Empties the cells and redraws everything.
    void ClearAndRedraw();
    // Rebuilds the layout when forced or when the year changed, else redraws
    // only the half-days; rebuilds the legend images in both cases.
    void Relayout(bool forced);

    // The hovered half-day for the owner; HoverDay may fall outside the month.
    int HoverMonth = 1;
    int HoverDay = 1;
    int HoverHalf = 1;

    const QImage& bitmap() const { return m_bitmap; }
    int cellWidth() const { return m_geometry.cellWidth; }
    int halfRowHeight() const { return m_geometry.halfRowHeight; }
    int topMargin() const { return m_geometry.top; }
    int leftMargin() const { return m_geometry.left; }
    int firstColumn(int month) const { return m_calendar.firstColumn[month]; }
    int daysOf(int month) const { return m_calendar.days[month]; }
    const YearHover& hover() const { return m_hover; }
    const LegendImages& legendImages() const { return m_images; }
    QRect positionRect(int column, int month, int half) const { return m_geometry.positionRect(column, month, half); }

    // Between a press and its release.
    bool gestureInProgress() const { return m_dragging; }
    // Draws these half-days again from their cells (after an undo or a redo).
    void redrawHalfDays(const std::vector<YearHit>& halfDays);

    static constexpr int kLines = 24;
    static constexpr int kColumns = 37;
    const std::optional<GridRect>& selection() const { return m_selection; }
    void setSelection(const GridRect& rect);
    void clearSelection();
    // The keyboard cursor, once a key has shown it.
    std::optional<GridPos> cursor() const { return m_cursorShown ? std::optional<GridPos>(m_cursor) : std::nullopt; }
    // Where a paste goes: the keyboard cursor when shown, else the position
    // under the mouse.
    std::optional<GridPos> pasteTarget() const;
    // The half-day of a position; month 0 when the position has no day.
    YearHit halfDayOf(GridPos pos) const;
    QRect positionRectOf(GridPos pos) const;
    HalfDayBlock copySelection() const;
    // The block with its top-left at `at`, clipped at the year's edges: the
    // half-days it reaches, with what they hold and what the block puts.
    std::vector<HalfDayChange> pasteChanges(const HalfDayBlock& block, GridPos at, int objectId) const;
    // The selection's half-days, before and after both what they hold.
    std::vector<HalfDayChange> selectionHalfDays(int objectId) const;

Q_SIGNALS:
    // After a press has painted or erased the half-day under the cursor.
    void BeforeChange(QObject* sender);
    // On every release, whatever the button and whether anything changed.
    void AfterChange(QObject* sender);
    // On every move over the drawing, after the hover fields are updated.
    void MouseMove(QObject* sender);
    // A Ctrl+left press on a painted half-day: its legend-side id.
    void PaintPicked(QObject* sender, int legendId);
    // The selection was made, changed or dropped.
    void SelectionChanged(QObject* sender);
    // Page Up (-1) or Page Down (+1): the year before or after.
    void PageRequested(QObject* sender, int delta);
    // The keyboard cursor moved to another half-day.
    void CursorMoved(QObject* sender);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    void PaintAt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pos);
    // Paints one half-day with the gesture, keeping what it held before.
    bool paintHalfDay(const YearHit& hit, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    // The half-days between the last mouse position of the drag and pos.
    void paintPath(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pos);
    void drawHoverAndHeaders();
    // The position under a point; clamped into the grid, or none outside it.
    std::optional<GridPos> positionAt(const QPoint& pos, bool clamp) const;
    // The position nearest to pos that has a day, on the same line.
    GridPos clampToDays(GridPos pos) const;
    void moveCursor(int lines, int columns, bool extend);
    void keyPaint(bool erase);
    void updateSelectionArea(const std::optional<GridRect>& rect);

    QImage m_bitmap;
    YearGeometry m_geometry;
    YearCalendar m_calendar{2000};
    YearHover m_hover;
    LegendImages m_images;
    int m_yearDrawn = -1;
    std::optional<QPoint> m_dragFrom;  // the last mouse position of the drag
    bool m_dragging = false;
    bool m_showDayNumber = true;
    std::optional<GridRect> m_selection;
    std::optional<GridPos> m_selectFrom;  // the Shift press of a selection drag
    std::optional<GridPos> m_pointed;     // the position under the mouse
    GridPos m_cursor;
    GridPos m_anchor;  // the fixed corner of a Shift+arrow selection
    bool m_cursorShown = false;
    quint32 m_backgroundColor = 0xFFFFFF;
};

}  // namespace planning
