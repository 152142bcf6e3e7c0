#pragma once

#include "planning/PlanningModel.h"

#include <QStringList>

namespace db {
class Dataset;
}

namespace planning {

struct AnnualModel;
struct MonthModel;

// The legend-side and object-side entry lists for an orientation.
const QStringList& LegendEntries(const PlanningContext& ctx, const QStringList& persons, const QStringList& projects);
const QStringList& ObjectEntries(const PlanningContext& ctx, const QStringList& persons, const QStringList& projects);

// Fills the year cells of one object (the person in orientation 0, the
// project in orientation 1) from PLANNING. Rows whose ids or half are -1, or
// whose legend record is gone, are skipped; of two rows for one half-day the
// later wins. query is the data module's shared query. Throws DbError.
void FillYearPlanning(AnnualModel& year, db::Dataset& query, const PlanningContext& ctx, int yearValue, int personId,
                      int projectId);

// Fills row i of the month cells with object entry i, with one query for
// the whole month read from its covering index; each half-day takes the
// colours of its legend entry and is skipped when it has none. The
// dimensions must be set. Throws DbError.
void FillMonthPlanning(MonthModel& month, db::Dataset& query, const PlanningContext& ctx, const QStringList& objects,
                       const QStringList& legend, int yearValue, int monthValue);

}  // namespace planning
