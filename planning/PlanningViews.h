#pragma once

#include "planning/PlanningSession.h"

class QWidget;

namespace db {
class Dataset;
}

namespace planning {

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

// The save that follows a release on a view: hourglass, one transaction, and
// the French box with the layer's message when it fails (the modified
// half-days then stay marked for the next release). Answers success.
bool SaveAnnualEdit(TAnnualGraphicPlanning& view, db::Dataset& query, const PlanningContext& ctx,
                    QWidget* parent = nullptr);
bool SaveMonthlyEdit(TMonthlyGraphicPlanning& view, db::Dataset& query, const PlanningSession& session,
                     QWidget* parent = nullptr);

}  // namespace planning
