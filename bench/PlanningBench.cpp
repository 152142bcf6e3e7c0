// Planning speed on the large dossier of BigDossierFixture.h.
#include "BigDossierFixture.h"
#include "core/Clock.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Schema.h"
#include "planning/AnnualRenderer.h"
#include "planning/HalfDayBlock.h"
#include "planning/MonthRenderer.h"
#include "planning/PlanningLoader.h"
#include "planning/PlanningUndo.h"
#include "planning/PlanningViews.h"
#include "planning/PlanningWriter.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sqlite3.h>

#include <algorithm>

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

// Another project than id (1..kProjects, or -1 for none), so that every
// step changes what it touches, whatever an earlier run left.
int nextProject(int id, int round = 0)
{
    const int offset = 1 + round % (kProjects - 1);
    return (qMax(id, 1) - 1 + offset) % kProjects + 1;
}

// The 60 half-days of BM_SaveAnnualDrag as one step, with the projects that
// bench writes in that round: what each held and what it holds after.
std::vector<planning::HalfDayChange> annualDragStep(const planning::AnnualModel& year, int objectId, int round)
{
    std::vector<planning::HalfDayChange> changes;
    for (int i = 0; i < 60; ++i) {
        const int month = 1 + i / 30;
        const int day = 1 + (i % 30) / 2 * 2;
        const int half = 1 + i % 2;
        changes.push_back({objectId, static_cast<qint32>(QDate(year.Year, month, day).toJulianDay()),
                           year.cells.cell(month, day, half).Id, 1 + (round + i) % kProjects,
                           static_cast<qint8>(half)});
    }
    return changes;
}

// The annual view of person 250's 2021, shown as a user has it.
struct ShownYear {
    planning::TAnnualGraphicPlanning annual;
    planning::TMonthlyGraphicPlanning monthly;
    planning::PlanningSession session;
    planning::PlanningUndo undo;

    explicit ShownYear(Fixture& f) : session(f.session())
    {
        annual.resize(1600, 900);
        annual.show();
        planning::LoadYearPlanning(annual, f.query, session, 2021, 250, -1);
        undo.setDossier(&f.connection, 1, 0);
        undo.setDisplay([this](const std::vector<planning::HalfDayChange>& changes, bool after) {
            planning::ShowHalfDays(annual, monthly, session, changes, after);
        });
    }
};

// A history of kMaxSteps drags of 60 half-days, each starting from what the
// one before left, recorded before the timing starts; the view follows.
void recordHistory(ShownYear& shown)
{
    for (int round = 1; round <= planning::PlanningUndo::kMaxSteps; ++round) {
        std::vector<planning::HalfDayChange> step = annualDragStep(shown.annual, 250, round);
        for (const planning::HalfDayChange& c : step) {
            const QDate d = c.date();
            shown.annual.cells.cell(d.month(), d.day(), c.half).Id = c.after;
        }
        shown.undo.record(std::move(step));
    }
}

// Undo of the 60-half-day drag: one transaction, then the view shows it.
// One step per iteration, back to back as the saves of BM_SaveAnnualDrag.
void BM_UndoAnnualDrag(benchmark::State& state)
{
    Fixture& f = fixture();
    ShownYear shown(f);
    recordHistory(shown);
    for (auto _ : state)
        shown.undo.undo();
    if (shown.undo.stack().index() != 0)
        state.SkipWithError("not every step was undone");
}
BENCHMARK(BM_UndoAnnualDrag)->Unit(benchmark::kMillisecond)->Iterations(planning::PlanningUndo::kMaxSteps);

void BM_RedoAnnualDrag(benchmark::State& state)
{
    Fixture& f = fixture();
    ShownYear shown(f);
    recordHistory(shown);
    shown.undo.stack().setIndex(0);  // writes too, before the timing
    for (auto _ : state)
        shown.undo.redo();
    if (shown.undo.canRedo())
        state.SkipWithError("not every step was redone");
}
BENCHMARK(BM_RedoAnnualDrag)->Unit(benchmark::kMillisecond)->Iterations(planning::PlanningUndo::kMaxSteps);

