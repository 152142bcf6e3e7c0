#pragma once

#include "planning/MonthRenderer.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QScrollBar;

namespace planning {

// Every object's month, one 50-pixel row per object with a 15-pixel strip
// and two half-rows of day columns; scrolls by rows. Left button paints,
// right button erases; the owner saves on AfterChange.
class TMonthlyGraphicPlanning : public QWidget, public MonthRenderer {
    Q_OBJECT
public:
    static constexpr int kDefaultRowHeight = 50;

    explicit TMonthlyGraphicPlanning(QWidget* parent = nullptr);

    bool ShowDayNumber() const { return m_showDayNumber; }
    void setShowDayNumber(bool show);
    // For a caller that lays the view out right after.
    void setShowDayNumberQuietly(bool show) { m_showDayNumber = show; }
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

    const QImage& bitmap() const { return m_bitmap; }

    std::function<void(QObject*)> BeforeChange;
    std::function<void(QObject*)> AfterChange;
    std::function<void(QObject*)> OnMouseMove;
    std::function<void(QObject*)> OnClick;
    std::function<void(QObject*)> OnTopLeftChanged;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;
    void wheelEvent(QWheelEvent*) override;

private:
    void repaintAll();
    void drawHover();
    void PaintAt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void updateScrollBar();

    QScrollBar* m_scroll;
    QImage m_bitmap;
    quint32 m_color = 0xFFFFFF;
    int m_rowCount = 2;
    int m_row = 0;
    int m_topRow = 0;
    int m_defaultColWidth = 2000;
    bool m_pressed = false;
};

}  // namespace planning
