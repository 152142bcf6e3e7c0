// Report preparation and page drawing on the large dossier of
// BigDossierFixture.h, with the templates shipped in the program directory.
#include "BigDossierFixture.h"
#include "core/Clock.h"
#include "core/Globals.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "planning/PlanningViews.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "printing/TDataModuleReport.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr int kPersons = 500;

struct Fixture {
    db::Connection connection;
    db::Dataset query;
    planning::PlanningSession session;
    planning::TMonthlyGraphicPlanning month;
    std::unique_ptr<printing::TDataModuleReport> module;

    Fixture()
    {
        connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=")
                                       + BigDossierFixturePath());
        connection.open();
        query.setConnection(&connection);
        session.ctx.dossierId = 1;
        session.ctx.year = 2021;
        session.ctx.month = 6;
        session.ctx.orientation = 0;
        session.persons.entries = entries(QStringLiteral("SELECT * FROM PEOPLE WHERE Id_File=1 ORDER BY Name"), true);
        session.projects.entries =
            entries(QStringLiteral("SELECT * FROM PROJECT WHERE Id_File=1 ORDER BY Title"), false);
        month.resize(1600, 900);
        planning::LoadMonthPlanning(month, query, session, 2021, 6, kPersons, 0);
        module = std::make_unique<printing::TDataModuleReport>(connection);
    }

    QStringList entries(const QString& sql, bool persons)
    {
        QStringList out;
        db::Dataset q(&connection);
        q.setSQL({sql});
        q.Open();
        for (; !q.Eof(); q.Next())
            out << planning::MakeEntry(
                q.FieldByName(QStringLiteral("Id")).AsInteger(), q.FieldByName(QStringLiteral("PenColor")).AsInteger(),
                q.FieldByName(QStringLiteral("BrushColor")).AsInteger(),
                q.FieldByName(QStringLiteral("BrushStyle")).AsInteger(),
                q.FieldByName(persons ? QStringLiteral("Name") : QStringLiteral("Title")).AsString(), {});
        return out;
    }

    printing::MonthSource monthSource() const
    {
        return {&month, true, month.firstWeekday(), month.days(), printing::RowIdsOf(session.persons.entries)};
    }

    // Prepares the monthly planning; answers its page count.
    int prepareMonthly()
    {
        int pages = 0;
        module->PrintMonthlyPlanning(session.ctx, monthSource(), QStringLiteral("Planning Juin 2021"),
                                     [&](report::Report& r) { pages = r.prepared().pageCount(); });
        return pages;
    }
    int preparePersonList()
    {
        int pages = 0;
        module->PrintPersonList(1, [&](report::Report& r) { pages = r.prepared().pageCount(); });
        return pages;
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

// 500 month strips drawn and written through TEMP, pages laid out.
void BM_ReportMonthly500(benchmark::State& state)
{
    Fixture& f = fixture();
    int pages = 0;
    for (auto _ : state)
        pages = f.prepareMonthly();
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ReportMonthly500)->Unit(benchmark::kMillisecond);

void BM_ReportPersonList500(benchmark::State& state)
{
    Fixture& f = fixture();
    int pages = 0;
    for (auto _ : state)
        pages = f.preparePersonList();
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ReportPersonList500)->Unit(benchmark::kMillisecond);

// One prepared page drawn at page width: arg 0 the monthly planning's first
// page, 1 the person list's; the second arg the width in pixels (the preview
// window as it opens, and maximised on a 1920-pixel screen).
void BM_ReportPageRender(benchmark::State& state)
{
    Fixture& f = fixture();
    state.range(0) == 0 ? f.prepareMonthly() : f.preparePersonList();
    const report::PreparedReport& prepared = f.module->prepared();
    const int width = static_cast<int>(state.range(1));
    for (auto _ : state) {
        const QImage page = prepared.pageImage(0, width);
        benchmark::DoNotOptimize(page.constBits());
    }
}
BENCHMARK(BM_ReportPageRender)
    ->Args({0, 600})
    ->Args({0, 1900})
    ->Args({1, 600})
    ->Args({1, 1900})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    core::setClock([] { return QDateTime(QDate(2021, 6, 15), QTime(10, 0)); });
    core::setProgramDirectory(QStringLiteral(PLANNING_DIST_DIR));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
