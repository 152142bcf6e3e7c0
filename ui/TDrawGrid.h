#pragma once

#include <QWidget>

#include <functional>

class QScrollBar;

namespace ui {

// An owner-drawn grid of fixed-size cells that scrolls by rows: the grid
// paints only its background colour, every cell comes from drawCell.
class TDrawGrid : public QWidget {
    Q_OBJECT
public:
    explicit TDrawGrid(QWidget* parent = nullptr);

    void setColCount(int cols);
    int ColCount() const { return m_cols; }
    void setRowCount(int rows);
    int RowCount() const { return m_rows; }
    void setDefaultRowHeight(int h);
    int DefaultRowHeight() const { return m_rowHeight; }
    void setDefaultColWidth(int w);
    int DefaultColWidth() const { return m_colWidth; }
    void setColor(const QColor& c);
    QColor Color() const { return m_color; }
    void setScrollBarVisible(bool visible);
    // Columns share the client width equally (integer part), also on resize.
    void setFitColumns(bool fit);

    int Row() const { return m_row; }
    int Col() const { return m_col; }
    void setRow(int row);
    void setCol(int col);
    void select(int col, int row);
    int TopRow() const { return m_topRow; }
    void setTopRow(int row);
    int VisibleRowCount() const;
    int ClientWidth() const;
    QRect CellRect(int col, int row) const;

    // Draws one cell; the owner paints every cell through it.
    std::function<void(QPainter&, int col, int row, const QRect&)> OnDrawCell;
    // What a screen reader says for one cell; empty for a cell that shows nothing.
    std::function<QString(int col, int row)> OnAccessibleText;

Q_SIGNALS:
    // A left press and release selected a cell (Row(), Col()).
    void Click();
    void DblClick();
    // A key released, auto-repeat left out.
    void KeyUp(int key);
    void TopLeftChanged();
    void ContextMenu(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;

private:
    void updateScrollBar();
    bool cellAt(const QPoint& pos, int* col, int* row) const;
    void keepSelectionVisible();

    QScrollBar* m_scroll;
    bool m_scrollVisible = true;
    bool m_fitColumns = false;
    int m_cols = 1, m_rows = 1, m_rowHeight = 24, m_colWidth = 64;
    int m_row = 0, m_col = 0, m_topRow = 0;
    QColor m_color = Qt::white;
    bool m_pressed = false;
};

}  // namespace ui