// Undo of a monthly drag over 500 rows × 10 half-days (1..5 June 2021),
// shown in the monthly view of those 500 persons.
void BM_UndoMonthDrag(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::TAnnualGraphicPlanning annual;
    planning::TMonthlyGraphicPlanning monthly;
    monthly.resize(1600, 900);
    monthly.show();
    planning::PlanningSession session = f.session();
    session.ctx.planningType = 1;
    planning::LoadMonthPlanning(monthly, f.query, session, 2021, 6, kPersons, 0);
    planning::PlanningUndo undo;
    undo.setDossier(&f.connection, 1, 0);
    undo.setDisplay([&](const std::vector<planning::HalfDayChange>& changes, bool after) {
        planning::ShowHalfDays(annual, monthly, session, changes, after);
    });
    std::vector<planning::HalfDayChange> changes;
    for (int r = 0; r < kPersons; ++r)
        for (int d = 1; d <= 5; ++d)
            for (int h = 1; h <= 2; ++h)
                changes.push_back({planning::EntryId(f.persons, r),
                                   static_cast<qint32>(QDate(2021, 6, d).toJulianDay()),
                                   monthly.cells.cell(r, 6, d, h).Id, nextProject(monthly.cells.cell(r, 6, d, h).Id),
                                   static_cast<qint8>(h)});
    undo.record(std::move(changes));
    if (!undo.canUndo())
        state.SkipWithError("the step was not kept");
    for (auto _ : state) {
        undo.undo();
        state.PauseTiming();
        undo.redo();
        state.ResumeTiming();
    }
    state.counters["half_days"] = kPersons * 10;
}
BENCHMARK(BM_UndoMonthDrag)->Unit(benchmark::kMillisecond);

// A drag across the whole year, January 1 to December 31, in the annual view.
struct YearDrag {
    planning::TAnnualGraphicPlanning view;
    QPoint from, to;
    std::vector<QPoint> cellCentres;  // the half-days the path paints, in path order

    explicit YearDrag(Fixture& f)
    {
        view.resize(1600, 900);
        view.show();
        planning::LoadYearPlanning(view, f.query, f.session(), 2021, 250, -1);
        view.PaintId = 3;
        from = centre(1, 1, 1);
        to = centre(12, 31, 2);
        send(QEvent::MouseButtonPress, from, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::NoButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton);
        struct Painted {
            double along;
            QPoint centre;
        };
        std::vector<Painted> painted;
        const QPointF d = QPointF(to - from);
        for (int m = 1; m <= 12; ++m)
            for (int day = 1; day <= view.daysOf(m); ++day)
                for (int h = 1; h <= 2; ++h)
                    if (view.cells.cell(m, day, h).Modified == 1) {
                        const QPoint c = centre(m, day, h);
                        painted.push_back({QPointF::dotProduct(QPointF(c - from), d), c});
                    }
        std::sort(painted.begin(), painted.end(), [](const Painted& a, const Painted& b) { return a.along < b.along; });
        for (const Painted& p : painted)
            cellCentres.push_back(p.centre);
    }
    QPoint centre(int month, int day, int half) const
    {
        const int column = view.firstColumn(month) + day - 1;
        return view.positionRect(column, month, half).center();
    }
    void send(QEvent::Type type, QPoint pos, Qt::MouseButton button)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(pos), view.mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
        QApplication::sendEvent(&view, &e);
    }
    void unmark()
    {
        planning::MarkYearSaved(view);
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= 31; ++d)
                for (int h = 1; h <= 2; ++h)
                    view.cells.cell(m, d, h).Id = -1;
    }
};

void BM_DragInterpolation(benchmark::State& state)
{
    Fixture& f = fixture();
    YearDrag drag(f);
    for (auto _ : state) {
        state.PauseTiming();
        drag.unmark();
        state.ResumeTiming();
        drag.send(QEvent::MouseButtonPress, drag.from, Qt::LeftButton);
        drag.send(QEvent::MouseMove, drag.to, Qt::NoButton);
        drag.send(QEvent::MouseButtonRelease, drag.to, Qt::LeftButton);
    }
    state.counters["half_days"] = static_cast<double>(drag.cellCentres.size());
}
BENCHMARK(BM_DragInterpolation)->Unit(benchmark::kMillisecond);

