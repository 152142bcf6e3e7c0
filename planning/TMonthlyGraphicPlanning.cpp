#include "planning/TMonthlyGraphicPlanning.h"

#include "planning/PlanningPaint.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace planning {

TMonthlyGraphicPlanning::TMonthlyGraphicPlanning(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MonthlyGraphicPlanning"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    m_scroll = new QScrollBar(Qt::Vertical, this);
    m_scroll->setObjectName(QStringLiteral("VertScrollBar"));
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int value) {
        if (value == m_topRow)
            return;
        m_topRow = value;
        // The rows under the drag's last position moved.
        m_dragFrom.reset();
        repaintAll();
        Q_EMIT TopLeftChanged(this);
        if (ObjectCount > 0) {
            m_hover.day = 0;
            drawHover();
        }
    });
    setGeometry(0, 0, 200, 200);
}

void TMonthlyGraphicPlanning::setShowDayNumber(bool show)
{
    m_geometry.showDayNumber = show;
    repaintAll();
}

void TMonthlyGraphicPlanning::setBackGroundColor(quint32 color)
{
    m_backgroundColor = color;
    m_geometry.backgroundColor = color;
    repaintAll();
}

void TMonthlyGraphicPlanning::setColor(quint32 color)
{
    m_color = color;
    repaintAll();
}

void TMonthlyGraphicPlanning::setRowCount(int rows)
{
    m_rowCount = qMax(0, rows);
    if (m_row >= m_rowCount)
        m_row = qMax(0, m_rowCount - 1);
    updateScrollBar();
    repaintAll();
}

void TMonthlyGraphicPlanning::setRow(int row)
{
    if (row < 0 || row >= m_rowCount)
        return;
    m_row = row;
    // Keep the selected row in view, as a grid does.
    if (m_row < m_topRow)
        setTopRow(m_row);
    else if (m_row >= m_topRow + qMax(1, VisibleRowCount()))
        setTopRow(m_row - qMax(1, VisibleRowCount()) + 1);
}

void TMonthlyGraphicPlanning::setTopRow(int row)
{
    m_scroll->setValue(qBound(0, row, m_scroll->maximum()));
}

int TMonthlyGraphicPlanning::VisibleRowCount() const
{
    return height() / kDefaultRowHeight;
}

void TMonthlyGraphicPlanning::updateScrollBar()
{
    const int visible = qMax(1, VisibleRowCount());
    m_scroll->setRange(0, qMax(0, m_rowCount - visible));
    m_scroll->setPageStep(visible);
    m_scroll->setSingleStep(1);
}

QRect TMonthlyGraphicPlanning::CellRect(int row) const
{
    const int i = row - m_topRow;
    return QRect(0, i * kDefaultRowHeight, m_defaultColWidth, kDefaultRowHeight);
}

void TMonthlyGraphicPlanning::ClearMonth()
{
    m_selection.reset();
    m_cursorShown = false;
    cells.clear();
    pending.clear();
    ObjectCount = 0;
    hide();
    show();
    repaintAll();
}

void TMonthlyGraphicPlanning::Relayout()
{
    m_geometry = MonthGeometry::ForMonth(Year, Month, m_defaultColWidth, kDefaultRowHeight, m_backgroundColor,
                                         m_geometry.showDayNumber);
    m_images.rebuild(Legend, m_geometry.dayWidth - 1, m_geometry.halfRowHeight - 1);
    repaintAll();
}

void TMonthlyGraphicPlanning::resizeEvent(QResizeEvent*)
{
    const int bar = m_scroll->sizeHint().width();
    m_scroll->setGeometry(width() - bar, 0, bar, height());
    m_defaultColWidth = qMax(0, width() - bar);
    updateScrollBar();
    Relayout();
}

void TMonthlyGraphicPlanning::repaintAll()
{
    const QSize size(qMax(1, m_defaultColWidth), qMax(1, height()));
    if (m_bitmap.size() != size)
        m_bitmap = QImage(size, QImage::Format_RGB32);
    QPainter p(&m_bitmap);
    p.fillRect(m_bitmap.rect(), ColorFromRef(m_color));
    if (ObjectCount > 0) {
        const MonthRenderer renderer(*this, m_images, m_hover, m_backgroundColor);
        const int visible = VisibleRowCount();
        for (int i = 0; i <= visible; ++i) {
            const int r = m_topRow + i;
            if (r >= m_rowCount)
                break;
            renderer.RenderMonthRow(&p, CellRect(r), m_geometry.showDayNumber, true, kGridColor, kWeekendColor, m_color,
                                    m_geometry.firstWeekday, m_geometry.days, m_geometry.halfRowHeight,
                                    m_geometry.dayWidth, 10, 15, r);
        }
    }
    p.end();
    update();
}

