// Planning speed on a large dossier: 500 persons, 200 projects, every
// half-day of every person assigned from 2016 to 2025 (3.65 million rows).
// The fixture is built once and kept beside the benchmark for later runs.
#include "core/Clock.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Schema.h"
#include "planning/AnnualRenderer.h"
#include "planning/MonthRenderer.h"
#include "planning/PlanningLoader.h"
#include "planning/PlanningViews.h"
#include "planning/PlanningWriter.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

namespace {

constexpr int kPersons = 500;
constexpr int kProjects = 200;

QString fixturePath()
{
    static const QString path = [] {
        const QString p = QCoreApplication::applicationDirPath() + QStringLiteral("/planning-fixture-v2.mdb");
        if (QFile::exists(p))
            return p;
        const QString part = p + QStringLiteral(".building");
        QFile::remove(part);
        db::CreateDatabaseFile(part);
        sqlite3* h = nullptr;
        sqlite3_open(QFile::encodeName(part).constData(), &h);
        sqlite3_exec(h, "PRAGMA synchronous=OFF; PRAGMA journal_mode=OFF; BEGIN", nullptr, nullptr, nullptr);
        sqlite3_exec(h, "INSERT INTO PROFILES (ID, LoginName, PlanningMode) VALUES (1, 'Grand dossier', 0)", nullptr,
                     nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h,
                           "INSERT INTO PEOPLE (Id, Id_File, Name, PenColor, BrushColor, BrushStyle) VALUES (?1, 1, "
                           "'Personne ' || ?1, ?2, 0, ?1 % 8)",
                           -1, &st, nullptr);
        for (int i = 1; i <= kPersons; ++i) {
            sqlite3_bind_int(st, 1, i);
            sqlite3_bind_int(st, 2, (i * 2654435) & 0xFFFFFF);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_prepare_v2(h,
                           "INSERT INTO PROJECT (Id, Id_File, Title, PenColor, BrushColor, BrushStyle) VALUES (?1, 1, "
                           "'Projet ' || ?1, ?2, 16777215, ?1 % 8)",
                           -1, &st, nullptr);
        for (int i = 1; i <= kProjects; ++i) {
            sqlite3_bind_int(st, 1, i);
            sqlite3_bind_int(st, 2, (i * 7919 * 977) & 0xFFFFFF);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        // Without the indexes while filling, then built once.
        sqlite3_exec(h, "DROP INDEX IX_PLANNING_PEOPLE; DROP INDEX IX_PLANNING_PROJECT; DROP INDEX IX_PLANNING_MONTH",
                     nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(h, "INSERT INTO PLANNING VALUES (1, ?1, ?2, ?3, ?4)", -1, &st, nullptr);
        for (QDate d(2016, 1, 1); d < QDate(2026, 1, 1); d = d.addDays(1)) {
            const QByteArray date = d.toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
            for (int person = 1; person <= kPersons; ++person) {
                for (int half = 1; half <= 2; ++half) {
                    sqlite3_bind_int(st, 1, person);
                    sqlite3_bind_int(st, 2, (person + d.day() + half) % kProjects + 1);
                    sqlite3_bind_text(st, 3, date.constData(), static_cast<int>(date.size()), SQLITE_STATIC);
                    sqlite3_bind_int(st, 4, half);
                    sqlite3_step(st);
                    sqlite3_reset(st);
                }
            }
        }
        sqlite3_finalize(st);
        sqlite3_exec(h,
                     "CREATE INDEX IX_PLANNING_PEOPLE ON PLANNING (Id_File, Id_People, DatePlanning);"
                     "CREATE INDEX IX_PLANNING_PROJECT ON PLANNING (Id_File, Id_Project, DatePlanning);"
                     "CREATE INDEX IX_PLANNING_MONTH ON PLANNING (Id_File, DatePlanning, AmPm, Id_People, Id_Project);"
                     "COMMIT; ANALYZE;"
                     "PRAGMA journal_mode=DELETE",
                     nullptr, nullptr, nullptr);
        sqlite3_close(h);
        QFile::rename(part, p);
        return p;
    }();
    return path;
}

struct Fixture {
    db::Connection connection;
    db::Dataset query;
    QStringList persons, projects;
    planning::PlanningContext ctx;

    planning::PlanningSession session() const
    {
        planning::PlanningSession s;
        s.ctx = ctx;
        s.persons.entries = persons;
        s.projects.entries = projects;
        return s;
    }

    Fixture()
    {
        connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + fixturePath());
        connection.open();
        query.setConnection(&connection);
        db::Dataset q(&connection);
        q.setSQL({QStringLiteral("SELECT * FROM PEOPLE WHERE Id_File=1 ORDER BY Name")});
        q.Open();
        for (; !q.Eof(); q.Next())
            persons << planning::MakeEntry(q.FieldByName(QStringLiteral("Id")).AsInteger(),
                                           q.FieldByName(QStringLiteral("PenColor")).AsInteger(), 0,
                                           q.FieldByName(QStringLiteral("BrushStyle")).AsInteger(),
                                           q.FieldByName(QStringLiteral("Name")).AsString(), {});
        q.Close();
        q.setSQL({QStringLiteral("SELECT * FROM PROJECT WHERE Id_File=1 ORDER BY Title")});
        q.Open();
        for (; !q.Eof(); q.Next())
            projects << planning::MakeEntry(q.FieldByName(QStringLiteral("Id")).AsInteger(),
                                            q.FieldByName(QStringLiteral("PenColor")).AsInteger(), 16777215,
                                            q.FieldByName(QStringLiteral("BrushStyle")).AsInteger(),
                                            q.FieldByName(QStringLiteral("Title")).AsString(), {});
        q.Close();
        ctx.dossierId = 1;
        ctx.personId = 250;
        ctx.year = 2021;
        ctx.month = 6;
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_LoadYearPlanning(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::AnnualModel year;
    for (auto _ : state) {
        year.ClearYear();
        planning::FillYearPlanning(year, f.query, f.ctx, 2021, 250, -1);
    }
}
BENCHMARK(BM_LoadYearPlanning)->Unit(benchmark::kMillisecond);

void BM_LoadMonthPlanning(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::MonthModel month;
    for (auto _ : state) {
        month.cells.SetMonthDimensions(kPersons, 12, 31, 2);
        planning::FillMonthPlanning(month, f.query, f.ctx, f.persons, f.projects, 2021, 6);
    }
    state.counters["cells_MB"] = static_cast<double>(month.cells.memoryBytes()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_LoadMonthPlanning)->Unit(benchmark::kMillisecond);

void BM_SaveAnnualDrag(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::AnnualModel year;
    year.Year = 2021;
    planning::FillYearPlanning(year, f.query, f.ctx, 2021, 250, -1);
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (int i = 0; i < 60; ++i) {
            const int month = 1 + i / 30;
            const int day = 1 + (i % 30) / 2 * 2;
            year.SetYearCell(month, day, 1 + i % 2, 1 + (round + i) % kProjects, 255, 0, planning::bsClear);
            year.cells.cell(month, day, 1 + i % 2).Modified = 1;
        }
        planning::SaveAnnualPlanning(year, f.query, f.ctx);
    }
}
BENCHMARK(BM_SaveAnnualDrag)->Unit(benchmark::kMillisecond);

void BM_AnnualHover(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::TAnnualGraphicPlanning view;
    view.resize(1600, 900);
    view.show();
    planning::LoadYearPlanning(view, f.query, f.session(), 2021, 250, -1);
    // Half of the year empty, so the hover has cells to repaint.
    for (int m = 7; m <= 12; ++m)
        for (int d = 1; d <= 31; ++d)
            for (int h = 1; h <= 2; ++h)
                view.cells.cell(m, d, h).Id = -1;
    view.Relayout(true);
    int i = 0;
    for (auto _ : state) {
        const QPointF pos(100 + (i++ % 30) * 40, 500);
        QMouseEvent e(QEvent::MouseMove, pos, view.mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &e);
    }
}
BENCHMARK(BM_AnnualHover)->Unit(benchmark::kMillisecond);

void BM_MonthlyPaint(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::TMonthlyGraphicPlanning view;
    view.resize(1600, 900);
    view.show();
    planning::LoadMonthPlanning(view, f.query, f.session(), 2021, 6, kPersons, 0);
    for (auto _ : state)
        view.RepaintGrid();
}
BENCHMARK(BM_MonthlyPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    core::setClock([] { return QDateTime(QDate(2021, 6, 15), QTime(10, 0)); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
