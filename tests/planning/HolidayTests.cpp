// The holiday calendar, the closed days and the year's non-working half-days.
#include "planning/Holidays.h"
#include "planning/PlanningWriter.h"

#include <gtest/gtest.h>

using namespace planning;

namespace {

QDate D(int y, int m, int d)
{
    return QDate(y, m, d);
}

QStringList namesAndDates(const std::vector<PublicHoliday>& holidays)
{
    QStringList out;
    for (const PublicHoliday& h : holidays)
        out << h.date.toString(QStringLiteral("yyyy-MM-dd ")) + HolidayName(h.which);
    return out;
}

}  // namespace

TEST(HolidayCalendar, EasterByTheGregorianComputus)
{
    // Dates from published Easter tables, the two extremes included.
    const struct {
        int year;
        QDate easter;
    } cases[] = {
        {1900, D(1900, 4, 15)}, {1961, D(1961, 4, 2)},  {2008, D(2008, 3, 23)}, {2019, D(2019, 4, 21)},
        {2038, D(2038, 4, 25)}, {2100, D(2100, 3, 28)}, {2199, D(2199, 4, 14)}, {1818, D(1818, 3, 22)},
        {2285, D(2285, 3, 22)}, {1943, D(1943, 4, 25)}, {2024, D(2024, 3, 31)}, {2025, D(2025, 4, 20)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EasterSunday(c.year), c.easter) << c.year;
    EXPECT_FALSE(EasterSunday(1582).isValid());
    // Every Easter of the covered years is a Sunday between 22 March and 25 April.
    for (int y = kFirstHolidayYear; y <= kLastHolidayYear; ++y) {
        const QDate e = EasterSunday(y);
        ASSERT_EQ(e.dayOfWeek(), 7) << y;
        ASSERT_TRUE(e >= D(y, 3, 22) && e <= D(y, 4, 25)) << y;
    }
}

TEST(HolidayCalendar, HolidaysOfTwoYearsInDateOrder)
{
    EXPECT_EQ(namesAndDates(PublicHolidaysOf(2024, false)),
              (QStringList{QStringLiteral("2024-01-01 Jour de l'an"), QStringLiteral("2024-04-01 Lundi de Pâques"),
                           QStringLiteral("2024-05-01 Fête du Travail"), QStringLiteral("2024-05-08 Victoire 1945"),
                           QStringLiteral("2024-05-09 Ascension"), QStringLiteral("2024-05-20 Lundi de Pentecôte"),
                           QStringLiteral("2024-07-14 Fête nationale"), QStringLiteral("2024-08-15 Assomption"),
                           QStringLiteral("2024-11-01 Toussaint"), QStringLiteral("2024-11-11 Armistice 1918"),
                           QStringLiteral("2024-12-25 Noël")}));
    // 2008: Easter on 23 March puts Ascension on 1 May; both stay listed.
    EXPECT_EQ(namesAndDates(PublicHolidaysOf(2008, true)),
              (QStringList{QStringLiteral("2008-01-01 Jour de l'an"), QStringLiteral("2008-03-21 Vendredi saint"),
                           QStringLiteral("2008-03-24 Lundi de Pâques"), QStringLiteral("2008-05-01 Fête du Travail"),
                           QStringLiteral("2008-05-01 Ascension"), QStringLiteral("2008-05-08 Victoire 1945"),
                           QStringLiteral("2008-05-12 Lundi de Pentecôte"), QStringLiteral("2008-07-14 Fête nationale"),
                           QStringLiteral("2008-08-15 Assomption"), QStringLiteral("2008-11-01 Toussaint"),
                           QStringLiteral("2008-11-11 Armistice 1918"), QStringLiteral("2008-12-25 Noël"),
                           QStringLiteral("2008-12-26 Saint-Étienne")}));
    EXPECT_TRUE(PublicHolidaysOf(1899, false).empty());
    EXPECT_TRUE(PublicHolidaysOf(2200, true).empty());
    EXPECT_EQ(PublicHolidaysOf(2199, false).size(), 11u);
}

TEST(HolidayCalendar, AlsaceMoselleAndSwitchedOffDays)
{
    HolidaySettings s;
    const NonWorkingDays plain(2024, s);
    EXPECT_FALSE(plain.isOff(3, 29, 1));  // Good Friday
    EXPECT_FALSE(plain.isOff(12, 26, 2));
    EXPECT_TRUE(plain.isOff(5, 20, 1));  // Whit Monday
    EXPECT_EQ(plain.halfDaysOff(), 22);

    s.alsaceMoselle = true;
    s.setOn(Holiday::WhitMonday, false);
    s.setOn(Holiday::Christmas, false);
    const NonWorkingDays alsace(2024, s);
    EXPECT_TRUE(alsace.isOff(3, 29, 1));
    EXPECT_TRUE(alsace.isOff(3, 29, 2));
    EXPECT_EQ(alsace.labelOf(12, 26, 1), QStringLiteral("Saint-Étienne"));
    EXPECT_FALSE(alsace.isOff(5, 20, 1));
    EXPECT_FALSE(alsace.isOff(12, 25, 2));
    EXPECT_EQ(alsace.halfDaysOff(), 22);
    // Switched back on, the day is off again; the switch is per kind, every year.
    s.setOn(Holiday::WhitMonday, true);
    EXPECT_TRUE(NonWorkingDays(2025, s).isOff(6, 9, 2));
    EXPECT_FALSE(NonWorkingDays(2025, s).isOff(12, 25, 1));
}

TEST(HolidayCalendar, ClosedHalfDaysAndRanges)
{
    HolidaySettings s;
    s.closures = {
        {D(2024, 8, 5), D(2024, 8, 23), DayPart::WholeDay, QStringLiteral("Fermeture annuelle")},
        {D(2024, 12, 24), D(2024, 12, 24), DayPart::Afternoon, QStringLiteral("24 décembre après-midi")},
        {D(2024, 12, 30), D(2025, 1, 3), DayPart::Morning, QStringLiteral("Matins d'hiver")},
        {D(2024, 8, 1), D(2024, 8, 9), DayPart::WholeDay, QStringLiteral("Plus tard dans la liste")},
    };
    const NonWorkingDays y(2024, s);
    EXPECT_TRUE(y.isOff(8, 5, 1));
    EXPECT_TRUE(y.isOff(8, 23, 2));
    EXPECT_FALSE(y.isOff(8, 24, 1));
    EXPECT_FALSE(y.isOff(12, 24, 1));
    EXPECT_TRUE(y.isOff(12, 24, 2));
    EXPECT_EQ(y.labelOf(12, 24, 2), QStringLiteral("24 décembre après-midi"));
    EXPECT_EQ(y.labelOf(12, 24, 1), QString());
    // The holiday names its day inside a closure; the first closure listed names an overlap.
    EXPECT_EQ(y.labelOf(8, 15, 1), QStringLiteral("Assomption"));
    EXPECT_EQ(y.labelOf(8, 6, 2), QStringLiteral("Fermeture annuelle"));
    EXPECT_EQ(y.labelOf(8, 2, 1), QStringLiteral("Plus tard dans la liste"));
    // A range over the new year takes each year's part of it.
    EXPECT_TRUE(y.isOff(12, 31, 1));
    EXPECT_FALSE(y.isOff(12, 31, 2));
    const NonWorkingDays next(2025, s);
    EXPECT_TRUE(next.isOff(1, 3, 1));
    EXPECT_FALSE(next.isOff(1, 3, 2));
    EXPECT_FALSE(next.isOff(8, 5, 1));
    // Out of the grid, nothing is off.
    EXPECT_FALSE(y.isOff(0, 1, 1));
    EXPECT_FALSE(y.isOff(8, 32, 1));
    EXPECT_FALSE(y.isOff(8, 5, 3));
}

TEST(HolidayCalendar, ClosedDaysTextRoundTripAndRefusals)
{
    const std::vector<ClosedDays> closures = {
        {D(2024, 8, 5), D(2024, 8, 23), DayPart::WholeDay, QStringLiteral("Fermeture annuelle ; été")},
        {D(2024, 12, 24), D(2024, 12, 24), DayPart::Afternoon, QStringLiteral("24 décembre après-midi")},
    };
    EXPECT_EQ(ClosedDaysFromText(ClosedDaysToText(closures)), closures);
    // Lines that are no sound closure are skipped, the rest kept.
    const QString text = QStringLiteral("2024-01-02;2024-01-01;3;à l'envers\r\n"
                                        "n'importe quoi\n"
                                        "2024-02-30;2024-03-01;3;date fausse\n"
                                        "2024-05-10;2024-05-10;4;partie inconnue\n"
                                        "2024-05-10;2024-05-10;1;\n"
                                        "2024-05-10;2024-05-10;1;Pont de l'Ascension\r\n");
    const std::vector<ClosedDays> read = ClosedDaysFromText(text);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].label, QStringLiteral("Pont de l'Ascension"));
    EXPECT_EQ(read[0].part, DayPart::Morning);

    EXPECT_EQ(ClosedDaysProblem({D(2024, 1, 2), D(2024, 1, 1), DayPart::WholeDay, QStringLiteral("x")}),
              QStringLiteral("La date de fin de la fermeture précède sa date de début."));
    EXPECT_EQ(ClosedDaysProblem({D(2024, 1, 2), D(2024, 1, 2), DayPart::WholeDay, QStringLiteral("  ")}),
              QStringLiteral("Le libellé de la fermeture est vide."));
    EXPECT_FALSE(ClosedDaysProblem({D(1899, 12, 31), D(1900, 1, 2), DayPart::WholeDay, QStringLiteral("x")}).isEmpty());
}

