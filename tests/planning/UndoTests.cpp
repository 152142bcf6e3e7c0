#include "core/Clock.h"
#include "db/DbError.h"
#include "planning/ChangeHalfDays.h"
#include "planning/PlanningUndo.h"
#include "planning/PlanningViews.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Faults.h"
#include "PlanningDbFixture.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>

#include <sys/mount.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <tuple>

using namespace planning;

namespace {

void mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

// Press at the first point, one move to each next point, release at the last.
void drag(QWidget* w, const std::vector<QPoint>& path, Qt::MouseButton button = Qt::LeftButton)
{
    mouse(w, QEvent::MouseButtonPress, path.front(), button, button);
    for (size_t i = 1; i < path.size(); ++i)
        mouse(w, QEvent::MouseMove, path[i], Qt::NoButton, button);
    mouse(w, QEvent::MouseButtonRelease, path.back(), button, Qt::NoButton);
}

// The annual view of the other tests: cells 20 wide, half-rows 15 high.
QPoint yearAt(const TAnnualGraphicPlanning& v, int month, int day, int half)
{
    const int column = v.firstColumn(month) + day - 1;
    return QPoint(25 + (column - 1) * 20 + 10, 15 + (2 * (month - 1) + half - 1) * 15 + 7);
}

class UndoDbTest : public planning_test::PlanningDbTest {
protected:
    void SetUp() override
    {
        PlanningDbTest::SetUp();
        core::setClock([] { return QDateTime(QDate(2024, 1, 2), QTime(9, 0)); });
        annual.resize(25 + 37 * 20, 15 + 24 * 15);
        annual.show();
    }
    void TearDown() override
    {
        core::setClock({});
        PlanningDbTest::TearDown();
    }
    PlanningSession session() const
    {
        PlanningSession s;
        s.ctx = ctx;
        s.persons.entries = persons;
        s.projects.entries = projects;
        return s;
    }
    void useDossier()
    {
        undo.setDossier(&connection, ctx.dossierId, ctx.orientation);
        undo.setDisplay([this](const std::vector<HalfDayChange>& changes, bool after) {
            ShowHalfDays(annual, monthly, session(), changes, after);
        });
    }
    int object() const { return ctx.orientation == 0 ? ctx.personId : ctx.projectId; }
    // The legend-side id of the object's row for a half-day; -2 when it has none.
    int stored(const char* date, int half)
    {
        const QString legend = ctx.orientation == 0 ? QStringLiteral("Id_Project") : QStringLiteral("Id_People");
        const QString objectColumn = ctx.orientation == 0 ? QStringLiteral("Id_People") : QStringLiteral("Id_Project");
        const auto v = connection.scalar(QStringLiteral("SELECT ") + legend + QStringLiteral(" FROM PLANNING WHERE ")
                                             + objectColumn + QStringLiteral("=? AND DatePlanning=? AND AmPm=?"),
                                         {object(), QString::fromLatin1(date), half});
        return v ? v->toInt() : -2;
    }

    TAnnualGraphicPlanning annual;
    TMonthlyGraphicPlanning monthly;
    PlanningUndo undo;
};

}  // namespace