void TMonthlyGraphicPlanning::drawHover()
{
    if (m_bitmap.isNull())
        return;
    QPainter p(&m_bitmap);
    const MonthGeometry& g = m_geometry;
    const int visible = VisibleRowCount();
    for (int i = 0; i <= visible; ++i) {
        const int r = m_topRow + i;
        if (r >= m_rowCount)
            break;
        const int y = kDefaultRowHeight * i;
        if (i > 0) {
            p.fillRect(QRect(0, y, m_defaultColWidth, 15), ColorFromRef(m_backgroundColor));
            if (m_hover.day >= 1 && m_hover.day <= g.days)
                p.fillRect(QRect(QPoint(10 + (m_hover.day - 1) * g.dayWidth + 1, y),
                                 QPoint(10 + m_hover.day * g.dayWidth - 1, y + 14)),
                           ColorFromRef(kHighlightColor));
        }
        const QRect rowRect = CellRect(r);
        for (int d = 1; d <= g.days; ++d) {
            for (int h = 1; h <= 2; ++h) {
                if (!cells.contains(r, Month, d, h) || cells.cell(r, Month, d, h).Id != -1)
                    continue;
                const QRect cell = g.halfDayRect(rowRect, d, h);
                const quint32 color = d == m_hover.day        ? kHighlightColor
                    : g.isWeekendDay(d) || isOffHalfDay(d, h) ? kWeekendColor
                                                              : 0xFFFFFF;
                p.fillRect(cell, ColorFromRef(color));
                if (g.showDayNumber && h == 1)
                    DrawDayNumber(p, cell, d);
            }
        }
    }
    MonthRenderer(*this, m_images, m_hover, m_backgroundColor).drawDayHeaders(p, g, true);
    p.end();
    update();
}

void TMonthlyGraphicPlanning::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), ColorFromRef(m_color));
    if (!m_bitmap.isNull())
        p.drawImage(0, 0, m_bitmap);
    // Over the bitmap, never into it.
    if (m_selection && !m_selection->isEmpty() && m_geometry.dayWidth > 0 && m_geometry.halfRowHeight > 0
        && ObjectCount > 0) {
        QPen pen(Qt::black);
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        // One outline per row: the strips between rows are not half-days.
        for (int row = m_selection->line0 / 2; row <= m_selection->line1 / 2; ++row) {
            if (row < m_topRow || row > m_topRow + VisibleRowCount())
                continue;
            const int first = std::max(m_selection->line0, 2 * row), last = std::min(m_selection->line1, 2 * row + 1);
            const QRect a = positionRectOf({first, m_selection->column0});
            p.drawRect(a.left() - 1, a.top() - 1, m_selection->columns() * m_geometry.dayWidth,
                       (last - first + 1) * m_geometry.halfRowHeight);
        }
    }
    if (m_cursorShown && m_geometry.dayWidth > 0 && m_geometry.halfRowHeight > 0 && ObjectCount > 0)
        DrawKeyboardCursor(p, positionRectOf(m_cursor));
}

TMonthlyGraphicPlanning::Hit TMonthlyGraphicPlanning::HalfDayAt(int x, int y) const
{
    const MonthGeometry& g = m_geometry;
    if (g.dayWidth == 0 || g.halfRowHeight == 0 || y < 0)
        return {};
    const int row = y / kDefaultRowHeight + m_topRow;
    const int inRow = y - (y / kDefaultRowHeight) * kDefaultRowHeight;
    if (row < 0 || row >= m_rowCount)
        return {};
    int day = 0, half = 0;
    if (inRow > 15 && inRow < 15 + 2 * g.halfRowHeight && x > 10 && x < 10 + g.dayWidth * g.days) {
        half = (inRow - 15) / g.halfRowHeight + 1;
        day = (x - 10) / g.dayWidth + 1;
        if (day > g.days)
            day = 0;
    }
    if (day == 0 || half == 0 || Month == 0 || !cells.contains(row, Month, day, half))
        return {};
    return {row, day, half};
}

