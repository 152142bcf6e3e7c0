#include "planning/PlanningModel.h"

#include "core/Clock.h"
#include "core/ColorRef.h"

namespace planning {

TBrushStyle DecodeBrushStyle(int code)
{
    switch (code) {
    case 0: return bsClear;
    case 1: return bsSolid;
    case 2: return bsCross;
    case 3: return bsDiagCross;
    case 4: return bsHorizontal;
    case 5: return bsVertical;
    case 6: return bsBDiagonal;
    case 7: return bsFDiagonal;
    default: return bsClear;
    }
}

int EncodeBrushStyle(TBrushStyle style)
{
    switch (style) {
    case bsClear: return 0;
    case bsSolid: return 1;
    case bsCross: return 2;
    case bsDiagCross: return 3;
    case bsHorizontal: return 4;
    case bsVertical: return 5;
    case bsBDiagonal: return 6;
    case bsFDiagonal: return 7;
    }
    return 0;
}

QColor ColorFromRef(quint32 colorRef)
{
    return QColor::fromRgb(core::RgbFromColorRef(colorRef));
}

quint32 ColorRefFromColor(const QColor& color)
{
    return core::ColorRefFromRgb(color.rgb());
}

namespace {

// A "%" of a label is written "%25", so that a user text holding a marker
// such as "%&e%" cannot end its field early; EntryField reverses it.
QString escapeEntryText(const QString& text)
{
    QString out = text;
    return out.replace(QLatin1Char('%'), QStringLiteral("%25"));
}

}  // namespace

QString MakeEntry(int id, quint32 penColor, quint32 brushColor, int brushStyle, const QString& label1,
                  const QString& label2)
{
    return QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0')) + QStringLiteral("%&a%") + QString::number(penColor)
        + QStringLiteral("%&b%") + QString::number(brushColor) + QStringLiteral("%&c%") + QString::number(brushStyle)
        + QStringLiteral("%&d%") + escapeEntryText(label1) + QStringLiteral("%&e%") + escapeEntryText(label2)
        + QStringLiteral("%&f%");
}

QString EntryField(const QString& entry, int n)
{
    const QString open = QStringLiteral("%&") + QChar(u'a' + n - 1) + QLatin1Char('%');
    const QString close = QStringLiteral("%&") + QChar(u'a' + n) + QLatin1Char('%');
    const qsizetype start = entry.indexOf(open);
    const qsizetype end = entry.indexOf(close);
    if (start < 0 || end < 0 || end < start + open.size())
        return {};
    return entry.mid(start + open.size(), end - start - open.size())
        .replace(QStringLiteral("%25"), QStringLiteral("%"));
}

int EntryId(const QStringList& list, int index)
{
    if (index < 0 || index >= list.size())
        return -1;
    const QString& e = list.at(index);
    const qsizetype pct = e.indexOf(QLatin1Char('%'));
    bool ok = false;
    const int id = (pct < 0 ? e : e.left(pct)).toInt(&ok);
    return ok ? id : -1;
}

int EntryIndexOfId(const QStringList& list, int id)
{
    const QString key = QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0'));
    for (int i = 0; i < list.size(); ++i) {
        if (QStringView(list.at(i)).left(4) == key)
            return i;
    }
    return -1;
}

void YearPlanning::ClearYear()
{
    for (HalfDayCell& c : m_cells) {
        c.Id = -1;
        c.Modified = 0;
    }
}

void YearPlanning::SetYearCell(int month, int day, int half, int id, quint32 penColor, quint32 brushColor, quint8 style)
{
    if (month < 1 || month > 12 || day < 1 || day > 31 || half < 1 || half > 2)
        return;
    HalfDayCell& c = cell(month, day, half);
    c.Id = id;
    c.PenColor = penColor;
    c.BrushColor = brushColor;
    c.Style = style;
}

void MonthPlanning::SetMonthDimensions(int rows, int months, int days, int halves)
{
    m_cells.clear();
    m_rows = qMax(0, rows);
    m_months = months;
    m_days = days;
    m_halves = halves;
    m_cells.assign(static_cast<size_t>(m_rows + 1) * (months + 1) * (days + 1) * (halves + 1), HalfDayCell{});
    m_set = true;
}

void MonthPlanning::clear()
{
    std::vector<HalfDayCell>().swap(m_cells);
    m_rows = 0;
    m_set = false;
}

void MonthPlanning::SetMonthCell(int row, int month, int day, int half, int id, quint32 penColor, quint32 brushColor,
                                 quint8 style)
{
    if (!contains(row, month, day, half))
        return;
    HalfDayCell& c = cell(row, month, day, half);
    c.Id = id;
    c.PenColor = penColor;
    c.BrushColor = brushColor;
    c.Style = style;
}

int FirstColumnOf(int year, int month)
{
    return QDate(year, month, 1).dayOfWeek();
}

int DaysInMonth(int year, int month)
{
    return QDate(year, month, 1).daysInMonth();
}

bool IsPastHalfDay(int year, int month, int day)
{
    return core::now() > QDate(year, month, day).startOfDay();
}

}  // namespace planning
