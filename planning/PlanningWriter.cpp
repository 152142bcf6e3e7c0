#include "planning/PlanningWriter.h"

#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DbError.h"
#include "planning/AnnualRenderer.h"
#include "planning/MonthRenderer.h"
#include "planning/PlanningPaint.h"

#include <vector>

namespace planning {

namespace {

// Writes one half-day's row; the object id is the person (orientation 0) or
// the project (orientation 1), legendId the other side (-1 when erased). Every
// row of the half-day is updated, so that a half-day stored twice (as older
// files may hold) shows what was painted, whichever row the loader keeps.
void writeHalfDay(db::Connection& c, const PlanningContext& ctx, int objectId, const QDate& date, int half,
                  int legendId)
{
    const QString objectColumn = ctx.orientation == 0 ? QStringLiteral("Id_People") : QStringLiteral("Id_Project");
    const QString legendColumn = ctx.orientation == 0 ? QStringLiteral("Id_Project") : QStringLiteral("Id_People");
    const QString day = date.toString(QStringLiteral("yyyy-MM-dd"));
    const int updated =
        c.exec(QStringLiteral("UPDATE PLANNING SET ") + legendColumn + QStringLiteral("=? WHERE Id_File=? AND ")
                   + objectColumn + QStringLiteral("=? AND AmPm=? AND DatePlanning=?"),
               {legendId, ctx.dossierId, objectId, half, day});
    if (updated > 0)
        return;
    const int people = ctx.orientation == 0 ? objectId : legendId;
    const int project = ctx.orientation == 0 ? legendId : objectId;
    c.exec(QStringLiteral(
               "INSERT INTO PLANNING (Id_File, Id_People, Id_Project, DatePlanning, AmPm) VALUES (?, ?, ?, ?, ?)"),
           {ctx.dossierId, people, project, day, half});
}

// Runs the writes in one transaction; the flags are cleared after the commit.
int saveCells(db::Dataset& query, const std::vector<HalfDayCell*>& modified, const std::function<void(size_t)>& write)
{
    if (modified.empty())
        return 0;
    db::Connection* c = query.connection();
    if (!c)
        throw db::DbError(QStringLiteral("La connexion à la base de données est fermée."));
    {
        db::Transaction transaction(*c);
        for (size_t i = 0; i < modified.size(); ++i)
            write(i);
        transaction.commit();
    }
    for (HalfDayCell* cell : modified)
        cell->Modified = 0;
    return static_cast<int>(modified.size());
}

}  // namespace

int SaveAnnualPlanning(AnnualModel& year, db::Dataset& query, const PlanningContext& ctx)
{
    struct Pending {
        int month, day, half;
    };
    std::vector<HalfDayCell*> modified;
    std::vector<Pending> where;
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= 31; ++d) {
            for (int h = 1; h <= 2; ++h) {
                HalfDayCell& c = year.cells.cell(m, d, h);
                if (c.Modified != 1 || !QDate::isValid(year.Year, m, d))
                    continue;
                modified.push_back(&c);
                where.push_back({m, d, h});
            }
        }
    }
    const int objectId = ctx.orientation == 0 ? ctx.personId : ctx.projectId;
    try {
        return saveCells(query, modified, [&](size_t i) {
            writeHalfDay(*query.connection(), ctx, objectId, QDate(year.Year, where[i].month, where[i].day),
                         where[i].half, modified[i]->Id);
        });
    } catch (...) {
        query.Close();
        throw;
    }
}

int SaveMonthlyPlanning(MonthModel& month, db::Dataset& query, const PlanningContext& ctx, const QStringList& objects,
                        int rowCount)
{
    struct Pending {
        int row, day, half;
    };
    std::vector<HalfDayCell*> modified;
    std::vector<Pending> where;
    const int days = DaysInMonth(month.Year, ctx.month);
    for (int r = 0; r < rowCount; ++r) {
        for (int d = 1; d <= days; ++d) {
            for (int h = 1; h <= 2; ++h) {
                if (!month.cells.contains(r, ctx.month, d, h))
                    continue;
                HalfDayCell& c = month.cells.cell(r, ctx.month, d, h);
                if (c.Modified != 1)
                    continue;
                modified.push_back(&c);
                where.push_back({r, d, h});
            }
        }
    }
    try {
        return saveCells(query, modified, [&](size_t i) {
            writeHalfDay(*query.connection(), ctx, EntryId(objects, where[i].row),
                         QDate(month.Year, ctx.month, where[i].day), where[i].half, modified[i]->Id);
        });
    } catch (...) {
        query.Close();
        throw;
    }
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
