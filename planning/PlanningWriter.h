#pragma once

#include "planning/PlanningModel.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

namespace db {
class Connection;
class Dataset;
}  // namespace db

namespace planning {

struct AnnualModel;
struct MonthModel;

// One half-day as a gesture or an undo step changes it: the object (the
// person in orientation 0, the project in orientation 1), the day, the half
// and the legend-side id it held before and holds after (-1: empty).
struct HalfDayChange {
    qint32 objectId = -1;
    qint32 day = 0;  // QDate::toJulianDay()
    qint32 before = -1;
    qint32 after = -1;
    qint8 half = 1;

    QDate date() const { return QDate::fromJulianDay(day); }
};

// Writes the after (or the before) id of every change into the PLANNING row
// of the dossier, the object, the date and the half, appending the row when
// missing; every row of a half-day stored twice is updated. One transaction
// with its statements prepared once: on failure it rolls back, nothing is
// written and DbError reaches the caller. Every save, undo and redo of the
// planning writes through here.
void WriteHalfDays(db::Connection& connection, int dossierId, int orientation,
                   const std::vector<HalfDayChange>& changes, bool after);

// The half-days of the year (of one object) or of the month (row r is
// object entry r) marked modified, in cell order, with what they held
// before the gesture (the model's pending edits; their current value when
// none is recorded) and what they hold now.
std::vector<HalfDayChange> ModifiedYearHalfDays(const AnnualModel& year, int objectId);
std::vector<HalfDayChange> ModifiedMonthHalfDays(const MonthModel& month, int monthValue, const QStringList& objects,
                                                 int rowCount);
// Once they are written: the Modified flags of those half-days go to 0 and
// the pending edits are forgotten.
void MarkYearSaved(AnnualModel& year);
void MarkMonthSaved(MonthModel& month, int monthValue, int rowCount);

// Writes every modified half-day of the year into PLANNING, one row per
// half-day (found by dossier, object, date and half; appended when missing),
// in one transaction. The Modified flags are cleared only once it has
// committed: on failure it rolls back, the flags stay set for the next
// release and DbError reaches the caller. Answers the half-days written.
int SaveAnnualPlanning(AnnualModel& year, db::Dataset& query, const PlanningContext& ctx);

// The same for every row of the month; row r is object entry r.
int SaveMonthlyPlanning(MonthModel& month, db::Dataset& query, const PlanningContext& ctx, const QStringList& objects,
                        int rowCount);

// "Lundi 5 Janvier 2009 (Après-Midi)", or empty for a day outside the month.
QString HoverHintText(int day, int month, int half, int year);
// The caption of MiddleBar: the hint followed by one space.
QString MiddleBarCaption(int day, int month, int half, int year);

}  // namespace planning