TEST(HolidayCalendar, HintNamesTheHolidayOrClosureOnlyWhenShown)
{
    HolidaySettings s;
    s.closures = {{D(2024, 12, 24), D(2024, 12, 24), DayPart::Afternoon, QStringLiteral("24 décembre après-midi")}};
    const NonWorkingDays y(2024, s);
    EXPECT_EQ(MiddleBarCaption(1, 4, 1, 2024, &y), QStringLiteral("Lundi 1 Avril 2024 (Matinée) — Lundi de Pâques "));
    EXPECT_EQ(MiddleBarCaption(24, 12, 2, 2024, &y),
              QStringLiteral("Mardi 24 Décembre 2024 (Après-Midi) — 24 décembre après-midi "));
    // A working half-day, no set shown, or the set of another year: the design's text.
    EXPECT_EQ(MiddleBarCaption(24, 12, 1, 2024, &y), MiddleBarCaption(24, 12, 1, 2024));
    EXPECT_EQ(MiddleBarCaption(1, 4, 1, 2024, nullptr), QStringLiteral("Lundi 1 Avril 2024 (Matinée) "));
    EXPECT_EQ(MiddleBarCaption(1, 1, 1, 2025, &y), MiddleBarCaption(1, 1, 1, 2025));
    // Outside the month the hint stays empty but for its space.
    EXPECT_EQ(MiddleBarCaption(31, 4, 1, 2024, &y), QStringLiteral(" "));

    // Off in the dossier: nothing is shown; a set for the same year and settings is reused.
    EXPECT_EQ(NonWorkingDaysShown(s, 2024), nullptr);
    s.showInPlanning = true;
    const auto shown = NonWorkingDaysShown(s, 2024);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(NonWorkingDaysShown(s, 2024, shown), shown);
    EXPECT_NE(NonWorkingDaysShown(s, 2025, shown), shown);
    s.setOn(Holiday::EasterMonday, false);
    const auto changed = NonWorkingDaysShown(s, 2024, shown);
    EXPECT_NE(changed, shown);
    EXPECT_FALSE(changed->isOff(4, 1, 1));
}
