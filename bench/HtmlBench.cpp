// HTML page speed on the large dossier of BigDossierFixture.h, each object
// with a photo (thumbnail and full-size file), as users with photos have.
// The monthly page replaces some 2,000 files: on an ext4 without a journal
// every file creation then scans the recently deleted inodes, which costs
// more than the drawing; TMPDIR chooses the file system measured.
#include "BigDossierFixture.h"
#include "core/Clock.h"
#include "core/Globals.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "images/ImageRoutines.h"
#include "output/HtmlExport.h"
#include "output/HtmlPlanningPages.h"
#include "planning/AnnualRenderer.h"
#include "planning/MonthRenderer.h"
#include "planning/PlanningLoader.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Fixture {
    QTemporaryDir dir;
    db::Connection connection;
    db::Dataset query;
    QStringList persons, projects;
    planning::PlanningContext ctx;
    planning::MonthModel month;
    planning::AnnualModel year;

    Fixture()
    {
        core::Globals& g = core::globals();
        g.dataRoot = dir.path() + QStringLiteral("/");
        g.dataDir = g.dataRoot + QStringLiteral("Data/");
        QDir().mkpath(g.dataDir + QStringLiteral("Images"));
        // A copy, so that the photos do not change the shared fixture.
        const QString path = g.dataDir + QStringLiteral("PLANNING.MDB");
        QFile::copy(BigDossierFixturePath(), path);
        connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
        connection.open();
        query.setConnection(&connection);

        QImage photo(800, 600, QImage::Format_RGB888);
        for (int y = 0; y < photo.height(); ++y)
            for (int x = 0; x < photo.width(); ++x)
                photo.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
        const QString sample = g.dataRoot + QStringLiteral("photo.jpg");
        images::SaveBitmapAsJpeg(photo, sample, 90);
        const QByteArray thumbnail = images::BitmapFileBytes(images::MakeThumbnail(photo, 105, 105));
        connection.exec(QStringLiteral("UPDATE PEOPLE SET ImgMini1 = ?"), {thumbnail});
        connection.exec(QStringLiteral("UPDATE PROJECT SET ImgMini1 = ?"), {thumbnail});

        db::Dataset q(&connection);
        q.setSQL({QStringLiteral("SELECT * FROM PEOPLE WHERE Id_File=1 ORDER BY Name")});
        q.Open();
        for (; !q.Eof(); q.Next()) {
            const int id = q.FieldByName(QStringLiteral("Id")).AsInteger();
            QFile::copy(sample, g.dataDir + QStringLiteral("Images/People%1.jpg").arg(id));
            persons << planning::MakeEntry(id, q.FieldByName(QStringLiteral("PenColor")).AsInteger(), 0,
                                           q.FieldByName(QStringLiteral("BrushStyle")).AsInteger(),
                                           q.FieldByName(QStringLiteral("Name")).AsString(), {});
        }
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
        ctx.personId = persons.isEmpty() ? -1 : planning::EntryId(persons, 0);
        ctx.year = 2021;
        ctx.month = 6;
        ctx.showDayNumber = true;

        // The models as the views hold them when the command runs.
        month.SetMonthDimensions(static_cast<int>(persons.size()), 12, 31, 2);
        month.Year = ctx.year;
        month.Month = ctx.month;
        month.Legend = projects;
        planning::FillMonthPlanning(month, query, ctx, persons, projects, ctx.year, ctx.month);
        year.Year = ctx.year;
        year.Legend = projects;
        planning::FillYearPlanning(year, query, ctx, ctx.year, ctx.personId, -1);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_HtmlMonthlyPage500(benchmark::State& state)
{
    Fixture& f = fixture();
    f.ctx.planningType = 1;
    const QString title = output::PlanningPageTitle(f.ctx);
    for (auto _ : state)
        output::WriteMonthlyPlanningPage(f.query, output::HtmlWorkDirectory(), title, f.month, f.ctx, f.persons,
                                         f.projects);
    state.counters["objects"] = static_cast<double>(f.persons.size());
}
BENCHMARK(BM_HtmlMonthlyPage500)->Unit(benchmark::kMillisecond);

void BM_HtmlAnnualPage(benchmark::State& state)
{
    Fixture& f = fixture();
    f.ctx.planningType = 0;
    const QString title = output::PlanningPageTitle(f.ctx);
    for (auto _ : state)
        output::WriteAnnualPlanningPage(f.query, output::HtmlWorkDirectory(), title, f.year, f.ctx, f.ctx.personId,
                                        f.projects);
}
BENCHMARK(BM_HtmlAnnualPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // A fixed "today" inside the year shown, so that past half-days fade.
    core::setClock([] { return QDateTime(QDate(2021, 6, 15), QTime(10, 0)); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
