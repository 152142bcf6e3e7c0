#pragma once

#include "planning/PlanningSession.h"
#include "planning/PlanningWriter.h"

#include <vector>

class QWidget;

namespace db {
class Dataset;
}

namespace planning {

class PlanningUndo;
class TAnnualGraphicPlanning;
class TMonthlyGraphicPlanning;

// The loaders of the views: hourglass, day-number flag, cells, legend, redraw.
// Database errors reach the caller as DbError; the view keeps what was filled.
void LoadYearPlanning(TAnnualGraphicPlanning& view, db::Dataset& query, const PlanningSession& session, int year,
                      int personId, int projectId);
// objectRows and selectedRow are those of the object grid beside the view.
void LoadMonthPlanning(TMonthlyGraphicPlanning& view, db::Dataset& query, const PlanningSession& session, int year,
                       int month, int objectRows, int selectedRow);
// The view of the planning type, for the context's year, month and objects.
void LoadPlanning(TAnnualGraphicPlanning& annual, TMonthlyGraphicPlanning& monthly, db::Dataset& query,
                  const PlanningSession& session, int objectRows, int selectedRow);

// The save that follows a release on a view: the modified half-days become
// one undo step, written by its first redo in one transaction (hourglass),
// and the French box with the layer's message when it fails (the modified
// half-days then stay marked for the next release, and no step is kept).
// Answers success; nothing to save is a success.
bool SaveAnnualEdit(TAnnualGraphicPlanning& view, PlanningUndo& undo, const PlanningContext& ctx,
                    QWidget* parent = nullptr);
bool SaveMonthlyEdit(TMonthlyGraphicPlanning& view, PlanningUndo& undo, const PlanningSession& session,
                     QWidget* parent = nullptr);

// Shows half-days an undo or a redo wrote (their after ids, or their
// before ids) in the view of the session's planning type, where that view
// shows them: the annual view for the current object and its year, the
// monthly view for its month. Each takes its legend entry's colours, as a
// load would give it, and is no longer marked modified.
void ShowHalfDays(TAnnualGraphicPlanning& annual, TMonthlyGraphicPlanning& monthly, const PlanningSession& session,
                  const std::vector<HalfDayChange>& changes, bool after);

// Writes half-days as one undo step and shows them in the view of the
// session's planning type. A failure writes nothing, keeps no step and
// reaches the caller as DbError.
void RecordHalfDays(PlanningUndo& undo, TAnnualGraphicPlanning& annual, TMonthlyGraphicPlanning& monthly,
                    const PlanningSession& session, std::vector<HalfDayChange> changes);

}  // namespace planning
