#include "planning/PlanningViews.h"

#include "db/DbError.h"
#include "planning/PlanningLoader.h"
#include "planning/PlanningUndo.h"
#include "planning/PlanningWriter.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"

#include <QHash>

namespace planning {

void LoadYearPlanning(TAnnualGraphicPlanning& view, db::Dataset& query, const PlanningSession& session, int year,
                      int personId, int projectId)
{
    ui::HourglassCursor wait;
    // A selection belongs to the half-days it was made on.
    view.clearSelection();
    view.ClearYear();
    view.Year = year;
    view.Legend = session.legendSide().entries;
    view.DaysOff = NonWorkingDaysShown(session.holidays, year, view.DaysOff);
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
    view.clearSelection();
    view.SetMonthDimensions(objectRows, 12, 31, 2);
    view.Year = year;
    view.Month = month;
    const QStringList& objects = session.objectSide().entries;
    view.Legend = session.legendSide().entries;
    view.DaysOff = NonWorkingDaysShown(session.holidays, year, view.DaysOff);
    view.ObjectLabels.clear();
    for (const QString& entry : objects)
        view.ObjectLabels << EntryField(entry, 4);
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

bool SaveAnnualEdit(TAnnualGraphicPlanning& view, PlanningUndo& undo, const PlanningContext& ctx, QWidget* parent)
{
    try {
        ui::HourglassCursor wait;
        std::vector<HalfDayChange> changes =
            ModifiedYearHalfDays(view, ctx.orientation == 0 ? ctx.personId : ctx.projectId);
        if (changes.empty())
            return true;
        undo.record(std::move(changes));
        MarkYearSaved(view);
    } catch (const db::DbError& e) {
        return reportSaveFailure(e, parent);
    }
    return true;
}

bool SaveMonthlyEdit(TMonthlyGraphicPlanning& view, PlanningUndo& undo, const PlanningSession& session, QWidget* parent)
{
    try {
        ui::HourglassCursor wait;
        std::vector<HalfDayChange> changes =
            ModifiedMonthHalfDays(view, session.ctx.month, session.objectSide().entries, view.RowCount());
        if (changes.empty())
            return true;
        undo.record(std::move(changes));
        MarkMonthSaved(view, session.ctx.month, view.RowCount());
    } catch (const db::DbError& e) {
        return reportSaveFailure(e, parent);
    }
    return true;
}

namespace {

struct LegendPaint {
    bool found = false;
    quint32 pen = 0, brush = 0;
    quint8 style = bsSolid;
};

// The colours of legend entries by id: the ids are read once, the colours
// of an entry only when a half-day takes them.
class LegendPaints {
public:
    explicit LegendPaints(const QStringList& legend) : m_legend(legend)
    {
        for (int i = 0; i < legend.size(); ++i) {
            const int id = EntryId(legend, i);
            if (id >= 0 && !m_index.contains(id))
                m_index.insert(id, i);
        }
    }
    const LegendPaint& of(int id)
    {
        auto it = m_paints.find(id);
        if (it != m_paints.end())
            return *it;
        LegendPaint paint;
        const auto index = m_index.constFind(id);
        if (index != m_index.constEnd()) {
            const QString& e = m_legend.at(*index);
            paint = {true, EntryField(e, 1).toUInt(), EntryField(e, 2).toUInt(),
                     DecodeBrushStyle(EntryField(e, 3).toInt())};
        }
        return *m_paints.insert(id, paint);
    }

private:
    const QStringList& m_legend;
    QHash<int, int> m_index;
    QHash<int, LegendPaint> m_paints;
};

// The cell as a load gives it: the legend entry's colours, or empty when
// the id has no entry.
void setCell(HalfDayCell& cell, int id, LegendPaints& paints)
{
    cell.Modified = 0;
    if (id < 0) {
        cell.Id = -1;
        return;
    }
    const LegendPaint& paint = paints.of(id);
    if (!paint.found) {
        cell.Id = -1;
        return;
    }
    cell.Id = id;
    cell.PenColor = paint.pen;
    cell.BrushColor = paint.brush;
    cell.Style = paint.style;
}

}  // namespace

void ShowHalfDays(TAnnualGraphicPlanning& annual, TMonthlyGraphicPlanning& monthly, const PlanningSession& session,
                  const std::vector<HalfDayChange>& changes, bool after)
{
    const PlanningContext& ctx = session.ctx;
    if (ctx.planningType == 0) {
        const int object = ctx.orientation == 0 ? ctx.personId : ctx.projectId;
        LegendPaints paints(annual.Legend);
        std::vector<YearHit> shown;
        for (const HalfDayChange& c : changes) {
            const QDate date = c.date();
            if (c.objectId != object || date.year() != annual.Year)
                continue;
            setCell(annual.cells.cell(date.month(), date.day(), c.half), after ? c.after : c.before, paints);
            shown.push_back({date.month(), date.day(), c.half});
        }
        annual.redrawHalfDays(shown);
    } else if (ctx.planningType == 1 && monthly.cells.dimensionsSet()) {
        const QStringList& objects = session.objectSide().entries;
        QHash<int, int> rowOf;
        for (int r = 0; r < objects.size(); ++r)
            rowOf.insert(EntryId(objects, r), r);
        LegendPaints paints(monthly.Legend);
        std::vector<TMonthlyGraphicPlanning::Hit> shown;
        for (const HalfDayChange& c : changes) {
            const QDate date = c.date();
            const auto row = rowOf.constFind(c.objectId);
            if (row == rowOf.constEnd() || date.year() != monthly.Year || date.month() != monthly.Month
                || !monthly.cells.contains(*row, monthly.Month, date.day(), c.half))
                continue;
            setCell(monthly.cells.cell(*row, monthly.Month, date.day(), c.half), after ? c.after : c.before, paints);
            shown.push_back({*row, date.day(), c.half});
        }
        monthly.redrawHalfDays(shown);
    }
}

void RecordHalfDays(PlanningUndo& undo, TAnnualGraphicPlanning& annual, TMonthlyGraphicPlanning& monthly,
                    const PlanningSession& session, std::vector<HalfDayChange> changes)
{
    if (changes.empty())
        return;
    ui::HourglassCursor wait;
    std::vector<HalfDayChange> shown = changes;
    undo.record(std::move(changes));
    ShowHalfDays(annual, monthly, session, shown, true);
}

}  // namespace planning
