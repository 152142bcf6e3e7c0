#include "planning/PlanningLoader.h"

#include "db/Dataset.h"
#include "planning/AnnualRenderer.h"
#include "planning/MonthRenderer.h"

#include <QHash>

#include <functional>

namespace planning {

namespace {

QString isoDate(int year, int month, int day)
{
    return QDate(year, month, day).toString(QStringLiteral("yyyy-MM-dd"));
}

// Columns read by both loaders, in this order.
QStringList planningSelect(const PlanningContext& ctx)
{
    const bool persons = ctx.orientation == 0;
    const QString legend = persons ? QStringLiteral("PROJECT") : QStringLiteral("PEOPLE");
    return {QStringLiteral("SELECT PLANNING.DatePlanning, PLANNING.AmPm, PLANNING.Id_People, PLANNING.Id_Project, ")
                + legend + QStringLiteral(".PenColor, ") + legend + QStringLiteral(".BrushColor, ") + legend
                + QStringLiteral(".BrushStyle"),
            persons ? QStringLiteral("FROM PLANNING LEFT JOIN PROJECT ON PLANNING.Id_Project = PROJECT.Id")
                    : QStringLiteral("FROM PLANNING LEFT JOIN PEOPLE ON PLANNING.Id_People = PEOPLE.Id")};
}

struct PlanningRow {
    int month = 0, day = 0, half = 0, people = 0, project = 0;
    quint32 pen = 0, brush = 0;
    int style = 0;
};

// Reads the current row; false when a skip rule applies.
bool readRow(db::Dataset& q, PlanningRow& r)
{
    if (q.FieldAt(4).IsNull())
        return false;
    r.half = q.FieldAt(1).AsInteger();
    r.people = q.FieldAt(2).AsInteger();
    r.project = q.FieldAt(3).AsInteger();
    if (r.people == -1 || r.project == -1 || r.half == -1)
        return false;
    const QString date = q.FieldAt(0).AsString();
    // ISO text "yyyy-mm-dd" (a time part may follow).
    r.month = QStringView(date).mid(5, 2).toInt();
    r.day = QStringView(date).mid(8, 2).toInt();
    r.pen = static_cast<quint32>(q.FieldAt(4).Value().toLongLong());
    r.brush = static_cast<quint32>(q.FieldAt(5).Value().toLongLong());
    r.style = q.FieldAt(6).AsInteger();
    return true;
}

// Runs the query and hands every row that passes the skip rules to take.
void forEachPlanningRow(db::Dataset& query, const QStringList& sql, const std::function<void(const PlanningRow&)>& take)
{
    query.Close();
    query.clearBindings();
    query.setSQL(sql);
    query.Open();
    PlanningRow r;
    while (!query.Eof()) {
        if (readRow(query, r))
            take(r);
        query.Next();
    }
    query.Close();
}

}  // namespace

const QStringList& LegendEntries(const PlanningContext& ctx, const QStringList& persons, const QStringList& projects)
{
    return ctx.orientation == 0 ? projects : persons;
}

const QStringList& ObjectEntries(const PlanningContext& ctx, const QStringList& persons, const QStringList& projects)
{
    return ctx.orientation == 0 ? persons : projects;
}

void FillYearPlanning(AnnualModel& year, db::Dataset& query, const PlanningContext& ctx, int yearValue, int personId,
                      int projectId)
{
    const QString filter = ctx.orientation == 0 ? QStringLiteral("PLANNING.Id_People=%1").arg(personId)
                                                : QStringLiteral("PLANNING.Id_Project=%1").arg(projectId);
    QStringList sql = planningSelect(ctx);
    sql << QStringLiteral("WHERE PLANNING.Id_File=%1 AND %2 AND PLANNING.DatePlanning >= '%3' AND "
                          "PLANNING.DatePlanning < '%4'")
               .arg(ctx.dossierId)
               .arg(filter, isoDate(yearValue, 1, 1), isoDate(yearValue + 1, 1, 1))
        << QStringLiteral("ORDER BY PLANNING.DatePlanning, PLANNING.rowid");
    forEachPlanningRow(query, sql, [&](const PlanningRow& r) {
        const int id = ctx.orientation == 0 ? r.project : r.people;
        year.SetYearCell(r.month, r.day, r.half, id, r.pen, r.brush, DecodeBrushStyle(r.style));
    });
}

void FillMonthPlanning(MonthModel& month, db::Dataset& query, const PlanningContext& ctx, const QStringList& objects,
                       int yearValue, int monthValue)
{
    QHash<int, int> rowOf;
    rowOf.reserve(objects.size());
    for (int i = 0; i < objects.size(); ++i) {
        const int id = EntryId(objects, i);
        if (!rowOf.contains(id))
            rowOf.insert(id, i);
    }
    const QDate first(yearValue, monthValue, 1);
    QStringList sql = planningSelect(ctx);
    sql << QStringLiteral(
               "WHERE PLANNING.Id_File=%1 AND PLANNING.DatePlanning >= '%2' AND PLANNING.DatePlanning < '%3'")
               .arg(ctx.dossierId)
               .arg(first.toString(QStringLiteral("yyyy-MM-dd")),
                    first.addMonths(1).toString(QStringLiteral("yyyy-MM-dd")))
        << QStringLiteral("ORDER BY PLANNING.DatePlanning, PLANNING.rowid");
    forEachPlanningRow(query, sql, [&](const PlanningRow& r) {
        const auto it = rowOf.constFind(ctx.orientation == 0 ? r.people : r.project);
        if (it == rowOf.constEnd())
            return;
        const int id = ctx.orientation == 0 ? r.project : r.people;
        month.SetMonthCell(it.value(), r.month, r.day, r.half, id, r.pen, r.brush, DecodeBrushStyle(r.style));
    });
}

}  // namespace planning
