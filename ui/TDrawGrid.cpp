#include "ui/TDrawGrid.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace ui {

TDrawGrid::TDrawGrid(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    m_scroll = new QScrollBar(Qt::Vertical, this);
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int v) {
        if (v == m_topRow)
            return;
        m_topRow = v;
        update();
        Q_EMIT TopLeftChanged();
    });
}

void TDrawGrid::setColCount(int cols)
{
    m_cols = qMax(1, cols);
    m_col = qMin(m_col, m_cols - 1);
    update();
}

void TDrawGrid::setRowCount(int rows)
{
    m_rows = qMax(0, rows);
    if (m_row >= m_rows)
        m_row = qMax(0, m_rows - 1);
    updateScrollBar();
    update();
}

void TDrawGrid::setDefaultRowHeight(int h)
{
    m_rowHeight = qMax(1, h);
    updateScrollBar();
    update();
}

void TDrawGrid::setDefaultColWidth(int w)
{
    m_colWidth = qMax(1, w);
    update();
}

void TDrawGrid::setColor(const QColor& c)
{
    m_color = c;
    update();
}

void TDrawGrid::setScrollBarVisible(bool visible)
{
    m_scrollVisible = visible;
    resizeEvent(nullptr);
    update();
}

void TDrawGrid::setFitColumns(bool fit)
{
    m_fitColumns = fit;
    if (fit)
        m_colWidth = qMax(1, ClientWidth() / m_cols);
    update();
}

void TDrawGrid::setRow(int row)
{
    select(m_col, row);
}

void TDrawGrid::setCol(int col)
{
    select(col, m_row);
}

void TDrawGrid::select(int col, int row)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        return;
    m_col = col;
    m_row = row;
    keepSelectionVisible();
    update();
}

void TDrawGrid::setTopRow(int row)
{
    m_scroll->setValue(qBound(0, row, m_scroll->maximum()));
}

int TDrawGrid::VisibleRowCount() const
{
    return height() / m_rowHeight;
}

int TDrawGrid::ClientWidth() const
{
    return width() - (m_scrollVisible ? m_scroll->sizeHint().width() : 0);
}

QRect TDrawGrid::CellRect(int col, int row) const
{
    return QRect(col * m_colWidth, (row - m_topRow) * m_rowHeight, m_colWidth, m_rowHeight);
}

void TDrawGrid::updateScrollBar()
{
    const int visible = qMax(1, VisibleRowCount());
    m_scroll->setRange(0, qMax(0, m_rows - visible));
    m_scroll->setPageStep(visible);
}

void TDrawGrid::keepSelectionVisible()
{
    const int visible = qMax(1, VisibleRowCount());
    if (m_row < m_topRow)
        setTopRow(m_row);
    else if (m_row >= m_topRow + visible)
        setTopRow(m_row - visible + 1);
}

void TDrawGrid::resizeEvent(QResizeEvent*)
{
    const int bar = m_scroll->sizeHint().width();
    m_scroll->setGeometry(width() - bar, 0, bar, height());
    m_scroll->setVisible(m_scrollVisible);
    if (m_fitColumns)
        m_colWidth = qMax(1, ClientWidth() / m_cols);
    updateScrollBar();
}

void TDrawGrid::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    if (!OnDrawCell)
        return;
    const int visible = VisibleRowCount();
    for (int i = 0; i <= visible; ++i) {
        const int r = m_topRow + i;
        if (r >= m_rows)
            break;
        for (int c = 0; c < m_cols; ++c) {
            p.save();
            const QRect cell = CellRect(c, r);
            p.setClipRect(cell.intersected(QRect(0, 0, ClientWidth(), height())));
            OnDrawCell(p, c, r, cell);
            p.restore();
        }
    }
}

bool TDrawGrid::cellAt(const QPoint& pos, int* col, int* row) const
{
    if (pos.x() < 0 || pos.x() >= ClientWidth() || pos.y() < 0)
        return false;
    const int r = pos.y() / m_rowHeight + m_topRow;
    const int c = pos.x() / m_colWidth;
    if (r >= m_rows || c >= m_cols)
        return false;
    *col = c;
    *row = r;
    return true;
}

void TDrawGrid::mousePressEvent(QMouseEvent* e)
{
    int c, r;
    if ((e->button() == Qt::LeftButton || e->button() == Qt::RightButton) && cellAt(e->position().toPoint(), &c, &r)) {
        select(c, r);
        m_pressed = e->button() == Qt::LeftButton;
    }
}

void TDrawGrid::mouseReleaseEvent(QMouseEvent* e)
{
    if (m_pressed && e->button() == Qt::LeftButton)
        Q_EMIT Click();
    m_pressed = false;
}

void TDrawGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    int c, r;
    if (e->button() == Qt::LeftButton && cellAt(e->position().toPoint(), &c, &r))
        Q_EMIT DblClick();
}

void TDrawGrid::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Up: select(m_col, m_row - 1); break;
    case Qt::Key_Down: select(m_col, m_row + 1); break;
    case Qt::Key_Left: select(m_col - 1, m_row); break;
    case Qt::Key_Right: select(m_col + 1, m_row); break;
    case Qt::Key_PageUp: select(m_col, qMax(0, m_row - qMax(1, VisibleRowCount()))); break;
    case Qt::Key_PageDown: select(m_col, qMin(m_rows - 1, m_row + qMax(1, VisibleRowCount()))); break;
    default: QWidget::keyPressEvent(e); return;
    }
}

void TDrawGrid::keyReleaseEvent(QKeyEvent* e)
{
    if (!e->isAutoRepeat())
        Q_EMIT KeyUp(e->key());
}

void TDrawGrid::wheelEvent(QWheelEvent* e)
{
    const int steps = e->angleDelta().y() / 120;
    if (steps != 0 && m_scrollVisible)
        setTopRow(m_topRow - steps);
}

void TDrawGrid::contextMenuEvent(QContextMenuEvent* e)
{
    Q_EMIT ContextMenu(e->globalPos());
}

}  // namespace ui