// The same half-days, one mouse event each.
void BM_DragPerEvent(benchmark::State& state)
{
    Fixture& f = fixture();
    YearDrag drag(f);
    for (auto _ : state) {
        state.PauseTiming();
        drag.unmark();
        state.ResumeTiming();
        drag.send(QEvent::MouseButtonPress, drag.cellCentres.front(), Qt::LeftButton);
        for (size_t i = 1; i < drag.cellCentres.size(); ++i)
            drag.send(QEvent::MouseMove, drag.cellCentres[i], Qt::NoButton);
        drag.send(QEvent::MouseButtonRelease, drag.cellCentres.back(), Qt::LeftButton);
    }
    state.counters["half_days"] = static_cast<double>(drag.cellCentres.size());
}
BENCHMARK(BM_DragPerEvent)->Unit(benchmark::kMillisecond);

// 200 steps of 60 half-days, the most the stack keeps: the heap they hold,
// measured as what clearing the stack gives back.
void BM_UndoStackMemory(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::AnnualModel year;
    year.Year = 2021;
    planning::FillYearPlanning(year, f.query, f.ctx, 2021, 250, -1);
    double held = 0, counted = 0;
    for (auto _ : state) {
        planning::PlanningUndo undo;
        undo.setDossier(&f.connection, 1, 0);
        for (int round = 0; round < planning::PlanningUndo::kMaxSteps; ++round)
            undo.record(annualDragStep(year, 250, round + 1));
        const size_t before = mallinfo2().uordblks;
        counted = static_cast<double>(undo.memoryBytes());
        undo.clear();
        held = static_cast<double>(before - mallinfo2().uordblks);
    }
    state.counters["steps"] = planning::PlanningUndo::kMaxSteps;
    state.counters["heap_KB"] = held / 1024.0;
    state.counters["counted_KB"] = counted / 1024.0;
}
BENCHMARK(BM_UndoStackMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

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

// The holidays of 2021 and a closed week, as a dossier with its option on shows them.
planning::PlanningSession sessionWithHolidays(const Fixture& f)
{
    planning::PlanningSession s = f.session();
    s.holidays.showInPlanning = true;
    s.holidays.closures = {
        {QDate(2021, 6, 7), QDate(2021, 6, 11), planning::DayPart::WholeDay, QStringLiteral("Fermeture de juin")},
        {QDate(2021, 8, 9), QDate(2021, 8, 13), planning::DayPart::WholeDay, QStringLiteral("Fermeture d'août")}};
    return s;
}

// BM_AnnualHover with the holidays and the closed weeks shown.
void BM_AnnualHoverHolidays(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::TAnnualGraphicPlanning view;
    view.resize(1600, 900);
    view.show();
    planning::LoadYearPlanning(view, f.query, sessionWithHolidays(f), 2021, 250, -1);
    if (!view.DaysOff || view.DaysOff->halfDaysOff() == 0)
        state.SkipWithError("no holiday shown");
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
BENCHMARK(BM_AnnualHoverHolidays)->Unit(benchmark::kMillisecond);

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

// BM_MonthlyPaint of June 2021 with its closed week and the holidays shown.
void BM_MonthlyPaintHolidays(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::TMonthlyGraphicPlanning view;
    view.resize(1600, 900);
    view.show();
    planning::LoadMonthPlanning(view, f.query, sessionWithHolidays(f), 2021, 6, kPersons, 0);
    if (!view.isOffHalfDay(7, 1))
        state.SkipWithError("the closed week is not shown");
    for (auto _ : state)
        view.RepaintGrid();
}
BENCHMARK(BM_MonthlyPaintHolidays)->Unit(benchmark::kMillisecond);

// Répéter, weekly: the week of 7 June 2021 of one person repeated 52
// times, from reading what the targets hold to the written, shown step.
void BM_PasteYear(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::TAnnualGraphicPlanning annual;
    planning::TMonthlyGraphicPlanning monthly;
    annual.resize(1600, 900);
    annual.show();
    planning::PlanningSession session = f.session();
    planning::LoadYearPlanning(annual, f.query, session, 2021, 250, -1);
    planning::PlanningUndo undo;
    undo.setDossier(&f.connection, 1, 0);
    undo.setDisplay([&](const std::vector<planning::HalfDayChange>& changes, bool after) {
        planning::ShowHalfDays(annual, monthly, session, changes, after);
    });
    // The week gets projects unlike the weeks after it, so every repeat writes.
    std::vector<planning::HalfDayChange> week;
    for (int d = 7; d <= 13; ++d)
        for (int h = 1; h <= 2; ++h)
            week.push_back({250, static_cast<qint32>(QDate(2021, 6, d).toJulianDay()), -1,
                            nextProject(annual.cells.cell(6, d, h).Id, 7), static_cast<qint8>(h)});
    planning::RepeatRule rule;
    rule.period = planning::RepeatPeriod::Week;
    rule.times = 52;
    size_t written = 0;
    for (auto _ : state) {
        std::vector<planning::HalfDayChange> changes =
            planning::RepeatChanges(f.connection, 1, 0, week, rule, [](const QDate&, int) { return false; });
        written = changes.size();
        planning::RecordHalfDays(undo, annual, monthly, session, std::move(changes));
        state.PauseTiming();
        undo.undo();
        state.ResumeTiming();
    }
    state.counters["half_days"] = static_cast<double>(written);
}
BENCHMARK(BM_PasteYear)->Unit(benchmark::kMillisecond);

// Ctrl+V of a 500 rows × 10 half-days block at 10 June 2021 in the monthly
// view of the 500 persons, written and shown.
void BM_PasteMonth500(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::TAnnualGraphicPlanning annual;
    planning::TMonthlyGraphicPlanning monthly;
    monthly.resize(1600, 900);
    monthly.show();
    planning::PlanningSession session = f.session();
    session.ctx.planningType = 1;
    planning::LoadMonthPlanning(monthly, f.query, session, 2021, 6, kPersons, 0);
    planning::PlanningUndo undo;
    undo.setDossier(&f.connection, 1, 0);
    undo.setDisplay([&](const std::vector<planning::HalfDayChange>& changes, bool after) {
        planning::ShowHalfDays(annual, monthly, session, changes, after);
    });
    planning::HalfDayBlock block;
    block.lines = 2 * kPersons;
    block.columns = 5;
    for (int l = 0; l < block.lines; ++l)
        for (int c = 0; c < block.columns; ++c)
            block.ids.push_back(nextProject(monthly.cells.cell(l / 2, 6, 10 + c, l % 2 + 1).Id, 3));
    size_t written = 0;
    for (auto _ : state) {
        std::vector<planning::HalfDayChange> changes = monthly.pasteChanges(block, {0, 9}, f.persons);
        written = changes.size();
        planning::RecordHalfDays(undo, annual, monthly, session, std::move(changes));
        state.PauseTiming();
        undo.undo();
        state.ResumeTiming();
    }
    state.counters["half_days"] = static_cast<double>(written);
}
BENCHMARK(BM_PasteMonth500)->Unit(benchmark::kMillisecond);

// An arrow key moves the keyboard cursor and the screen repaints the two
// half-days concerned.
void BM_KeyboardMove(benchmark::State& state)
{
    Fixture& f = fixture();
    planning::TAnnualGraphicPlanning view;
    view.resize(1600, 900);
    view.show();
    planning::LoadYearPlanning(view, f.query, f.session(), 2021, 250, -1);
    QKeyEvent first(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(&view, &first);
    QCoreApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        QKeyEvent e(QEvent::KeyPress, (i++ % 20) < 10 ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier);
        QApplication::sendEvent(&view, &e);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_KeyboardMove)->Unit(benchmark::kMillisecond);

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