// A drag, undo, redo, undo again: the rows and the view follow each time,
// with the legend id in the column of each orientation.
TEST_F(UndoDbTest, DragUndoRedoUndoInBothOrientations)
{
    for (int orientation : {0, 1}) {
        SCOPED_TRACE(orientation);
        ctx.orientation = orientation;
        connection.exec(QStringLiteral("DELETE FROM PLANNING"));
        // 5 March held legend item 2 before the drag.
        if (orientation == 0)
            row(1, 1, 2, "2024-03-05", 1);
        else
            row(1, 2, 1, "2024-03-05", 1);
        useDossier();
        LoadYearPlanning(annual, query, session(), 2024, ctx.personId, ctx.projectId);
        ASSERT_EQ(annual.cells.cell(3, 5, 1).Id, 2);
        const QStringList& legend = orientation == 0 ? projects : persons;
        annual.PaintId = 1;
        annual.PaintPenColor = EntryField(legend.at(0), 1).toUInt();
        drag(&annual, {yearAt(annual, 3, 4, 1), yearAt(annual, 3, 7, 1)});
        ASSERT_TRUE(SaveAnnualEdit(annual, undo, ctx));
        EXPECT_EQ(undo.undoText(), QStringLiteral("la peinture de 4 demi-journées"));

        const char* days[] = {"2024-03-04", "2024-03-05", "2024-03-06", "2024-03-07"};
        auto expectRows = [&](std::vector<int> ids) {
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(stored(days[i], 1), ids[i]) << days[i];
                EXPECT_EQ(annual.cells.cell(3, 4 + i, 1).Id, ids[i]) << days[i];
                EXPECT_EQ(annual.cells.cell(3, 4 + i, 1).Modified, 0);
            }
            EXPECT_EQ(count(QStringLiteral("1=1")), 4);  // rows are updated, never added twice
        };
        expectRows({1, 1, 1, 1});
        undo.undo();
        expectRows({-1, 2, -1, -1});
        // The view shows it: the legend item's colours; the emptied half-day
        // lies in the hover cross of the drag's last position, so highlighted.
        EXPECT_EQ(annual.cells.cell(3, 5, 1).PenColor, EntryField(legend.at(1), 1).toUInt());
        EXPECT_EQ(annual.bitmap().pixelColor(yearAt(annual, 3, 4, 1)), QColor(214, 222, 243));
        EXPECT_NE(annual.bitmap().pixelColor(yearAt(annual, 3, 5, 1)), QColor(Qt::white));
        EXPECT_FALSE(undo.canUndo());
        EXPECT_EQ(undo.redoText(), QStringLiteral("la peinture de 4 demi-journées"));
        undo.redo();
        expectRows({1, 1, 1, 1});
        undo.undo();
        expectRows({-1, 2, -1, -1});
    }
}

