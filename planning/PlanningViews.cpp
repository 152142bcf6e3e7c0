#include "planning/PlanningViews.h"

#include "db/DbError.h"
#include "planning/PlanningLoader.h"
#include "planning/PlanningWriter.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"

namespace planning {

void LoadYearPlanning(TAnnualGraphicPlanning& view, db::Dataset& query, const PlanningSession& session, int year,
                      int personId, int projectId)
{
    ui::HourglassCursor wait;
    view.ClearYear();
    view.Year = year;
    view.Legend = session.legendSide().entries;
    FillYearPlanning(view, query, session.ctx, year, personId, projectId);
    // A new day-number flag lays the view out again by itself: draw once.
    if (view.ShowDayNumber() != session.ctx.showDayNumber)
        view.setShowDayNumber(session.ctx.showDayNumber);
    else
        view.Relayout(false);
}

void LoadMonthPlanning(TMonthlyGraphicPlanning& view, db::Dataset& query, const PlanningSession& session, int year,
                       int month, int objectRows, int selectedRow)
{
    ui::HourglassCursor wait;
    view.SetMonthDimensions(objectRows, 12, 31, 2);
    view.Year = year;
    view.Month = month;
    const QStringList& objects = session.objectSide().entries;
    view.Legend = session.legendSide().entries;
    FillMonthPlanning(view, query, session.ctx, objects, view.Legend, year, month);
    view.ObjectCount = static_cast<int>(objects.size());
    view.setRowCount(objectRows);
    view.setRow(selectedRow);
    if (view.ShowDayNumber() != session.ctx.showDayNumber)
        view.setShowDayNumberQuietly(session.ctx.showDayNumber);
    view.Relayout();
}

void LoadPlanning(TAnnualGraphicPlanning& annual, TMonthlyGraphicPlanning& monthly, db::Dataset& query,
                  const PlanningSession& session, int objectRows, int selectedRow)
{
    const PlanningContext& ctx = session.ctx;
    if (ctx.planningType == 0)
        LoadYearPlanning(annual, query, session, ctx.year, ctx.personId, ctx.projectId);
    else if (ctx.planningType == 1)
        LoadMonthPlanning(monthly, query, session, ctx.year, ctx.month, objectRows, selectedRow);
}

namespace {

bool reportSaveFailure(const db::DbError& e, QWidget* parent)
{
    ui::showError(QStringLiteral("Le planning n'a pas pu être enregistré : les demi-journées modifiées le seront "
                                 "au prochain relâchement de la souris.\r\r")
                      + e.message(),
                  parent);
    return false;
}

}  // namespace

bool SaveAnnualEdit(TAnnualGraphicPlanning& view, db::Dataset& query, const PlanningContext& ctx, QWidget* parent)
{
    try {
        ui::HourglassCursor wait;
        SaveAnnualPlanning(view, query, ctx);
    } catch (const db::DbError& e) {
        return reportSaveFailure(e, parent);
    }
    return true;
}

bool SaveMonthlyEdit(TMonthlyGraphicPlanning& view, db::Dataset& query, const PlanningSession& session, QWidget* parent)
{
    try {
        ui::HourglassCursor wait;
        SaveMonthlyPlanning(view, query, session.ctx, session.objectSide().entries, view.RowCount());
    } catch (const db::DbError& e) {
        return reportSaveFailure(e, parent);
    }
    return true;
}

}  // namespace planning
