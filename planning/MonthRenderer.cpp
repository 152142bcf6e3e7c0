#include "planning/MonthRenderer.h"

#include "planning/PlanningPaint.h"

#include <QFont>
#include <QPainter>

namespace planning {

namespace { }  // namespace

bool MonthRenderer::IsWeekendDayOf(int firstWeekday, int day)
{
    // Weekday indexes 0, 6, 7, 13, 14 ... from the Sunday before day 1.
    const int index = firstWeekday + day - 2;
    return index >= 0 && (index % 7 == 0 || index % 7 == 6);
}

bool MonthRenderer::isWeekendDay(int day) const
{
    return IsWeekendDayOf(m_firstWeekday, day);
}

QRect MonthRenderer::halfDayRect(const QRect& rowRect, int day, int half) const
{
    const int x = rowRect.left() + 10 + (day - 1) * m_dayWidth;
    const int y = rowRect.top() + 15 + (half - 1) * m_halfRowHeight;
    return QRect(QPoint(x + 1, y + 1), QPoint(x + m_dayWidth - 1, y + m_halfRowHeight - 1));
}

MonthRenderer::Geometry MonthRenderer::ownGeometry() const
{
    Geometry g;
    g.dayWidth = m_dayWidth;
    g.halfRowHeight = m_halfRowHeight;
    g.days = m_days;
    g.firstWeekday = m_firstWeekday;
    g.backgroundColor = m_backgroundColor;
    g.showDayNumber = m_showDayNumber;
    return g;
}

void MonthRenderer::computeLayout(int defaultColumnWidth, int defaultRowHeight)
{
    m_days = DaysInMonth(Year, Month);
    m_dayWidth = qMax(0, (defaultColumnWidth - 10) / m_days);
    m_halfRowHeight = qMax(0, (defaultRowHeight - 15 - 1) / 2);
    m_images.rebuild(Legend, m_dayWidth - 1, m_halfRowHeight - 1);
    m_firstWeekday = QDate(Year, Month, 1).dayOfWeek() % 7 + 1;
}

void MonthRenderer::drawHalfDay(QPainter& p, const Geometry& g, const QRect& rowRect, int row, int d, int h,
                                bool highlight) const
{
    const int x = rowRect.left() + g.left + (d - 1) * g.dayWidth;
    const int y = rowRect.top() + g.top + (h - 1) * g.halfRowHeight;
    const QRect r(QPoint(x + 1, y + 1), QPoint(x + g.dayWidth - 1, y + g.halfRowHeight - 1));
    if (!cells.contains(row, Month, d, h))
        return;
    const HalfDayCell& c = cells.cell(row, Month, d, h);
    if (c.Id == -1) {
        const quint32 color = highlight && d == m_hoverDay ? kMonthHoverEmptyColor
            : IsWeekendDayOf(g.firstWeekday, d)            ? kWeekendColor
                                                           : 0xFFFFFF;
        p.fillRect(r, ColorFromRef(color));
    } else {
        DrawAssignedHalfDay(p, r, c, IsPastHalfDay(Year, Month, d), DirectColors, 50, m_images, Legend);
    }
    if (g.showDayNumber && h == 1)
        DrawDayNumber(p, r, d);
}

void MonthRenderer::drawDayHeaders(QPainter& p, const Geometry& g, bool highlight) const
{
    p.save();
    p.setFont(ArialFont(12));
    for (int d = 1; d <= g.days; ++d) {
        const quint32 bg = !highlight ? 0xFFFFFF : (d == m_hoverDay ? kHighlightColor : g.backgroundColor);
        const QRect cell(QPoint(10 + (d - 1) * g.dayWidth, 0), QPoint(10 + d * g.dayWidth - 1, 14));
        p.fillRect(cell, ColorFromRef(bg));
        p.setClipRect(cell);
        p.setPen(Qt::black);
        const int cx = 10 + (d - 1) * g.dayWidth + g.dayWidth / 2 + 1;
        // firstWeekday counts from Sunday = 1; WeekdayName from Monday = 1.
        const QString name = WeekdayName((g.firstWeekday + d - 3 + 7) % 7 + 1).left(2);
        p.drawText(QRect(cx - 50, 2, 100, 100), Qt::AlignHCenter | Qt::AlignTop, name);
        p.setClipping(false);
    }
    p.restore();
}

void MonthRenderer::RenderMonthRow(QPainter* canvas, const QRect& rowRect, bool showDayNumber, bool highlight,
                                   quint32 gridColor, quint32 weekendColor, quint32 backgroundColor, int firstWeekday,
                                   int days, int halfRowHeight, int dayWidth, int left, int top, int row)
{
    // Empty weekend half-days always take the fixed weekend grey.
    Q_UNUSED(weekendColor);
    if (!cells.dimensionsSet())
        return;
    QPainter& p = *canvas;
    p.setRenderHint(QPainter::Antialiasing, false);
    Geometry g;
    g.dayWidth = dayWidth;
    g.halfRowHeight = halfRowHeight;
    g.left = left;
    g.top = top;
    g.days = days;
    g.firstWeekday = firstWeekday;
    g.backgroundColor = backgroundColor;
    g.showDayNumber = showDayNumber;

    const int gridRight = rowRect.left() + left + days * dayWidth;
    if (gridRight <= rowRect.right())
        p.fillRect(QRect(QPoint(gridRight, rowRect.top()), rowRect.bottomRight()), ColorFromRef(backgroundColor));
    p.setPen(QPen(ColorFromRef(gridColor), 0));
    const int y0 = rowRect.top() + top;
    for (int i = 0; i <= days; ++i) {
        const int x = rowRect.left() + left + i * dayWidth;
        p.drawLine(x, y0, x, y0 + 2 * halfRowHeight - 1);
    }
    for (int j = 0; j <= 2; ++j) {
        const int y = y0 + j * halfRowHeight;
        p.drawLine(rowRect.left() + left, y, gridRight - 1, y);
    }
    for (int d = 1; d <= days; ++d) {
        for (int h = 1; h <= 2; ++h)
            drawHalfDay(p, g, rowRect, row, d, h, highlight);
    }
    drawDayHeaders(p, g, highlight);
}

}  // namespace planning
