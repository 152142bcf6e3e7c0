#include "planning/PlanningWriter.h"

#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DbError.h"
#include "planning/AnnualRenderer.h"
#include "planning/MonthRenderer.h"
#include "planning/PlanningPaint.h"

#include <QSqlError>
#include <QSqlQuery>

#include <vector>

namespace planning {

namespace {

void prepare(QSqlQuery& q, const QString& sql)
{
    if (!q.prepare(sql))
        throw db::DbError(db::sqlErrorText(q.lastError()));
}

void run(QSqlQuery& q)
{
    if (!q.exec())
        throw db::DbError(db::sqlErrorText(q.lastError()));
}

}  // namespace

void WriteHalfDays(db::Connection& c, int dossierId, int orientation, const std::vector<HalfDayChange>& changes,
                   bool after)
{
    if (changes.empty())
        return;
    if (!c.isOpen())
        throw db::DbError(QStringLiteral("La connexion à la base de données est fermée."));
    const QString objectColumn = orientation == 0 ? QStringLiteral("Id_People") : QStringLiteral("Id_Project");
    const QString legendColumn = orientation == 0 ? QStringLiteral("Id_Project") : QStringLiteral("Id_People");
    db::Transaction transaction(c);
    {
        QSqlQuery update(c.database());
        QSqlQuery insert(c.database());
        prepare(update,
                QStringLiteral("UPDATE PLANNING SET ") + legendColumn + QStringLiteral("=? WHERE Id_File=? AND ")
                    + objectColumn + QStringLiteral("=? AND AmPm=? AND DatePlanning=?"));
        prepare(insert,
                QStringLiteral("INSERT INTO PLANNING (Id_File, Id_People, Id_Project, DatePlanning, AmPm) "
                               "VALUES (?, ?, ?, ?, ?)"));
        for (const HalfDayChange& change : changes) {
            const int legendId = after ? change.after : change.before;
            const QString day = change.date().toString(Qt::ISODate);
            update.bindValue(0, legendId);
            update.bindValue(1, dossierId);
            update.bindValue(2, change.objectId);
            update.bindValue(3, static_cast<int>(change.half));
            update.bindValue(4, day);
            run(update);
            if (update.numRowsAffected() > 0)
                continue;
            insert.bindValue(0, dossierId);
            insert.bindValue(1, orientation == 0 ? change.objectId : legendId);
            insert.bindValue(2, orientation == 0 ? legendId : change.objectId);
            insert.bindValue(3, day);
            insert.bindValue(4, static_cast<int>(change.half));
            run(insert);
        }
    }
    transaction.commit();
}

std::vector<HalfDayChange> ModifiedYearHalfDays(const AnnualModel& year, int objectId)
{
    std::vector<HalfDayChange> changes;
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= 31; ++d) {
            for (int h = 1; h <= 2; ++h) {
                const HalfDayCell& c = year.cells.cell(m, d, h);
                if (c.Modified != 1 || !QDate::isValid(year.Year, m, d))
                    continue;
                changes.push_back({objectId, static_cast<qint32>(QDate(year.Year, m, d).toJulianDay()),
                                   year.pending.before(AnnualModel::YearKey(m, d, h), c.Id), c.Id,
                                   static_cast<qint8>(h)});
            }
        }
    }
    return changes;
}

std::vector<HalfDayChange> ModifiedMonthHalfDays(const MonthModel& month, int monthValue, const QStringList& objects,
                                                 int rowCount)
{
    std::vector<HalfDayChange> changes;
    if (monthValue < 1 || monthValue > 12)
        return changes;
    const int days = DaysInMonth(month.Year, monthValue);
    const qint32 first = static_cast<qint32>(QDate(month.Year, monthValue, 1).toJulianDay());
    for (int r = 0; r < rowCount; ++r) {
        for (int d = 1; d <= days; ++d) {
            for (int h = 1; h <= 2; ++h) {
                if (!month.cells.contains(r, monthValue, d, h))
                    continue;
                const HalfDayCell& c = month.cells.cell(r, monthValue, d, h);
                if (c.Modified != 1)
                    continue;
                changes.push_back({EntryId(objects, r), first + d - 1,
                                   month.pending.before(MonthModel::MonthKey(r, monthValue, d, h), c.Id), c.Id,
                                   static_cast<qint8>(h)});
            }
        }
    }
    return changes;
}

void MarkYearSaved(AnnualModel& year)
{
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= 31; ++d)
            for (int h = 1; h <= 2; ++h)
                year.cells.cell(m, d, h).Modified = 0;
    year.pending.clear();
}

void MarkMonthSaved(MonthModel& month, int monthValue, int rowCount)
{
    const int days = monthValue >= 1 && monthValue <= 12 ? DaysInMonth(month.Year, monthValue) : 0;
    for (int r = 0; r < rowCount; ++r)
        for (int d = 1; d <= days; ++d)
            for (int h = 1; h <= 2; ++h)
                if (month.cells.contains(r, monthValue, d, h))
                    month.cells.cell(r, monthValue, d, h).Modified = 0;
    month.pending.clear();
}

namespace {

db::Connection& connectionOf(db::Dataset& query)
{
    db::Connection* c = query.connection();
    if (!c)
        throw db::DbError(QStringLiteral("La connexion à la base de données est fermée."));
    return *c;
}

}  // namespace

int SaveAnnualPlanning(AnnualModel& year, db::Dataset& query, const PlanningContext& ctx)
{
    const std::vector<HalfDayChange> changes =
        ModifiedYearHalfDays(year, ctx.orientation == 0 ? ctx.personId : ctx.projectId);
    if (changes.empty())
        return 0;
    try {
        WriteHalfDays(connectionOf(query), ctx.dossierId, ctx.orientation, changes, true);
    } catch (...) {
        query.Close();
        throw;
    }
    MarkYearSaved(year);
    return static_cast<int>(changes.size());
}

int SaveMonthlyPlanning(MonthModel& month, db::Dataset& query, const PlanningContext& ctx, const QStringList& objects,
                        int rowCount)
{
    const std::vector<HalfDayChange> changes = ModifiedMonthHalfDays(month, ctx.month, objects, rowCount);
    if (changes.empty())
        return 0;
    try {
        WriteHalfDays(connectionOf(query), ctx.dossierId, ctx.orientation, changes, true);
    } catch (...) {
        query.Close();
        throw;
    }
    MarkMonthSaved(month, ctx.month, rowCount);
    return static_cast<int>(changes.size());
}

QString HoverHintText(int day, int month, int half, int year)
{
    if (month < 1 || month > 12 || day <= 0 || day > DaysInMonth(year, month))
        return {};
    const QDate date(year, month, day);
    QString text = WeekdayName(date.dayOfWeek()) + QLatin1Char(' ') + QString::number(day) + QLatin1Char(' ')
        + MonthName(month) + QLatin1Char(' ') + QString::number(year);
    if (half == 1)
        text += QStringLiteral(" (Matinée)");
    else if (half == 2)
        text += QStringLiteral(" (Après-Midi)");
    return text;
}

QString MiddleBarCaption(int day, int month, int half, int year)
{
    return HoverHintText(day, month, half, year) + QLatin1Char(' ');
}

}  // namespace planning