// A write that fails (the database on a file system that turned read-only)
// leaves the rows and the stack as they were; a failed gesture save keeps
// its half-days marked and adds no step.
TEST_F(UndoDbTest, FailedWritesLeaveRowsAndStackUnchanged)
{
    testing_support::SmallDisk disk(sandbox->root() + QStringLiteral("disk"), 8 * 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    const QString onDisk = disk.directory() + QStringLiteral("/PLANNING.MDB");
    query.Close();
    connection.close();
    ASSERT_TRUE(QFile::copy(sandbox->root() + QStringLiteral("PLANNING.MDB"), onDisk));
    connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + onDisk);
    connection.open();
    useDossier();
    LoadYearPlanning(annual, query, session(), 2024, 1, -1);
    annual.PaintId = 2;
    drag(&annual, {yearAt(annual, 4, 8, 2), yearAt(annual, 4, 10, 2)});  // step 1: paint three
    ASSERT_TRUE(SaveAnnualEdit(annual, undo, ctx));
    drag(&annual, {yearAt(annual, 4, 9, 2)}, Qt::RightButton);  // step 2: erase one
    ASSERT_TRUE(SaveAnnualEdit(annual, undo, ctx));
    undo.undo();  // step 2 waits to be redone
    ASSERT_EQ(stored("2024-04-09", 2), 2);

    const QByteArray dir = QFile::encodeName(disk.directory());
    connection.close();
    if (::mount("tmpfs", dir.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "remounting read-only is refused here";
    connection.open();
    const QByteArray before = testing_support::Sandbox::readFile(onDisk);
    auto expectUnchanged = [&] {
        EXPECT_EQ(undo.stack().index(), 1);
        EXPECT_EQ(undo.stack().count(), 2);
        EXPECT_EQ(undo.undoText(), QStringLiteral("la peinture de 3 demi-journées"));
        EXPECT_EQ(undo.redoText(), QStringLiteral("l'effacement d'une demi-journée"));
        for (const char* d : {"2024-04-08", "2024-04-09", "2024-04-10"})
            EXPECT_EQ(stored(d, 2), 2) << d;
        EXPECT_EQ(testing_support::Sandbox::readFile(onDisk), before);
    };
    EXPECT_THROW(undo.undo(), db::DbError);
    expectUnchanged();
    EXPECT_EQ(annual.cells.cell(4, 8, 2).Id, 2);  // the view is not told of a write that failed
    EXPECT_THROW(undo.redo(), db::DbError);
    expectUnchanged();
    {
        ui::ScriptedPrompt prompt;
        drag(&annual, {yearAt(annual, 4, 15, 1)});
        EXPECT_FALSE(SaveAnnualEdit(annual, undo, ctx));
        ASSERT_EQ(prompt.messages().size(), 1);
        EXPECT_TRUE(
            prompt.messages().first().text.startsWith(QStringLiteral("Le planning n'a pas pu être enregistré")));
        expectUnchanged();  // the redo step is still there
        EXPECT_EQ(annual.cells.cell(4, 15, 1).Modified, 1);
    }

    connection.close();
    ASSERT_EQ(::mount("tmpfs", dir.constData(), "tmpfs", MS_REMOUNT, "size=8388608"), 0);
    connection.open();
    // Writable again: the marked half-day goes first, then the undo works.
    ASSERT_TRUE(SaveAnnualEdit(annual, undo, ctx));
    EXPECT_EQ(stored("2024-04-15", 1), 2);
    EXPECT_FALSE(undo.canRedo());  // a new gesture replaces what could be redone
    undo.undo();
    undo.undo();
    for (const char* d : {"2024-04-08", "2024-04-09", "2024-04-10"})
        EXPECT_EQ(stored(d, 2), -1) << d;
    query.Close();
    connection.close();
}

namespace {

// Whether the segment a-b meets the box [x0, x1] × [y0, y1] (Liang-Barsky).
bool segmentMeetsBox(QPointF a, QPointF b, double x0, double x1, double y0, double y1)
{
    double t0 = 0, t1 = 1;
    const double d[2] = {b.x() - a.x(), b.y() - a.y()};
    const double lo[2] = {x0 - a.x(), y0 - a.y()}, hi[2] = {x1 - a.x(), y1 - a.y()};
    for (int k = 0; k < 2; ++k) {
        if (std::abs(d[k]) < 1e-12) {
            if (lo[k] > 0 || hi[k] < 0)
                return false;
            continue;
        }
        double ta = lo[k] / d[k], tb = hi[k] / d[k];
        if (ta > tb)
            std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1)
            return false;
    }
    return true;
}

using Cell = std::tuple<int, int, int>;  // (month or row, day, half)

// The pixels [x0, x1) × [y0, y1) of a half-day, by the views' hit rules.
struct CellArea {
    Cell cell;
    int x0, x1, y0, y1;
};

// A half-day whose inner area (one pixel in from its edges) the path meets
// must be painted; one whose area grown by a pixel it misses must not be.
void expectPathPainted(const std::vector<QPoint>& path, const std::vector<CellArea>& areas,
                       const std::set<Cell>& painted)
{
    for (const CellArea& a : areas) {
        bool must = false, may = false;
        for (size_t i = 0; i + 1 < path.size(); ++i) {
            must |= segmentMeetsBox(path[i], path[i + 1], a.x0 + 1, a.x1 - 2, a.y0 + 1, a.y1 - 2);
            may |= segmentMeetsBox(path[i], path[i + 1], a.x0 - 1, a.x1, a.y0 - 1, a.y1);
        }
        const bool is = painted.count(a.cell) > 0;
        const QString where =
            QStringLiteral("%1/%2/%3").arg(std::get<0>(a.cell)).arg(std::get<1>(a.cell)).arg(std::get<2>(a.cell));
        if (must) {
            EXPECT_TRUE(is) << "gap at " << where.toStdString();
        }
        if (!may) {
            EXPECT_FALSE(is) << "off the path at " << where.toStdString();
        }
    }
}

}  // namespace

// A fast drag paints every half-day on its straight path in both views, and
// a half-day crossed twice is one half-day of the step.
TEST(DragInterpolation, EveryHalfDayOnThePathInBothViews)
{
    core::setClock([] { return QDateTime(QDate(2024, 1, 2), QTime(9, 0)); });
    struct Case {
        const char* name;
        std::vector<std::array<int, 3>> points;  // (month or row, day, half)
        int halfDays;                            // in the step; 0: checked by the path only
    };
    const Case yearCases[] = {
        {"fast horizontal", {{{3, 2, 1}}, {{3, 25, 1}}}, 24},
        {"diagonal across months", {{{1, 12, 1}}, {{5, 20, 2}}}, 0},
        {"back and forth", {{{6, 5, 2}}, {{6, 20, 2}}, {{6, 9, 2}}}, 16},
    };
    for (const Case& c : yearCases) {
        SCOPED_TRACE(c.name);
        TAnnualGraphicPlanning view;
        view.resize(25 + 37 * 20, 15 + 24 * 15);
        view.Year = 2024;
        view.show();
        view.Relayout(true);
        view.PaintId = 5;
        std::vector<QPoint> path;
        for (const auto& p : c.points)
            path.push_back(yearAt(view, p[0], p[1], p[2]));
        drag(&view, path);
        std::set<Cell> painted;
        std::vector<CellArea> areas;
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= view.daysOf(m); ++d) {
                for (int h = 1; h <= 2; ++h) {
                    if (view.cells.cell(m, d, h).Modified == 1)
                        painted.insert({m, d, h});
                    const int x = 25 + (view.firstColumn(m) + d - 2) * 20;
                    const int y = 15 + (2 * (m - 1) + h - 1) * 15;
                    areas.push_back({{m, d, h}, d == 1 ? x + 1 : x, x + 20, y == 15 ? y + 1 : y, y + 15});
                }
            }
        }
        expectPathPainted(path, areas, painted);
        if (c.halfDays)
            EXPECT_EQ(ModifiedYearHalfDays(view, 1).size(), static_cast<size_t>(c.halfDays));
        else
            EXPECT_GE(painted.size(), 8u);  // four months, two half-rows each at least
    }

    const Case monthCases[] = {
        {"fast horizontal", {{{0, 2, 1}}, {{0, 28, 1}}}, 27},
        {"diagonal across rows", {{{0, 3, 1}}, {{3, 25, 2}}}, 0},
        {"back and forth", {{{1, 4, 2}}, {{1, 22, 2}}, {{1, 10, 2}}}, 19},
    };
    for (const Case& c : monthCases) {
        SCOPED_TRACE(c.name);
        TMonthlyGraphicPlanning view;
        view.show();
        const int bar = view.findChild<QScrollBar*>()->sizeHint().width();
        view.resize(10 + 20 * 31 + bar, 250);  // day width 20 for March 2024
        view.Year = 2024;
        view.Month = 3;
        view.SetMonthDimensions(4, 12, 31, 2);
        view.ObjectCount = 4;
        view.setRowCount(4);
        view.Relayout();
        ASSERT_EQ(view.dayWidth(), 20);
        view.PaintId = 5;
        std::vector<QPoint> path;
        for (const auto& p : c.points)
            path.push_back(QPoint(10 + (p[1] - 1) * 20 + 10, 50 * p[0] + 15 + (p[2] - 1) * 17 + 8));
        drag(&view, path);
        std::set<Cell> painted;
        std::vector<CellArea> areas;
        for (int r = 0; r < 4; ++r) {
            for (int d = 1; d <= 31; ++d) {
                for (int h = 1; h <= 2; ++h) {
                    if (view.cells.cell(r, 3, d, h).Modified == 1)
                        painted.insert({r, d, h});
                    const int x = 10 + (d - 1) * 20;
                    const int y = 50 * r + 15 + (h - 1) * 17;
                    areas.push_back({{r, d, h}, d == 1 ? x + 1 : x, x + 20, h == 1 ? y + 1 : y, y + 17});
                }
            }
        }
        expectPathPainted(path, areas, painted);
        if (c.halfDays)
            EXPECT_EQ(ModifiedMonthHalfDays(view, 3, {}, 4).size(), static_cast<size_t>(c.halfDays));
        else
            EXPECT_GE(painted.size(), 8u);  // four rows, two half-rows each at least
    }
    core::setClock({});
}

