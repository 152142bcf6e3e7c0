#include "planning/Holidays.h"

#include "planning/PlanningModel.h"
#include "planning/PlanningWriter.h"

#include <QPainter>
#include <QRect>

#include <algorithm>

namespace planning {

QDate EasterSunday(int year)
{
    if (year < 1583)
        return {};
    // The anonymous Gregorian algorithm (Meeus, Jones, Butcher).
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int n = h + l - 7 * m + 114;
    return QDate(year, n / 31, n % 31 + 1);
}

QString HolidayName(Holiday holiday)
{
    switch (holiday) {
    case Holiday::NewYear: return QStringLiteral("Jour de l'an");
    case Holiday::EasterMonday: return QStringLiteral("Lundi de Pâques");
    case Holiday::LabourDay: return QStringLiteral("Fête du Travail");
    case Holiday::VictoryDay: return QStringLiteral("Victoire 1945");
    case Holiday::Ascension: return QStringLiteral("Ascension");
    case Holiday::WhitMonday: return QStringLiteral("Lundi de Pentecôte");
    case Holiday::NationalDay: return QStringLiteral("Fête nationale");
    case Holiday::Assumption: return QStringLiteral("Assomption");
    case Holiday::AllSaints: return QStringLiteral("Toussaint");
    case Holiday::Armistice: return QStringLiteral("Armistice 1918");
    case Holiday::Christmas: return QStringLiteral("Noël");
    case Holiday::GoodFriday: return QStringLiteral("Vendredi saint");
    case Holiday::SaintStephen: return QStringLiteral("Saint-Étienne");
    }
    return {};
}

bool IsAlsaceMoselleHoliday(Holiday holiday)
{
    return holiday == Holiday::GoodFriday || holiday == Holiday::SaintStephen;
}

std::vector<PublicHoliday> PublicHolidaysOf(int year, bool alsaceMoselle)
{
    std::vector<PublicHoliday> out;
    if (year < kFirstHolidayYear || year > kLastHolidayYear)
        return out;
    const QDate easter = EasterSunday(year);
    out = {{Holiday::NewYear, QDate(year, 1, 1)},      {Holiday::EasterMonday, easter.addDays(1)},
           {Holiday::LabourDay, QDate(year, 5, 1)},    {Holiday::VictoryDay, QDate(year, 5, 8)},
           {Holiday::Ascension, easter.addDays(39)},   {Holiday::WhitMonday, easter.addDays(50)},
           {Holiday::NationalDay, QDate(year, 7, 14)}, {Holiday::Assumption, QDate(year, 8, 15)},
           {Holiday::AllSaints, QDate(year, 11, 1)},   {Holiday::Armistice, QDate(year, 11, 11)},
           {Holiday::Christmas, QDate(year, 12, 25)}};
    if (alsaceMoselle) {
        out.push_back({Holiday::GoodFriday, easter.addDays(-2)});
        out.push_back({Holiday::SaintStephen, QDate(year, 12, 26)});
    }
    // Ascension may fall on 1 or 8 May: the same day stays listed twice.
    std::stable_sort(out.begin(), out.end(),
                     [](const PublicHoliday& a, const PublicHoliday& b) { return a.date < b.date; });
    return out;
}

QString DayPartText(DayPart part)
{
    switch (part) {
    case DayPart::Morning: return QStringLiteral("Matinée");
    case DayPart::Afternoon: return QStringLiteral("Après-midi");
    case DayPart::WholeDay: return QStringLiteral("Journée entière");
    }
    return {};
}

void HolidaySettings::setOn(Holiday h, bool on)
{
    const quint32 bit = 1u << static_cast<int>(h);
    switchedOff = on ? (switchedOff & ~bit) : (switchedOff | bit);
}

namespace {
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
}

QString ClosedDaysToText(const std::vector<ClosedDays>& closures)
{
    QStringList lines;
    for (const ClosedDays& c : closures) {
        QString label = c.label;
        label.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines << c.first.toString(kDateFormat) + QLatin1Char(';') + c.last.toString(kDateFormat) + QLatin1Char(';')
                + QString::number(static_cast<int>(c.part)) + QLatin1Char(';') + label;
    }
    return lines.join(QLatin1Char('\n'));
}

std::vector<ClosedDays> ClosedDaysFromText(const QString& text)
{
    std::vector<ClosedDays> out;
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringList f = line.split(QLatin1Char(';'));
        if (f.size() < 4)
            continue;
        ClosedDays c;
        c.first = QDate::fromString(f[0], kDateFormat);
        c.last = QDate::fromString(f[1], kDateFormat);
        bool ok = false;
        const int part = f[2].toInt(&ok);
        if (!ok || part < 1 || part > 3)
            continue;
        c.part = static_cast<DayPart>(part);
        c.label = line.section(QLatin1Char(';'), 3);
        if (ClosedDaysProblem(c).isEmpty())
            out.push_back(c);
    }
    return out;
}

