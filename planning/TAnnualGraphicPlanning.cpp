#include "planning/TAnnualGraphicPlanning.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace planning {

TAnnualGraphicPlanning::TAnnualGraphicPlanning(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("AnnualGraphicPlanning"));
    setGeometry(0, 0, 200, 200);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
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
    // Drawn over the bitmap, never into it: the half-days stay as they are.
    if (m_selection && !m_selection->isEmpty() && m_geometry.cellWidth > 0 && m_geometry.halfRowHeight > 0) {
        const QRect a = positionRectOf({m_selection->line0, m_selection->column0});
        QPen pen(Qt::black);
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(a.left() - 1, a.top() - 1, m_selection->columns() * m_geometry.cellWidth,
                   m_selection->lines() * m_geometry.halfRowHeight);
    }
    if (m_cursorShown && m_geometry.cellWidth > 0 && m_geometry.halfRowHeight > 0)
        DrawKeyboardCursor(p, positionRectOf(m_cursor));
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
    if (m_cursorShown) {
        m_cursorShown = false;
        update(positionRectOf(m_cursor));
    }
    m_selectFrom.reset();
    if (ShiftLeft(e->buttons(), e->modifiers())) {
        if (const auto at = positionAt(pos, false)) {
            m_selectFrom = *at;
            setSelection(GridRect::Between(*at, *at));
        }
    } else if (m_selection) {
        clearSelection();
    }
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
    m_pointed = positionAt(pos, false);
    if (m_selectFrom && (e->buttons() & Qt::LeftButton)) {
        if (const auto at = positionAt(pos, true);
            at && !(m_selection && *m_selection == GridRect::Between(*m_selectFrom, *at)))
            setSelection(GridRect::Between(*m_selectFrom, *at));
    } else {
        paintPath(e->buttons(), e->modifiers(), pos);
    }
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
        m_selectFrom.reset();
    }
    Q_EMIT AfterChange(this);
}

void TAnnualGraphicPlanning::leaveEvent(QEvent*)
{
    m_hover = {};
    m_pointed.reset();
    if (m_bitmap.isNull() || m_geometry.cellWidth == 0 || m_geometry.halfRowHeight == 0)
        return;
    drawHoverAndHeaders();
}

std::optional<GridPos> TAnnualGraphicPlanning::positionAt(const QPoint& pos, bool clamp) const
{
    const YearGeometry& g = m_geometry;
    if (g.cellWidth <= 0 || g.halfRowHeight <= 0)
        return std::nullopt;
    const int x = pos.x() - g.left, y = pos.y() - g.top;
    int column = x < 0 ? -1 : x / g.cellWidth;
    int line = y < 0 ? -1 : y / g.halfRowHeight;
    if (clamp) {
        column = qBound(0, column, kColumns - 1);
        line = qBound(0, line, kLines - 1);
    } else if (column < 0 || column >= kColumns || line < 0 || line >= kLines) {
        return std::nullopt;
    }
    return GridPos{line, column};
}

YearHit TAnnualGraphicPlanning::halfDayOf(GridPos pos) const
{
    if (pos.line < 0 || pos.line >= kLines || pos.column < 0 || pos.column >= kColumns)
        return {};
    const int month = pos.line / 2 + 1;
    const int day = pos.column + 2 - m_calendar.firstColumn[month];
    if (day < 1 || day > m_calendar.days[month])
        return {};
    return {month, day, pos.line % 2 + 1};
}

QRect TAnnualGraphicPlanning::positionRectOf(GridPos pos) const
{
    return m_geometry.positionRect(pos.column + 1, pos.line / 2 + 1, pos.line % 2 + 1);
}

GridPos TAnnualGraphicPlanning::clampToDays(GridPos pos) const
{
    pos.line = qBound(0, pos.line, kLines - 1);
    const int month = pos.line / 2 + 1;
    const int first = m_calendar.firstColumn[month] - 1;
    pos.column = qBound(first, pos.column, first + m_calendar.days[month] - 1);
    return pos;
}

void TAnnualGraphicPlanning::setSelection(const GridRect& rect)
{
    m_selection = rect;
    update();
    Q_EMIT SelectionChanged(this);
}

void TAnnualGraphicPlanning::clearSelection()
{
    m_selectFrom.reset();
    if (!m_selection)
        return;
    m_selection.reset();
    update();
    Q_EMIT SelectionChanged(this);
}