void TMonthlyGraphicPlanning::PaintAt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y)
{
    if (PaintId <= -1)
        return;
    const Hit hit = HalfDayAt(x, y);
    if (hit.valid())
        paintHalfDay(hit, buttons, modifiers);
}

void TMonthlyGraphicPlanning::paintHalfDay(const Hit& hit, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    HalfDayCell& cell = cells.cell(hit.row, Month, hit.day, hit.half);
    const qint32 before = cell.Id;
    const bool wasModified = cell.Modified == 1;
    if (!ApplyGesture(cell, buttons, modifiers, *this))
        return;
    if (!wasModified)
        pending.record(MonthKey(hit.row, Month, hit.day, hit.half), before);
    QPainter p(&m_bitmap);
    MonthRenderer(*this, m_images, m_hover)
        .drawHalfDay(p, m_geometry, CellRect(hit.row), hit.row, hit.day, hit.half, true);
    p.end();
    update();
}

void TMonthlyGraphicPlanning::paintPath(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y)
{
    // Every half-day on the straight path since the last event takes the
    // gesture, so a fast drag leaves no gap.
    if (m_dragFrom && PaintId > -1 && (ExactlyLeft(buttons, modifiers) || ExactlyRight(buttons, modifiers))) {
        Hit last = HalfDayAt(m_dragFrom->x(), m_dragFrom->y());
        const Hit end = HalfDayAt(x, y);
        ForEachPixelBetween(*m_dragFrom, QPoint(x, y), [&](int px, int py) {
            const Hit hit = HalfDayAt(px, py);
            if (hit.valid() && !(hit == last) && !(hit == end))
                paintHalfDay(hit, buttons, modifiers);
            last = hit;
        });
    }
    if (m_dragging)
        m_dragFrom = QPoint(x, y);
    PaintAt(buttons, modifiers, x, y);
}

void TMonthlyGraphicPlanning::redrawHalfDays(const std::vector<Hit>& halfDays)
{
    if (halfDays.empty() || m_bitmap.isNull() || ObjectCount <= 0)
        return;
    QPainter p(&m_bitmap);
    const MonthRenderer renderer(*this, m_images, m_hover);
    const int last = m_topRow + VisibleRowCount();
    for (const Hit& h : halfDays)
        if (h.row >= m_topRow && h.row <= last && h.row < m_rowCount && cells.contains(h.row, Month, h.day, h.half))
            renderer.drawHalfDay(p, m_geometry, CellRect(h.row), h.row, h.day, h.half, true);
    p.end();
    // A half-day that became empty in the hovered day takes its highlight.
    if (m_hover.day != 0)
        drawHover();
    update();
}

void TMonthlyGraphicPlanning::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    hideCursor();
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
        const Hit hit = HalfDayAt(pos.x(), pos.y());
        if (hit.valid() && cells.cell(hit.row, Month, hit.day, hit.half).Id != -1)
            Q_EMIT PaintPicked(this, cells.cell(hit.row, Month, hit.day, hit.half).Id);
    }
    m_dragging = true;
    m_dragFrom = pos;
    PaintAt(e->buttons(), e->modifiers(), pos.x(), pos.y());
    const int row = pos.y() / kDefaultRowHeight + m_topRow;
    if (e->button() == Qt::LeftButton && row >= 0 && row < m_rowCount && pos.x() < m_defaultColWidth) {
        m_row = row;
        m_pressed = true;
    }
    Q_EMIT BeforeChange(this);
}

void TMonthlyGraphicPlanning::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_pointed = positionAt(pos, false);
    if (m_selectFrom && (e->buttons() & Qt::LeftButton)) {
        if (const auto at = positionAt(pos, true);
            at && !(m_selection && *m_selection == GridRect::Between(*m_selectFrom, *at)))
            setSelection(GridRect::Between(*m_selectFrom, *at));
    } else {
        paintPath(e->buttons(), e->modifiers(), pos.x(), pos.y());
    }
    m_hover = {};
    if (m_geometry.dayWidth > 0 && m_geometry.halfRowHeight > 0 && ObjectCount > 0) {
        m_hover.day = (pos.x() - 10) / m_geometry.dayWidth + 1;
        const int inRow = pos.y() - (pos.y() / kDefaultRowHeight) * kDefaultRowHeight;
        m_hover.half = (inRow - 15) / m_geometry.halfRowHeight + 1;
        drawHover();
    }
    HoverDay = m_hover.day;
    HoverHalf = m_hover.half;
    Q_EMIT MouseMove(this);
}