QString ClosedDaysProblem(const ClosedDays& c)
{
    if (!c.first.isValid() || !c.last.isValid())
        return QStringLiteral("La date de la fermeture n'est pas valide.");
    if (c.first.year() < kFirstHolidayYear || c.last.year() > kLastHolidayYear)
        return QStringLiteral("Les dates de fermeture doivent être comprises entre %1 et %2.")
            .arg(kFirstHolidayYear)
            .arg(kLastHolidayYear);
    if (c.last < c.first)
        return QStringLiteral("La date de fin de la fermeture précède sa date de début.");
    if (c.label.trimmed().isEmpty())
        return QStringLiteral("Le libellé de la fermeture est vide.");
    return {};
}

NonWorkingDays::NonWorkingDays(int year, const HolidaySettings& settings) : m_year(year), m_settings(settings)
{
    for (const PublicHoliday& h : PublicHolidaysOf(year, settings.alsaceMoselle))
        if (settings.isOn(h.which))
            mark(h.date, 3, HolidayName(h.which));
    const QDate yearStart(year, 1, 1), yearEnd(year, 12, 31);
    for (const ClosedDays& c : settings.closures) {
        if (!c.first.isValid() || !c.last.isValid() || c.last < yearStart || c.first > yearEnd)
            continue;
        const QDate to = qMin(c.last, yearEnd);
        for (QDate d = qMax(c.first, yearStart); d <= to; d = d.addDays(1))
            mark(d, static_cast<int>(c.part), c.label);
    }
}

void NonWorkingDays::mark(const QDate& date, int halves, const QString& label)
{
    for (int half = 1; half <= 2; ++half) {
        if (!(halves & half))
            continue;
        const int i = index(date.month(), date.day(), half);
        // A holiday comes first; among closures the first listed names it.
        if (!m_off.test(i))
            m_labels.insert(i, label);
        m_off.set(i);
    }
}

QString NonWorkingDays::labelOf(int month, int day, int half) const
{
    if (!isOff(month, day, half))
        return {};
    return m_labels.value(index(month, day, half));
}

std::shared_ptr<const NonWorkingDays> NonWorkingDaysShown(const HolidaySettings& settings, int year,
                                                          const std::shared_ptr<const NonWorkingDays>& shown)
{
    if (!settings.showInPlanning)
        return {};
    if (shown && shown->year() == year && shown->settings() == settings)
        return shown;
    return std::make_shared<const NonWorkingDays>(year, settings);
}

void DrawNonWorkingBand(QPainter& p, const QRect& r, quint32 weekendColor, quint32 gridColor)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const int band = qMin(r.height(), qMax(3, r.height() / 5));
    p.fillRect(QRect(r.left(), r.top(), r.width(), band), ColorFromRef(weekendColor));
    if (band < r.height())
        p.fillRect(QRect(r.left(), r.top() + band, r.width(), 1), ColorFromRef(gridColor));
}

QString MiddleBarCaption(int day, int month, int half, int year, const NonWorkingDays* shown)
{
    const QString label = shown && shown->year() == year ? shown->labelOf(month, day, half) : QString();
    if (label.isEmpty())
        return MiddleBarCaption(day, month, half, year);
    return HoverHintText(day, month, half, year) + QStringLiteral(" — ") + label + QLatin1Char(' ');
}

}  // namespace planning