std::optional<GridPos> TAnnualGraphicPlanning::pasteTarget() const
{
    if (m_cursorShown)
        return m_cursor;
    return m_pointed;
}

HalfDayBlock TAnnualGraphicPlanning::copySelection() const
{
    if (!m_selection)
        return {};
    return CopyBlock(*m_selection, [this](GridPos p) {
        const YearHit hit = halfDayOf(p);
        return hit.month == 0 ? kNoHalfDay : cells.cell(hit.month, hit.day, hit.half).Id;
    });
}

std::vector<HalfDayChange> TAnnualGraphicPlanning::pasteChanges(const HalfDayBlock& block, GridPos at,
                                                                int objectId) const
{
    std::vector<HalfDayChange> changes;
    for (int l = 0; l < block.lines; ++l) {
        for (int c = 0; c < block.columns; ++c) {
            const qint32 id = block.at(l, c);
            const YearHit hit = halfDayOf({at.line + l, at.column + c});
            if (id == kNoHalfDay || hit.month == 0)
                continue;
            const qint32 before = cells.cell(hit.month, hit.day, hit.half).Id;
            if (before != id)
                changes.push_back({objectId, static_cast<qint32>(QDate(Year, hit.month, hit.day).toJulianDay()), before,
                                   id, static_cast<qint8>(hit.half)});
        }
    }
    return changes;
}

std::vector<HalfDayChange> TAnnualGraphicPlanning::selectionHalfDays(int objectId) const
{
    std::vector<HalfDayChange> out;
    if (!m_selection)
        return out;
    for (int l = m_selection->line0; l <= m_selection->line1; ++l) {
        for (int c = m_selection->column0; c <= m_selection->column1; ++c) {
            const YearHit hit = halfDayOf({l, c});
            if (hit.month == 0)
                continue;
            const qint32 id = cells.cell(hit.month, hit.day, hit.half).Id;
            out.push_back({objectId, static_cast<qint32>(QDate(Year, hit.month, hit.day).toJulianDay()), id, id,
                           static_cast<qint8>(hit.half)});
        }
    }
    return out;
}

void TAnnualGraphicPlanning::moveCursor(int lines, int columns, bool extend)
{
    const GridPos old = m_cursor;
    if (!m_cursorShown) {
        // The first key only shows the cursor, where the mouse is if it is
        // over a day.
        m_cursorShown = true;
        if (m_pointed && halfDayOf(*m_pointed).month != 0)
            m_cursor = *m_pointed;
        m_cursor = clampToDays(m_cursor);
    } else {
        if (extend && (!m_selection || !m_selection->contains(m_cursor)))
            m_anchor = m_cursor;
        m_cursor = clampToDays({m_cursor.line + lines, m_cursor.column + columns});
        if (extend)
            setSelection(GridRect::Between(m_anchor, m_cursor));
        else
            clearSelection();
    }
    update(positionRectOf(old));
    update(positionRectOf(m_cursor));
    Q_EMIT CursorMoved(this);
}

void TAnnualGraphicPlanning::keyPaint(bool erase)
{
    if (!m_cursorShown)
        moveCursor(0, 0, false);
    const YearHit hit = halfDayOf(m_cursor);
    if (PaintId <= -1 || hit.month == 0)
        return;
    if (paintHalfDay(hit, erase ? Qt::RightButton : Qt::LeftButton, Qt::NoModifier))
        Q_EMIT AfterChange(this);
}

void TAnnualGraphicPlanning::keyPressEvent(QKeyEvent* e)
{
    const KeyGesture g = KeyGestureOf(e->key(), e->modifiers());
    if (g.kind == KeyGesture::None || m_dragging) {
        QWidget::keyPressEvent(e);
        return;
    }
    switch (g.kind) {
    case KeyGesture::Move: moveCursor(g.lines, g.columns, g.extend); break;
    case KeyGesture::Paint: keyPaint(false); break;
    case KeyGesture::Erase: keyPaint(true); break;
    case KeyGesture::PageUp: Q_EMIT PageRequested(this, -1); break;
    case KeyGesture::PageDown: Q_EMIT PageRequested(this, 1); break;
    case KeyGesture::Escape:
        if (m_selection) {
            clearSelection();
        } else if (m_cursorShown) {
            m_cursorShown = false;
            update(positionRectOf(m_cursor));
        } else {
            QWidget::keyPressEvent(e);
            return;
        }
        break;
    case KeyGesture::None: break;
    }
    e->accept();
}

}  // namespace planning