TEST(UndoStep, CaptionsNameTheGestureAndItsHalfDays)
{
    const struct {
        std::vector<std::pair<int, int>> beforeAfter;
        const char* text;
    } cases[] = {
        {{{-1, 3}, {2, 3}, {-1, 3}}, "la peinture de 3 demi-journées"},
        {{{4, -1}}, "l'effacement d'une demi-journée"},
        {{{4, -1}, {-1, -1}, {2, -1}}, "l'effacement de 3 demi-journées"},
        {{{4, -1}, {-1, 2}}, "la modification de 2 demi-journées"},
    };
    for (const auto& c : cases) {
        std::vector<HalfDayChange> changes;
        for (const auto& [before, after] : c.beforeAfter)
            changes.push_back({1, 2460000, before, after, 1});
        EXPECT_EQ(ChangeHalfDays::StepText(changes), QString::fromUtf8(c.text));
    }
}

// The stack keeps the last 200 steps; the oldest go first.
TEST_F(UndoDbTest, KeepsTheLast200Steps)
{
    useDossier();
    const qint32 first = static_cast<qint32>(QDate(2024, 1, 1).toJulianDay());
    for (int i = 0; i < PlanningUndo::kMaxSteps + 5; ++i)
        undo.record({{1, first + i, -1, 1, 1}});
    EXPECT_EQ(undo.stack().count(), PlanningUndo::kMaxSteps);
    while (undo.canUndo())
        undo.undo();
    EXPECT_EQ(count(QStringLiteral("Id_Project=1")), 5);  // the five oldest stay painted
    EXPECT_EQ(count(QStringLiteral("Id_Project=1 AND DatePlanning < '2024-01-06'")), 5);
}
