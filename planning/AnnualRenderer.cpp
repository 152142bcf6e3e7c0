#include "planning/AnnualRenderer.h"

#include "planning/PlanningPaint.h"

#include <QFont>
#include <QPainter>

namespace planning {

namespace {

// Integer part of a quotient, rounded toward zero.
inline int q(int a, int b)
{
    return a / b;
}

}  // namespace

YearGeometry YearGeometry::ForSize(int width, int height, quint32 backgroundColor, bool showDayNumber)
{
    YearGeometry g;
    g.cellWidth = qMax(0, (width - 25) / 37);
    g.halfRowHeight = qMax(0, (height - 15) / 24);
    g.backgroundColor = backgroundColor;
    g.showDayNumber = showDayNumber;
    return g;
}

QRect YearGeometry::positionRect(int column, int month, int half) const
{
    const int x = left + (column - 1) * cellWidth;
    const int y = top + (2 * (month - 1) + half - 1) * halfRowHeight;
    return QRect(QPoint(x + 1, y + 1), QPoint(x + cellWidth - 1, y + halfRowHeight - 1));
}

YearCalendar::YearCalendar(int year)
{
    for (int m = 1; m <= 12; ++m) {
        days[m] = DaysInMonth(year, m);
        firstColumn[m] = FirstColumnOf(year, m);
    }
}

YearHit HalfDayAt(const YearGeometry& g, const YearCalendar& calendar, int x, int y)
{
    YearHit hit;
    if (g.cellWidth == 0 || g.halfRowHeight == 0)
        return hit;
    int month = 0, half = 0;
    if (y > g.top) {
        const int halfRow = q(y - g.top, g.halfRowHeight);
        month = q(halfRow, 2) + 1;
        half = halfRow % 2 + 1;
    }
    if (month > 12)
        month = 0;
    if (month == 0)
        return hit;
    const int x0 = g.left + (calendar.firstColumn[month] - 1) * g.cellWidth;
    int day = x > x0 ? q(x - x0, g.cellWidth) + 1 : 0;
    if (day > calendar.days[month])
        day = 0;
    if (day == 0 || half == 0)
        return hit;
    return {month, day, half};
}

YearHover YearHoverAt(const YearGeometry& g, int x, int y)
{
    YearHover h;
    if (g.cellWidth > 0 && g.halfRowHeight > 0) {
        h.column = q(x - g.left, g.cellWidth) + 1;
        h.month = q(y - g.top, 2 * g.halfRowHeight) + 1;
        h.half = q(y - g.top, g.halfRowHeight) - 2 * (h.month - 1) + 1;
    }
    return h;
}

AnnualRenderer::AnnualRenderer(const AnnualModel& model, const LegendImages& images, const YearHover& hover)
    : m_model(model), m_images(images), m_hover(hover), m_calendar(model.Year)
{ }

AnnualRenderer::AnnualRenderer(const AnnualModel& model, const LegendImages& images, const YearHover& hover,
                               const YearCalendar& calendar)
    : m_model(model), m_images(images), m_hover(hover), m_calendar(calendar)
{ }

QString AnnualRenderer::WeekdayHeaderText(int column)
{
    return WeekdayName((column - 1) % 7 + 1).left(1);
}

QString AnnualRenderer::MonthHeaderText(int month)
{
    return MonthName(month).left(3);
}

bool AnnualRenderer::isWeekendColumn(int c)
{
    const int r = c % 7;
    return c >= 1 && c <= 37 && (r == 6 || r == 0);
}

void AnnualRenderer::drawCell(QPainter& p, const YearGeometry& g, int m, int d, int h) const
{
    const int column = m_calendar.firstColumn[m] + d - 1;
    const QRect r = g.positionRect(column, m, h);
    const HalfDayCell& c = m_model.cells.cell(m, d, h);
    const bool off = m_model.isOffHalfDay(m, d, h);
    if (c.Id == -1) {
        p.fillRect(r, ColorFromRef(isWeekendColumn(column) || off ? kWeekendColor : 0xFFFFFF));
    } else {
        DrawAssignedHalfDay(p, r, c, IsPastHalfDay(m_model.Year, m, d), m_model.DirectColors, 20, m_images,
                            m_model.Legend);
        if (off)
            DrawNonWorkingBand(p, r, kWeekendColor, kGridColor);
    }
    if (g.showDayNumber && h == 1)
        DrawDayNumber(p, r, d);
}

void AnnualRenderer::drawHeaders(QPainter& p, const YearGeometry& g, bool highlight) const
{
    p.save();
    p.setFont(ArialFont(14));
    for (int c = 1; c <= 37; ++c) {
        const quint32 bg = !highlight ? 0xFFFFFF : (c == m_hover.column ? kHighlightColor : g.backgroundColor);
        const QRect cell(QPoint(g.left + (c - 1) * g.cellWidth, 0), QPoint(g.left + c * g.cellWidth - 1, g.top - 1));
        p.fillRect(cell, ColorFromRef(bg));
        p.setClipRect(cell);
        p.setPen(Qt::black);
        const int cx = g.left + (c - 1) * g.cellWidth + g.cellWidth / 2 + 1;
        p.drawText(QRect(cx - 50, 2, 100, 100), Qt::AlignHCenter | Qt::AlignTop, WeekdayHeaderText(c));
        p.setClipping(false);
    }
    for (int m = 1; m <= 12; ++m) {
        const quint32 bg = !highlight ? 0xFFFFFF : (m == m_hover.month ? kHighlightColor : g.backgroundColor);
        const int y0 = g.top + 2 * g.halfRowHeight * (m - 1);
        const QRect cell(QPoint(0, y0), QPoint(g.left - 1, g.top + 2 * g.halfRowHeight * m - 1));
        p.fillRect(cell, ColorFromRef(bg));
        p.setClipRect(cell);
        p.setPen(Qt::black);
        p.drawText(QRect(3, y0 + g.halfRowHeight - 8, 200, 100), Qt::AlignLeft | Qt::AlignTop, MonthHeaderText(m));
        p.setClipping(false);
    }
    p.restore();
}

void AnnualRenderer::RenderYear(QPainter* canvas, bool cellsOnly, bool showDayNumber, bool highlightHeaders,
                                quint32 gridColor, quint32 weekendColor, quint32 backgroundColor, int halfRowHeight,
                                int cellWidth, int left, int top, int height, int width) const
{
    QPainter& p = *canvas;
    YearGeometry g;
    g.cellWidth = cellWidth;
    g.halfRowHeight = halfRowHeight;
    g.left = left;
    g.top = top;
    g.backgroundColor = backgroundColor;
    g.showDayNumber = showDayNumber;
    p.setRenderHint(QPainter::Antialiasing, false);
    if (!cellsOnly) {
        p.fillRect(QRect(0, 0, width, height), ColorFromRef(backgroundColor));
        for (int k = 0; k <= 4; ++k) {
            const int x1 = left + cellWidth * (5 + 7 * k);
            const int x2 = left + cellWidth * (7 + 7 * k);
            p.fillRect(QRect(x1, top, x2 - x1, 24 * halfRowHeight), ColorFromRef(weekendColor));
        }
        p.setPen(QPen(ColorFromRef(gridColor), 0));
        // The original line primitive leaves out the end point.
        for (int i = 0; i <= 37; ++i) {
            const int x = left + i * cellWidth;
            p.drawLine(x, top, x, top + 24 * halfRowHeight - 1);
        }
        for (int j = 0; j <= 24; ++j) {
            const int y = top + j * halfRowHeight;
            p.drawLine(left, y, left + 37 * cellWidth - 1, y);
        }
        drawHeaders(p, g, highlightHeaders);
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::NoBrush);
        for (int m = 1; m <= 12; ++m) {
            const int x = left + cellWidth * (m_calendar.firstColumn[m] - 1);
            const int y = top + 2 * halfRowHeight * (m - 1);
            p.drawRect(QRect(x, y, cellWidth * m_calendar.days[m], 2 * halfRowHeight));
        }
    }
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= m_calendar.days[m]; ++d) {
            for (int h = 1; h <= 2; ++h)
                drawCell(p, g, m, d, h);
        }
    }
}

void AnnualRenderer::drawHover(QPainter& p, const YearGeometry& g) const
{
    for (int m = 1; m <= 12; ++m) {
        for (int c = 1; c <= 37; ++c) {
            const int d = c - m_calendar.firstColumn[m] + 1;
            const bool inMonth = d >= 1 && d <= m_calendar.days[m];
            for (int h = 1; h <= 2; ++h) {
                if (inMonth && m_model.cells.cell(m, d, h).Id != -1)
                    continue;
                quint32 color;
                if (c == m_hover.column || (m == m_hover.month && h == m_hover.half))
                    color = kHighlightColor;
                else if (isWeekendColumn(c))
                    color = kWeekendColor;
                else if (!inMonth)
                    color = g.backgroundColor;
                else
                    color = m_model.isOffHalfDay(m, d, h) ? kWeekendColor : 0xFFFFFF;
                const QRect r = g.positionRect(c, m, h);
                p.fillRect(r, ColorFromRef(color));
                if (g.showDayNumber && h == 1 && inMonth)
                    DrawDayNumber(p, r, d);
            }
        }
    }
}

}  // namespace planning
