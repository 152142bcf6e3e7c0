// Planning speed on the large dossier of BigDossierFixture.h.
#include "BigDossierFixture.h"
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
    return BigDossierFixturePath();
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