void TMonthlyGraphicPlanning::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->buttons() == Qt::NoButton) {
        m_dragging = false;
        m_dragFrom.reset();
        m_selectFrom.reset();
    }
    const bool clicked = m_pressed;
    m_pressed = false;
    if (clicked)
        Q_EMIT Click(this);
    Q_EMIT AfterChange(this);
}

void TMonthlyGraphicPlanning::leaveEvent(QEvent*)
{
    m_pointed.reset();
    if (ObjectCount > 0) {
        m_hover.day = 0;
        drawHover();
    }
}

void TMonthlyGraphicPlanning::wheelEvent(QWheelEvent* e)
{
    const int steps = e->angleDelta().y() / 120;
    if (steps != 0)
        setTopRow(m_topRow - 3 * steps);
}

std::optional<GridPos> TMonthlyGraphicPlanning::positionAt(const QPoint& pos, bool clamp) const
{
    const MonthGeometry& g = m_geometry;
    if (g.dayWidth <= 0 || g.halfRowHeight <= 0 || ObjectCount <= 0 || m_rowCount <= 0)
        return std::nullopt;
    const int row = (pos.y() < 0 ? -1 : pos.y() / kDefaultRowHeight) + m_topRow;
    const int inRow = pos.y() - (pos.y() / kDefaultRowHeight) * kDefaultRowHeight;
    int half = inRow <= 15 ? 0 : (inRow - 15) / g.halfRowHeight + 1;
    int column = pos.x() <= 10 ? -1 : (pos.x() - 10) / g.dayWidth;
    if (clamp) {
        half = qBound(1, half, 2);
        return clampToGrid({(row < 0 ? 0 : row) * 2 + half - 1, column});
    }
    if (row < 0 || row >= m_rowCount || half < 1 || half > 2 || column < 0 || column >= g.days)
        return std::nullopt;
    return GridPos{row * 2 + half - 1, column};
}

GridPos TMonthlyGraphicPlanning::clampToGrid(GridPos pos) const
{
    return {qBound(0, pos.line, qMax(0, lineCount() - 1)), qBound(0, pos.column, qMax(0, m_geometry.days - 1))};
}

TMonthlyGraphicPlanning::Hit TMonthlyGraphicPlanning::halfDayOf(GridPos pos) const
{
    const Hit hit{pos.line / 2, pos.column + 1, pos.line % 2 + 1};
    if (pos.line < 0 || pos.column < 0 || hit.row >= m_rowCount || hit.day > m_geometry.days
        || !cells.contains(hit.row, Month, hit.day, hit.half))
        return {};
    return hit;
}

QRect TMonthlyGraphicPlanning::positionRectOf(GridPos pos) const
{
    return m_geometry.halfDayRect(CellRect(pos.line / 2), pos.column + 1, pos.line % 2 + 1);
}

void TMonthlyGraphicPlanning::setSelection(const GridRect& rect)
{
    m_selection = rect;
    update();
    Q_EMIT SelectionChanged(this);
}

void TMonthlyGraphicPlanning::clearSelection()
{
    m_selectFrom.reset();
    if (!m_selection)
        return;
    m_selection.reset();
    update();
    Q_EMIT SelectionChanged(this);
}

std::optional<GridPos> TMonthlyGraphicPlanning::pasteTarget() const
{
    if (m_cursorShown)
        return m_cursor;
    return m_pointed;
}

HalfDayBlock TMonthlyGraphicPlanning::copySelection() const
{
    if (!m_selection)
        return {};
    return CopyBlock(*m_selection, [this](GridPos p) {
        const Hit hit = halfDayOf(p);
        return hit.valid() ? cells.cell(hit.row, Month, hit.day, hit.half).Id : kNoHalfDay;
    });
}

