#include "planning/TAnnualGraphicPlanning.h"

#include <QMouseEvent>
#include <QPainter>

namespace planning {

TAnnualGraphicPlanning::TAnnualGraphicPlanning(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("AnnualGraphicPlanning"));
    setGeometry(0, 0, 200, 200);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ClearYear();
}

void TAnnualGraphicPlanning::setShowDayNumber(bool show)
{
    m_showDayNumber = show;
    Relayout(true);
}

void TAnnualGraphicPlanning::setBackGroundColor(quint32 color)
{
    m_backgroundColor = color;
    Relayout(true);
}

void TAnnualGraphicPlanning::ClearAndRedraw()
{
    ClearYear();
    Relayout(true);
}

void TAnnualGraphicPlanning::Relayout(bool forced)
{
    bool cellsOnly = true;
    if (forced || Year != m_yearDrawn || m_bitmap.size() != size()) {
        computeLayout(width(), height());
        m_bitmap = QImage(qMax(1, width()), qMax(1, height()), QImage::Format_RGB32);
        cellsOnly = false;
    }
    rebuildLegendImages();
    QPainter p(&m_bitmap);
    RenderYear(&p, cellsOnly, m_showDayNumber, true, kGridColor, kWeekendColor, m_backgroundColor, m_halfRowHeight,
               m_cellWidth, m_left, m_top, height(), width());
    p.end();
    m_yearDrawn = Year;
    update();
}

void TAnnualGraphicPlanning::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_bitmap.isNull())
        p.fillRect(rect(), Qt::white);
    else
        p.drawImage(0, 0, m_bitmap);
}

void TAnnualGraphicPlanning::resizeEvent(QResizeEvent*)
{
    Relayout(true);
}

void TAnnualGraphicPlanning::paintAndDraw(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pos)
{
    int m, d, h;
    if (!PaintAt(buttons, modifiers, pos.x(), pos.y(), &m, &d, &h))
        return;
    QPainter p(&m_bitmap);
    drawCell(p, ownGeometry(), m, d, h);
    p.end();
    update(positionRect(m_firstColumn[m] + d - 1, m, h));
}

void TAnnualGraphicPlanning::mousePressEvent(QMouseEvent* e)
{
    paintAndDraw(e->buttons(), e->modifiers(), e->position().toPoint());
    if (BeforeChange)
        BeforeChange(this);
}

void TAnnualGraphicPlanning::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_hoverColumn = m_hoverMonth = m_hoverHalf = 0;
    paintAndDraw(e->buttons(), e->modifiers(), pos);
    if (m_cellWidth > 0 && m_halfRowHeight > 0 && !m_bitmap.isNull()) {
        updateHover(pos.x(), pos.y());
        QPainter p(&m_bitmap);
        const Geometry g = ownGeometry();
        drawHover(p, g);
        drawHeaders(p, g, true);
        p.end();
        update();
    }
    if (m_hoverMonth >= 1 && m_hoverMonth <= 12) {
        HoverMonth = m_hoverMonth;
        HoverDay = m_hoverColumn - m_firstColumn[m_hoverMonth] + 1;
        HoverHalf = m_hoverHalf;
    }
    if (OnMouseMove)
        OnMouseMove(this);
}

void TAnnualGraphicPlanning::mouseReleaseEvent(QMouseEvent*)
{
    if (AfterChange)
        AfterChange(this);
}

void TAnnualGraphicPlanning::leaveEvent(QEvent*)
{
    m_hoverColumn = m_hoverMonth = m_hoverHalf = 0;
    if (m_bitmap.isNull() || m_cellWidth == 0 || m_halfRowHeight == 0)
        return;
    QPainter p(&m_bitmap);
    const Geometry g = ownGeometry();
    drawHover(p, g);
    drawHeaders(p, g, true);
    p.end();
    update();
}

}  // namespace planning
