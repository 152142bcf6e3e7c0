#pragma once

#include "planning/PlanningModel.h"

#include <QString>
#include <QStringList>

namespace db {
class Dataset;
}

namespace planning {

struct AnnualModel;
struct MonthModel;

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