std::vector<HalfDayChange> TMonthlyGraphicPlanning::pasteChanges(const HalfDayBlock& block, GridPos at,
                                                                 const QStringList& objects) const
{
    std::vector<HalfDayChange> changes;
    if (Month < 1 || Month > 12)
        return changes;
    const qint32 first = static_cast<qint32>(QDate(Year, Month, 1).toJulianDay());
    changes.reserve(static_cast<size_t>(block.lines) * block.columns);
    for (int l = 0; l < block.lines; ++l) {
        const int row = (at.line + l) / 2;
        if (row >= m_rowCount || row >= objects.size())
            break;
        const int objectId = EntryId(objects, row);
        for (int c = 0; c < block.columns; ++c) {
            const qint32 id = block.at(l, c);
            const Hit hit = halfDayOf({at.line + l, at.column + c});
            if (id == kNoHalfDay || !hit.valid() || objectId < 0)
                continue;
            const qint32 before = cells.cell(hit.row, Month, hit.day, hit.half).Id;
            if (before != id)
                changes.push_back({objectId, first + hit.day - 1, before, id, static_cast<qint8>(hit.half)});
        }
    }
    return changes;
}

std::vector<HalfDayChange> TMonthlyGraphicPlanning::selectionHalfDays(const QStringList& objects) const
{
    std::vector<HalfDayChange> out;
    if (!m_selection || Month < 1 || Month > 12)
        return out;
    const qint32 first = static_cast<qint32>(QDate(Year, Month, 1).toJulianDay());
    for (int l = m_selection->line0; l <= m_selection->line1; ++l) {
        for (int c = m_selection->column0; c <= m_selection->column1; ++c) {
            const Hit hit = halfDayOf({l, c});
            const int objectId = hit.valid() && hit.row < objects.size() ? EntryId(objects, hit.row) : -1;
            if (objectId < 0)
                continue;
            const qint32 id = cells.cell(hit.row, Month, hit.day, hit.half).Id;
            out.push_back({objectId, first + hit.day - 1, id, id, static_cast<qint8>(hit.half)});
        }
    }
    return out;
}

void TMonthlyGraphicPlanning::hideCursor()
{
    if (!m_cursorShown)
        return;
    m_cursorShown = false;
    update(positionRectOf(m_cursor));
}

void TMonthlyGraphicPlanning::moveCursor(int lines, int columns, bool extend)
{
    if (ObjectCount <= 0 || m_rowCount <= 0)
        return;
    const GridPos old = m_cursor;
    if (!m_cursorShown) {
        // The first key shows the cursor: under the mouse, else on the
        // selected row's first morning.
        m_cursorShown = true;
        if (m_pointed)
            m_cursor = *m_pointed;
        else if (m_cursor.line / 2 != m_row)
            m_cursor = {2 * m_row, 0};
        m_cursor = clampToGrid(m_cursor);
    } else {
        if (extend && (!m_selection || !m_selection->contains(m_cursor)))
            m_anchor = m_cursor;
        m_cursor = clampToGrid({m_cursor.line + lines, m_cursor.column + columns});
        if (extend)
            setSelection(GridRect::Between(m_anchor, m_cursor));
        else
            clearSelection();
    }
    // Keep the cursor's row in sight, as the grid keeps its selected row.
    const int row = m_cursor.line / 2;
    if (row < m_topRow)
        setTopRow(row);
    else if (row >= m_topRow + qMax(1, VisibleRowCount()))
        setTopRow(row - qMax(1, VisibleRowCount()) + 1);
    update(positionRectOf(old));
    update(positionRectOf(m_cursor));
    Q_EMIT CursorMoved(this);
}

void TMonthlyGraphicPlanning::keyPaint(bool erase)
{
    if (!m_cursorShown)
        moveCursor(0, 0, false);
    const Hit hit = halfDayOf(m_cursor);
    if (PaintId <= -1 || !hit.valid())
        return;
    HalfDayCell& cell = cells.cell(hit.row, Month, hit.day, hit.half);
    const qint32 before = cell.Id;
    paintHalfDay(hit, erase ? Qt::RightButton : Qt::LeftButton, Qt::NoModifier);
    if (cell.Id != before || cell.Modified == 1)
        Q_EMIT AfterChange(this);
}

void TMonthlyGraphicPlanning::keyPressEvent(QKeyEvent* e)
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
        if (m_selection)
            clearSelection();
        else if (m_cursorShown)
            hideCursor();
        else {
            QWidget::keyPressEvent(e);
            return;
        }
        break;
    case KeyGesture::None: break;
    }
    e->accept();
}

}  // namespace planning
