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

bool ExactlyLeft(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    return buttons == Qt::LeftButton && (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool ExactlyRight(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    return buttons == Qt::RightButton && (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier;
}

AnnualRenderer::AnnualRenderer()
{
    cells.ClearYear();
    computeCalendar();
}

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

QRect AnnualRenderer::positionRect(int column, int month, int half) const
{
    const int x = m_left + (column - 1) * m_cellWidth;
    const int y = m_top + (2 * (month - 1) + half - 1) * m_halfRowHeight;
    return QRect(QPoint(x + 1, y + 1), QPoint(x + m_cellWidth - 1, y + m_halfRowHeight - 1));
}

AnnualRenderer::Geometry AnnualRenderer::ownGeometry() const
{
    Geometry g;
    g.cellWidth = m_cellWidth;
    g.halfRowHeight = m_halfRowHeight;
    g.left = m_left;
    g.top = m_top;
    g.backgroundColor = m_backgroundColor;
    g.showDayNumber = m_showDayNumber;
    return g;
}

void AnnualRenderer::computeLayout(int width, int height)
{
    m_top = 15;
    m_left = 25;
    m_cellWidth = qMax(0, (width - 25) / 37);
    m_halfRowHeight = qMax(0, (height - 15) / 24);
}

void AnnualRenderer::computeCalendar()
{
    for (int m = 1; m <= 12; ++m) {
        m_days[m] = DaysInMonth(Year, m);
        m_firstColumn[m] = FirstColumnOf(Year, m);
    }
}

void AnnualRenderer::rebuildLegendImages()
{
    m_images.rebuild(Legend, m_cellWidth - 1, m_halfRowHeight - 1);
}

void AnnualRenderer::drawCell(QPainter& p, const Geometry& g, int m, int d, int h) const
{
    const int column = m_firstColumn[m] + d - 1;
    const int x = g.left + (column - 1) * g.cellWidth;
    const int y = g.top + (2 * (m - 1) + h - 1) * g.halfRowHeight;
    const QRect r(QPoint(x + 1, y + 1), QPoint(x + g.cellWidth - 1, y + g.halfRowHeight - 1));
    const HalfDayCell& c = cells.cell(m, d, h);
    if (c.Id == -1) {
        p.fillRect(r, ColorFromRef(isWeekendColumn(column) ? kWeekendColor : 0xFFFFFF));
    } else {
        DrawAssignedHalfDay(p, r, c, IsPastHalfDay(Year, m, d), DirectColors, 20, m_images, Legend);
    }
    if (g.showDayNumber && h == 1)
        DrawDayNumber(p, r, d);
}

void AnnualRenderer::drawHeaders(QPainter& p, const Geometry& g, bool highlight) const
{
    p.save();
    p.setFont(ArialFont(14));
    for (int c = 1; c <= 37; ++c) {
        const quint32 bg = !highlight ? 0xFFFFFF : (c == m_hoverColumn ? kHighlightColor : g.backgroundColor);
        const QRect cell(QPoint(g.left + (c - 1) * g.cellWidth, 0), QPoint(g.left + c * g.cellWidth - 1, g.top - 1));
        p.fillRect(cell, ColorFromRef(bg));
        p.setClipRect(cell);
        p.setPen(Qt::black);
        const int cx = g.left + (c - 1) * g.cellWidth + g.cellWidth / 2 + 1;
        p.drawText(QRect(cx - 50, 2, 100, 100), Qt::AlignHCenter | Qt::AlignTop, WeekdayHeaderText(c));
        p.setClipping(false);
    }
    for (int m = 1; m <= 12; ++m) {
        const quint32 bg = !highlight ? 0xFFFFFF : (m == m_hoverMonth ? kHighlightColor : g.backgroundColor);
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
                                int cellWidth, int left, int top, int height, int width)
{
    QPainter& p = *canvas;
    Geometry g;
    g.cellWidth = cellWidth;
    g.halfRowHeight = halfRowHeight;
    g.left = left;
    g.top = top;
    g.backgroundColor = backgroundColor;
    g.showDayNumber = showDayNumber;
    p.setRenderHint(QPainter::Antialiasing, false);
    if (!cellsOnly) {
        computeCalendar();
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
            const int x = left + cellWidth * (m_firstColumn[m] - 1);
            const int y = top + 2 * halfRowHeight * (m - 1);
            p.drawRect(QRect(x, y, cellWidth * m_days[m], 2 * halfRowHeight));
        }
    }
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= m_days[m]; ++d) {
            for (int h = 1; h <= 2; ++h)
                drawCell(p, g, m, d, h);
        }
    }
}

void AnnualRenderer::drawHover(QPainter& p, const Geometry& g) const
{
    for (int m = 1; m <= 12; ++m) {
        for (int c = 1; c <= 37; ++c) {
            const int d = c - m_firstColumn[m] + 1;
            const bool inMonth = d >= 1 && d <= m_days[m];
            for (int h = 1; h <= 2; ++h) {
                if (inMonth && cells.cell(m, d, h).Id != -1)
                    continue;
                quint32 color;
                if (c == m_hoverColumn || (m == m_hoverMonth && h == m_hoverHalf))
                    color = kHighlightColor;
                else if (isWeekendColumn(c))
                    color = kWeekendColor;
                else
                    color = inMonth ? 0xFFFFFF : g.backgroundColor;
                const QRect r = positionRect(c, m, h);
                p.fillRect(r, ColorFromRef(color));
                if (g.showDayNumber && h == 1 && inMonth)
                    DrawDayNumber(p, r, d);
            }
        }
    }
}

bool AnnualRenderer::PaintAt(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y, int* monthOut,
                             int* dayOut, int* halfOut)
{
    if (PaintId <= -1 || m_cellWidth == 0 || m_halfRowHeight == 0)
        return false;
    int month = 0, day = 0, half = 0;
    if (y > m_top) {
        const int halfRow = q(y - m_top, m_halfRowHeight);
        month = q(halfRow, 2) + 1;
        half = halfRow % 2 + 1;
    }
    if (month > 12)
        month = 0;
    if (month == 0)
        return false;
    const int x0 = m_left + (m_firstColumn[month] - 1) * m_cellWidth;
    day = x > x0 ? q(x - x0, m_cellWidth) + 1 : 0;
    if (day > m_days[month])
        day = 0;
    if (day == 0 || half == 0)
        return false;
    HoverMonth = month;
    HoverDay = day;
    HoverHalf = half;
    if (!ApplyGesture(cells.cell(month, day, half), buttons, modifiers, PaintId, PaintPenColor, PaintBrushColor,
                      PaintStyle))
        return false;
    *monthOut = month;
    *dayOut = day;
    *halfOut = half;
    return true;
}

void AnnualRenderer::updateHover(int x, int y)
{
    m_hoverColumn = m_hoverMonth = m_hoverHalf = 0;
    if (m_cellWidth > 0 && m_halfRowHeight > 0) {
        m_hoverColumn = q(x - m_left, m_cellWidth) + 1;
        m_hoverMonth = q(y - m_top, 2 * m_halfRowHeight) + 1;
        m_hoverHalf = q(y - m_top, m_halfRowHeight) - 2 * (m_hoverMonth - 1) + 1;
    }
}

}  // namespace planning
