#include "planning/PlanningLoader.h"

#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DbError.h"
#include "db/RowReader.h"
#include "planning/AnnualRenderer.h"
#include "planning/MonthRenderer.h"

#include <QHash>

#include <functional>
#include <vector>

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

// The number of two digits at `at` of an ISO date "yyyy-mm-dd"; 0 when absent.
int twoDigits(QByteArrayView t, qsizetype at)
{
    if (t.size() < at + 2)
        return 0;
    const char a = t[at], b = t[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return 0;
    return (a - '0') * 10 + (b - '0');
}

// Reads a row; false when a skip rule applies.
bool readRow(const db::RowView& q, PlanningRow& r)
{
    if (q.isNull(4))
        return false;
    r.half = static_cast<int>(q.integer(1));
    r.people = static_cast<int>(q.integer(2));
    r.project = static_cast<int>(q.integer(3));
    if (r.people == -1 || r.project == -1 || r.half == -1)
        return false;
    // ISO text "yyyy-mm-dd" (a time part may follow).
    const QByteArrayView date = q.text(0);
    r.month = twoDigits(date, 5);
    r.day = twoDigits(date, 8);
    r.pen = static_cast<quint32>(q.integer(4));
    r.brush = static_cast<quint32>(q.integer(5));
    r.style = static_cast<int>(q.integer(6));
    return true;
}

// Runs the query on the shared query's connection, reading rows as they
// come, and hands every row that passes the skip rules to take. The shared
// query is left closed.
void forEachPlanningRow(db::Dataset& query, const QStringList& sql, const std::function<void(const PlanningRow&)>& take)
{
    query.Close();
    db::Connection* c = query.connection();
    if (!c)
        throw db::DbError(QStringLiteral("La connexion à la base de données est fermée."));
    PlanningRow r;
    db::ForEachRow(*c, sql.join(QLatin1Char('\n')), [&](const db::RowView& row) {
        if (readRow(row, r))
            take(r);
    });
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
                       const QStringList& legend, int yearValue, int monthValue)
{
    QHash<int, int> rowOf;
    rowOf.reserve(objects.size());
    for (int i = 0; i < objects.size(); ++i) {
        const int id = EntryId(objects, i);
        if (!rowOf.contains(id))
            rowOf.insert(id, i);
    }
    // The colours come from the legend entries, the dossier's legend-side
    // records: a half-day whose record is not among them is skipped, as
    // the join of the year loader skips a missing record.
    struct Paint {
        quint32 pen, brush;
        quint8 style;
    };
    QHash<int, Paint> paintOf;
    paintOf.reserve(legend.size());
    for (int i = 0; i < legend.size(); ++i) {
        const QString& e = legend.at(i);
        paintOf.insert(
            EntryId(legend, i),
            {EntryField(e, 1).toUInt(), EntryField(e, 2).toUInt(), DecodeBrushStyle(EntryField(e, 3).toInt())});
    }
    const QDate first(yearValue, monthValue, 1);
    const bool persons = ctx.orientation == 0;
    // Read from the covering date index alone, without ORDER BY: of two rows
    // for one half-day the later (higher rowid) wins below.
    const QStringList sql = {
        QStringLiteral("SELECT PLANNING.DatePlanning, PLANNING.AmPm, PLANNING.Id_People, PLANNING.Id_Project, "
                       "PLANNING.rowid"),
        QStringLiteral("FROM PLANNING"),
        QStringLiteral("WHERE PLANNING.Id_File=%1 AND PLANNING.DatePlanning >= '%2' AND PLANNING.DatePlanning < '%3'")
            .arg(ctx.dossierId)
            .arg(first.toString(QStringLiteral("yyyy-MM-dd")),
                 first.addMonths(1).toString(QStringLiteral("yyyy-MM-dd")))};
    std::vector<qint64> winner(static_cast<size_t>(objects.size()) * 32 * 3, 0);
    query.Close();
    db::Connection* c = query.connection();
    if (!c)
        throw db::DbError(QStringLiteral("La connexion à la base de données est fermée."));
    db::ForEachRow(*c, sql.join(QLatin1Char('\n')), [&](const db::RowView& row) {
        const int half = static_cast<int>(row.integer(1));
        const int people = static_cast<int>(row.integer(2));
        const int project = static_cast<int>(row.integer(3));
        if (people == -1 || project == -1 || half < 1 || half > 2)
            return;
        const auto objectRow = rowOf.constFind(persons ? people : project);
        const int id = persons ? project : people;
        const auto paint = paintOf.constFind(id);
        if (objectRow == rowOf.constEnd() || paint == paintOf.constEnd())
            return;
        const QByteArrayView date = row.text(0);
        const int day = twoDigits(date, 8);
        if (day < 1 || day > 31)
            return;
        qint64& best = winner[(static_cast<size_t>(objectRow.value()) * 32 + day) * 3 + half];
        const qint64 rowid = row.integer(4);
        if (rowid < best)
            return;
        best = rowid;
        month.SetMonthCell(objectRow.value(), twoDigits(date, 5), day, half, id, paint->pen, paint->brush,
                           paint->style);
    });
}

}  // namespace planning
