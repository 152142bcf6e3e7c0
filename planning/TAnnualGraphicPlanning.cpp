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
        m_geometry = YearGeometry::ForSize(width(), height(), m_backgroundColor, m_showDayNumber);
        m_calendar = YearCalendar(Year);
        m_bitmap = QImage(qMax(1, width()), qMax(1, height()), QImage::Format_RGB32);
        cellsOnly = false;
    }
    m_geometry.backgroundColor = m_backgroundColor;
    m_geometry.showDayNumber = m_showDayNumber;
    m_images.rebuild(Legend, m_geometry.cellWidth - 1, m_geometry.halfRowHeight - 1);
    QPainter p(&m_bitmap);
    AnnualRenderer(*this, m_images, m_hover, m_calendar)
        .RenderYear(&p, cellsOnly, m_showDayNumber, true, kGridColor, kWeekendColor, m_backgroundColor,
                    m_geometry.halfRowHeight, m_geometry.cellWidth, m_geometry.left, m_geometry.top, height(), width());
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

void TAnnualGraphicPlanning::PaintAt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pos)
{
    if (PaintId <= -1)
        return;
    const YearHit hit = HalfDayAt(m_geometry, m_calendar, pos.x(), pos.y());
    if (hit.month == 0)
        return;
    HoverMonth = hit.month;
    HoverDay = hit.day;
    HoverHalf = hit.half;
    paintHalfDay(hit, buttons, modifiers);
}

bool TAnnualGraphicPlanning::paintHalfDay(const YearHit& hit, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    HalfDayCell& cell = cells.cell(hit.month, hit.day, hit.half);
    const qint32 before = cell.Id;
    const bool wasModified = cell.Modified == 1;
    if (!ApplyGesture(cell, buttons, modifiers, *this))
        return false;
    if (!wasModified)
        pending.record(YearKey(hit.month, hit.day, hit.half), before);
    QPainter p(&m_bitmap);
    AnnualRenderer(*this, m_images, m_hover, m_calendar).drawCell(p, m_geometry, hit.month, hit.day, hit.half);
    p.end();
    update(positionRect(m_calendar.firstColumn[hit.month] + hit.day - 1, hit.month, hit.half));
    return true;
}

void TAnnualGraphicPlanning::paintPath(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint& pos)
{
    // A fast drag moves many pixels between two events: every half-day on
    // the straight path takes the gesture, not only those under the events.
    if (m_dragFrom && PaintId > -1 && (ExactlyLeft(buttons, modifiers) || ExactlyRight(buttons, modifiers))) {
        YearHit last = HalfDayAt(m_geometry, m_calendar, m_dragFrom->x(), m_dragFrom->y());
        const YearHit end = HalfDayAt(m_geometry, m_calendar, pos.x(), pos.y());
        ForEachPixelBetween(*m_dragFrom, pos, [&](int x, int y) {
            const YearHit hit = HalfDayAt(m_geometry, m_calendar, x, y);
            const bool same = hit.month == last.month && hit.day == last.day && hit.half == last.half;
            const bool atEnd = hit.month == end.month && hit.day == end.day && hit.half == end.half;
            if (!same && !atEnd && hit.month != 0)
                paintHalfDay(hit, buttons, modifiers);
            last = hit;
        });
    }
    if (m_dragging)
        m_dragFrom = pos;
    PaintAt(buttons, modifiers, pos);
}

void TAnnualGraphicPlanning::redrawHalfDays(const std::vector<YearHit>& halfDays)
{
    if (halfDays.empty() || m_bitmap.isNull() || m_geometry.cellWidth == 0 || m_geometry.halfRowHeight == 0)
        return;
    QPainter p(&m_bitmap);
    const AnnualRenderer renderer(*this, m_images, m_hover, m_calendar);
    for (const YearHit& h : halfDays)
        if (h.month >= 1 && h.month <= 12 && h.day >= 1 && h.day <= m_calendar.days[h.month])
            renderer.drawCell(p, m_geometry, h.month, h.day, h.half);
    // A half-day that became empty under the hover cross takes its highlight.
    if (m_hover.column != 0 || m_hover.month != 0)
        renderer.drawHover(p, m_geometry);
    p.end();
    update();
}

void TAnnualGraphicPlanning::drawHoverAndHeaders()
{
    QPainter p(&m_bitmap);
    const AnnualRenderer renderer(*this, m_images, m_hover, m_calendar);
    renderer.drawHover(p, m_geometry);
    renderer.drawHeaders(p, m_geometry, true);
    p.end();
    update();
}

void TAnnualGraphicPlanning::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (CtrlLeft(e->buttons(), e->modifiers())) {
        const YearHit hit = HalfDayAt(m_geometry, m_calendar, pos.x(), pos.y());
        if (hit.month != 0 && cells.cell(hit.month, hit.day, hit.half).Id != -1)
            Q_EMIT PaintPicked(this, cells.cell(hit.month, hit.day, hit.half).Id);
    }
    m_dragging = true;
    m_dragFrom = pos;
    PaintAt(e->buttons(), e->modifiers(), pos);
    Q_EMIT BeforeChange(this);
}

void TAnnualGraphicPlanning::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_hover = {};
    paintPath(e->buttons(), e->modifiers(), pos);
    if (m_geometry.cellWidth > 0 && m_geometry.halfRowHeight > 0 && !m_bitmap.isNull()) {
        m_hover = YearHoverAt(m_geometry, pos.x(), pos.y());
        drawHoverAndHeaders();
    }
    if (m_hover.month >= 1 && m_hover.month <= 12) {
        HoverMonth = m_hover.month;
        HoverDay = m_hover.column - m_calendar.firstColumn[m_hover.month] + 1;
        HoverHalf = m_hover.half;
    }
    Q_EMIT MouseMove(this);
}

void TAnnualGraphicPlanning::mouseReleaseEvent(QMouseEvent* e)
{
    // The drag ends with its last button.
    if (e->buttons() == Qt::NoButton) {
        m_dragging = false;
        m_dragFrom.reset();
    }
    Q_EMIT AfterChange(this);
}

void TAnnualGraphicPlanning::leaveEvent(QEvent*)
{
    m_hover = {};
    if (m_bitmap.isNull() || m_geometry.cellWidth == 0 || m_geometry.halfRowHeight == 0)
        return;
    drawHoverAndHeaders();
}

}  // namespace planning
