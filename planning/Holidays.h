#pragma once

#include <QDate>
#include <QHash>
#include <QString>

#include <bitset>
#include <memory>
#include <vector>

class QPainter;
class QRect;

namespace planning {

// The French public holidays; the last two are kept in Alsace-Moselle only.
enum class Holiday : quint8 {
    NewYear,
    EasterMonday,
    LabourDay,
    VictoryDay,
    Ascension,
    WhitMonday,
    NationalDay,
    Assumption,
    AllSaints,
    Armistice,
    Christmas,
    GoodFriday,
    SaintStephen,
};
inline constexpr int kHolidayKinds = 13;
// The years the holiday calendar covers; outside it a year has no holiday.
inline constexpr int kFirstHolidayYear = 1900;
inline constexpr int kLastHolidayYear = 2199;

// Easter Sunday by the Gregorian computus; invalid before 1583.
QDate EasterSunday(int year);
// "Lundi de Pâques", "Fête nationale", ...
QString HolidayName(Holiday holiday);
bool IsAlsaceMoselleHoliday(Holiday holiday);

struct PublicHoliday {
    Holiday which;
    QDate date;
};
// The holidays of a year in date order, switched-off ones included; the
// Alsace-Moselle days only with that option.
std::vector<PublicHoliday> PublicHolidaysOf(int year, bool alsaceMoselle);

// Which half-days of a day a closure takes; the values are the halves'
// bits (morning 1, afternoon 2).
enum class DayPart : quint8 { Morning = 1, Afternoon = 2, WholeDay = 3 };
// "Matinée", "Après-midi", "Journée entière".
QString DayPartText(DayPart part);

// Closed days of the dossier: every day from first to last takes the part.
struct ClosedDays {
    QDate first;
    QDate last;
    DayPart part = DayPart::WholeDay;
    QString label;
    bool operator==(const ClosedDays&) const = default;
};

// The dossier's choices, kept in the object store. Off by default.
struct HolidaySettings {
    bool showInPlanning = false;
    bool alsaceMoselle = false;
    quint32 switchedOff = 0;  // one bit per Holiday
    std::vector<ClosedDays> closures;

    bool isOn(Holiday h) const { return !(switchedOff & (1u << static_cast<int>(h))); }
    void setOn(Holiday h, bool on);
    bool operator==(const HolidaySettings&) const = default;
};

// The closed-days list as one text: a line per closure,
// "yyyy-MM-dd;yyyy-MM-dd;part;label", the label last so that it may hold
// semicolons. Reading skips lines that are not closures.
QString ClosedDaysToText(const std::vector<ClosedDays>& closures);
std::vector<ClosedDays> ClosedDaysFromText(const QString& text);
// Empty when the closure is sound, else the French reason.
QString ClosedDaysProblem(const ClosedDays& closure);

// The non-working half-days of one year (the holidays kept on and the
// closed days), worked out once and then read per cell.
class NonWorkingDays {
public:
    NonWorkingDays(int year, const HolidaySettings& settings);

    int year() const { return m_year; }
    const HolidaySettings& settings() const { return m_settings; }
    bool isOff(int month, int day, int half) const
    {
        return month >= 1 && month <= 12 && day >= 1 && day <= 31 && half >= 1 && half <= 2
            && m_off.test(index(month, day, half));
    }
    // The holiday's name, or the closure's label (the first that covers it);
    // empty for a working half-day.
    QString labelOf(int month, int day, int half) const;
    int halfDaysOff() const { return static_cast<int>(m_off.count()); }

private:
    static int index(int month, int day, int half) { return (month * 32 + day) * 3 + half; }
    void mark(const QDate& date, int halves, const QString& label);

    int m_year;
    HolidaySettings m_settings;
    std::bitset<13 * 32 * 3> m_off;
    QHash<int, QString> m_labels;  // by index
};

// What the views draw for a year: nothing while the dossier's option is
// off. Reuses `shown` when it is already that year's with these settings.
std::shared_ptr<const NonWorkingDays> NonWorkingDaysShown(const HolidaySettings& settings, int year,
                                                          const std::shared_ptr<const NonWorkingDays>& shown = {});

// The thin band along the top edge of a painted non-working half-day, in
// the weekend colour over a line of the grid colour, so that the swatch
// stays visible below it.
void DrawNonWorkingBand(QPainter& p, const QRect& cellRect, quint32 weekendColor, quint32 gridColor);

// The hint bar's text: the design's text, then the name of the holiday or
// closure of the half-day when one is shown.
QString MiddleBarCaption(int day, int month, int half, int year, const NonWorkingDays* shown);

}  // namespace planning
