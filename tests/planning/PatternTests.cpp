#include "core/Clock.h"
#include "planning/HalfDayBlock.h"
#include "planning/PlanningAccessible.h"
#include "planning/PlanningUndo.h"
#include "planning/PlanningViews.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"

#include "PlanningDbFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <set>

using namespace planning;

namespace {

void mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

void shiftDrag(QWidget* w, QPoint from, QPoint to)
{
    mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    mouse(w, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    mouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
}

void key(QWidget* w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent e(QEvent::KeyPress, k, mods);
    QApplication::sendEvent(w, &e);
}

QPoint yearAt(const TAnnualGraphicPlanning& v, int month, int day, int half)
{
    const int column = v.firstColumn(month) + day - 1;
    return QPoint(25 + (column - 1) * 20 + 10, 15 + (2 * (month - 1) + half - 1) * 15 + 7);
}

class PatternDbTest : public planning_test::PlanningDbTest {
protected:
    void SetUp() override
    {
        PlanningDbTest::SetUp();
        core::setClock([] { return QDateTime(QDate(2024, 1, 2), QTime(9, 0)); });
        InstallPlanningAccessibility();
        annual.resize(25 + 37 * 20, 15 + 24 * 15);
        annual.show();
        monthly.resize(800, 400);
        monthly.show();
        undo.setDossier(&connection, ctx.dossierId, ctx.orientation);
        undo.setDisplay([this](const std::vector<HalfDayChange>& changes, bool after) {
            ShowHalfDays(annual, monthly, session(), changes, after);
        });
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
    int stored(int person, const char* date, int half)
    {
        const auto v = connection.scalar(
            QStringLiteral("SELECT Id_Project FROM PLANNING WHERE Id_People=? AND DatePlanning=? AND AmPm=?"),
            {person, QString::fromLatin1(date), half});
        return v ? v->toInt() : -2;
    }
    void loadYear() { LoadYearPlanning(annual, query, session(), ctx.year, ctx.personId, ctx.projectId); }
    void loadMonth()
    {
        ctx.planningType = 1;
        LoadMonthPlanning(monthly, query, session(), ctx.year, ctx.month, 2, 0);
    }
    void record(std::vector<HalfDayChange> changes)
    {
        RecordHalfDays(undo, annual, monthly, session(), std::move(changes));
    }

    TAnnualGraphicPlanning annual;
    TMonthlyGraphicPlanning monthly;
    PlanningUndo undo;
};

}  // namespace

// Shift-drag selects the rectangle in the annual view: nothing is painted,
// the bitmap stays as it was, the copy keeps the shape and the days a month
// lacks; a click or Escape drops it.
TEST_F(PatternDbTest, AnnualSelectionCopyPasteAtTheEdgesAndAcrossTheYear)
{
    row(1, 1, 2, "2024-03-04", 1);  // Monday 4 March, morning: Tour
    row(1, 1, 1, "2024-03-05", 2);  // Tuesday afternoon: Pont
    loadYear();
    annual.PaintId = 1;
    // The hover cross of the drag's end is the design's own drawing.
    mouse(&annual, QEvent::MouseMove, yearAt(annual, 3, 10, 2), Qt::NoButton, Qt::NoButton);
    const QImage before = annual.bitmap().copy();
    shiftDrag(&annual, yearAt(annual, 3, 4, 1), yearAt(annual, 3, 10, 2));
    ASSERT_TRUE(annual.selection());
    EXPECT_EQ(annual.selection()->lines(), 2);
    EXPECT_EQ(annual.selection()->columns(), 7);
    EXPECT_EQ(count(QStringLiteral("1=1")), 2);  // the Shift press painted nothing
    EXPECT_TRUE(annual.bitmap() == before);      // the outline is drawn over the bitmap, not in it
    const HalfDayBlock week = annual.copySelection();
    ASSERT_EQ(week.ids.size(), 14u);
    EXPECT_EQ(week.at(0, 0), 2);
    EXPECT_EQ(week.at(1, 1), 1);
    EXPECT_EQ(week.at(1, 6), -1);

    // A paste near the end of December: the days after the 31st and the
    // lines below December are clipped; nothing reaches next year.
    const GridPos lastMorning{22, annual.firstColumn(12) + 30 - 1 - 2};  // 29 December
    std::vector<HalfDayChange> changes = annual.pasteChanges(week, lastMorning, 1);
    std::set<int> days;
    for (const HalfDayChange& c : changes) {
        EXPECT_EQ(c.date().year(), 2024);
        days.insert(c.date().day());
    }
    EXPECT_EQ(days, (std::set<int>{29, 30}));  // 29 and 30: Tour, then Pont on the 30th afternoon
    record(changes);
    EXPECT_EQ(stored(1, "2024-12-29", 1), 2);
    EXPECT_EQ(stored(1, "2024-12-30", 2), 1);
    EXPECT_EQ(count(QStringLiteral("DatePlanning>'2024-12-31'")), 0);
    EXPECT_EQ(annual.cells.cell(12, 29, 1).Id, 2);
    undo.undo();  // one step
    EXPECT_EQ(annual.cells.cell(12, 29, 1).Id, -1);
    EXPECT_EQ(stored(1, "2024-12-29", 1), -1);
    EXPECT_FALSE(undo.canUndo());

    // The selection goes at the next click and at Escape.
    mouse(&annual, QEvent::MouseButtonPress, QPoint(5, 5), Qt::RightButton, Qt::RightButton);
    mouse(&annual, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::RightButton, Qt::NoButton);
    EXPECT_FALSE(annual.selection());
    shiftDrag(&annual, yearAt(annual, 3, 4, 1), yearAt(annual, 3, 5, 1));
    key(&annual, Qt::Key_Escape);
    EXPECT_FALSE(annual.selection());
}

// In the monthly view a selection spans rows; erasing it is one step, and
// a paste at the last row is clipped at the bottom and the month's end.
TEST_F(PatternDbTest, MonthlySelectionEraseAndPasteClipped)
{
    row(1, 1, 1, "2024-03-04", 1);
    row(1, 2, 2, "2024-03-04", 1);
    row(1, 2, 2, "2024-03-05", 2);
    loadMonth();
    const QRect r0 = monthly.CellRect(0), r1 = monthly.CellRect(1);
    shiftDrag(&monthly, monthly.halfDayRect(r0, 4, 1).center(), monthly.halfDayRect(r1, 5, 2).center());
    ASSERT_TRUE(monthly.selection());
    EXPECT_EQ(*monthly.selection(), (GridRect{0, 3, 3, 4}));
    const HalfDayBlock block = monthly.copySelection();
    EXPECT_EQ(block.at(0, 0), 1);
    EXPECT_EQ(block.at(2, 0), 2);
    EXPECT_EQ(block.at(3, 1), 2);
    EXPECT_EQ(BlockText(block, projects), QStringLiteral("Pont\t\n\t\nTour\t\n\tTour\n"));

    // Pasted at Bruno's afternoon of 30 March: one line and two days fit.
    const std::vector<HalfDayChange> clipped = monthly.pasteChanges(block, {3, 29}, persons);
    ASSERT_EQ(clipped.size(), 1u);  // 30 March afternoon takes "Pont"; the 31st's is empty already
    EXPECT_EQ(clipped[0].objectId, 2);
    EXPECT_EQ(clipped[0].date(), QDate(2024, 3, 30));
    EXPECT_EQ(clipped[0].after, 1);

    // Delete: the three assigned half-days become empty, in one step.
    std::vector<HalfDayChange> erase = monthly.selectionHalfDays(persons);
    std::erase_if(erase, [](const HalfDayChange& c) { return c.before == -1; });
    for (HalfDayChange& c : erase)
        c.after = -1;
    ASSERT_EQ(erase.size(), 3u);
    record(erase);
    EXPECT_EQ(stored(1, "2024-03-04", 1), -1);
    EXPECT_EQ(stored(2, "2024-03-05", 2), -1);
    EXPECT_EQ(monthly.cells.cell(1, 3, 5, 2).Id, -1);
    undo.undo();
    EXPECT_EQ(stored(2, "2024-03-05", 2), 2);
    EXPECT_EQ(monthly.cells.cell(1, 3, 5, 2).Id, 2);
}

// Repeats read what the database holds where they write, skip the
// non-working half-days when asked, and are undone in one step.
TEST_F(PatternDbTest, RepeatWeeklyAndMonthlyWithAndWithoutHolidays)
{
    // The source: Monday 4 March 2024 morning Pont, afternoon empty.
    const qint32 monday = static_cast<qint32>(QDate(2024, 3, 4).toJulianDay());
    const std::vector<HalfDayChange> selection = {{1, monday, -1, 1, 1}, {1, monday, -1, -1, 2}};
    row(1, 1, 2, "2024-03-11", 2);  // a later afternoon holds Tour: the empty source erases it
    const std::set<QDate> holidays = {QDate(2024, 3, 18), QDate(2024, 4, 4)};
    const NonWorkingHalfDay nonWorking = [&](const QDate& d, int) { return holidays.count(d) > 0; };

    struct Case {
        RepeatPeriod period;
        std::optional<QDate> until;
        int times;
        bool skip;
        std::vector<QDate> mornings;  // the mornings that take Pont
    };
    const std::vector<Case> cases = {
        {RepeatPeriod::Week,
         QDate(2024, 3, 31),
         0,
         false,
         {QDate(2024, 3, 11), QDate(2024, 3, 18), QDate(2024, 3, 25)}},
        {RepeatPeriod::Week, QDate(2024, 3, 31), 0, true, {QDate(2024, 3, 11), QDate(2024, 3, 25)}},
        {RepeatPeriod::TwoWeeks, std::nullopt, 2, false, {QDate(2024, 3, 18), QDate(2024, 4, 1)}},
        {RepeatPeriod::Month, std::nullopt, 3, true, {QDate(2024, 5, 4), QDate(2024, 6, 4)}},
        {RepeatPeriod::Month, std::nullopt, 3, false, {QDate(2024, 4, 4), QDate(2024, 5, 4), QDate(2024, 6, 4)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.period) * 10 + c.skip);
        RepeatRule rule;
        rule.period = c.period;
        rule.until = c.until;
        rule.times = c.times;
        rule.skipNonWorking = c.skip;
        std::vector<HalfDayChange> changes = RepeatChanges(connection, 1, 0, selection, rule, nonWorking);
        std::vector<QDate> mornings;
        for (const HalfDayChange& ch : changes)
            if (ch.half == 1)
                mornings.push_back(ch.date());
        EXPECT_EQ(mornings, c.mornings);
        // Only the afternoon that held something is erased; empty ones stay out of the step.
        const bool eleventh = c.period == RepeatPeriod::Week;
        EXPECT_EQ(std::count_if(changes.begin(), changes.end(), [](const HalfDayChange& ch) { return ch.half == 2; }),
                  eleventh ? 1 : 0);
        const int rows = count(QStringLiteral("1=1"));
        RecordHalfDays(undo, annual, monthly, session(), changes);
        for (const QDate& d : c.mornings)
            EXPECT_EQ(stored(1, d.toString(Qt::ISODate).toLatin1().constData(), 1), 1) << d.toString().toStdString();
        if (eleventh) {
            EXPECT_EQ(stored(1, "2024-03-11", 2), -1);
        }
        undo.undo();
        for (const QDate& d : c.mornings)
            EXPECT_EQ(stored(1, d.toString(Qt::ISODate).toLatin1().constData(), 1), -1);
        EXPECT_EQ(stored(1, "2024-03-11", 2), 2);
        EXPECT_FALSE(undo.canUndo());
        connection.exec(QStringLiteral("DELETE FROM PLANNING WHERE Id_Project=-1"));
        EXPECT_EQ(count(QStringLiteral("1=1")), rows);
    }
    // Day 31 every month leaves out the months without one.
    const qint32 jan31 = static_cast<qint32>(QDate(2024, 1, 31).toJulianDay());
    RepeatRule rule;
    rule.period = RepeatPeriod::Month;
    rule.times = 3;
    std::vector<QDate> dates;
    for (const HalfDayChange& ch : RepeatHalfDays({{1, jan31, -1, 1, 1}}, rule, {}))
        dates.push_back(ch.date());
    EXPECT_EQ(dates, (std::vector<QDate>{QDate(2024, 3, 31)}));
}

// The keyboard: arrows move a cursor shown at the first key, Shift+arrows
// select, Space paints and Backspace erases (AfterChange each), the page
// keys ask for the next or previous year or month; a mouse press hides it.
TEST_F(PatternDbTest, KeyboardCursorInBothViews)
{
    loadYear();
    annual.PaintId = 2;
    int afterChanges = 0, pages = 0;
    QObject::connect(&annual, &TAnnualGraphicPlanning::AfterChange, &annual, [&](QObject*) {
        ++afterChanges;
        SaveAnnualEdit(annual, undo, ctx);
    });
    QObject::connect(&annual, &TAnnualGraphicPlanning::PageRequested, &annual, [&](QObject*, int d) { pages += d; });
    mouse(&annual, QEvent::MouseMove, yearAt(annual, 3, 4, 1), Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(annual.cursor());
    struct Step {
        int key;
        Qt::KeyboardModifiers mods;
        int month, day, half;  // the cursor's half-day afterwards
        int selectedColumns;   // 0: no selection
    };
    const std::vector<Step> steps = {
        {Qt::Key_Right, Qt::NoModifier, 3, 4, 1, 0},  // the first key shows the cursor where the mouse is
        {Qt::Key_Right, Qt::NoModifier, 3, 5, 1, 0},    {Qt::Key_Down, Qt::NoModifier, 3, 5, 2, 0},
        {Qt::Key_Right, Qt::ShiftModifier, 3, 6, 2, 2}, {Qt::Key_Right, Qt::ShiftModifier, 3, 7, 2, 3},
        {Qt::Key_Left, Qt::NoModifier, 3, 6, 2, 0},     {Qt::Key_Up, Qt::NoModifier, 3, 6, 1, 0},
    };
    for (const Step& s : steps) {
        key(&annual, s.key, s.mods);
        ASSERT_TRUE(annual.cursor());
        const YearHit hit = annual.halfDayOf(*annual.cursor());
        EXPECT_EQ(std::tie(hit.month, hit.day, hit.half), std::tie(s.month, s.day, s.half)) << s.key;
        EXPECT_EQ(annual.selection() ? annual.selection()->columns() : 0, s.selectedColumns);
    }
    key(&annual, Qt::Key_Space);
    EXPECT_EQ(afterChanges, 1);
    EXPECT_EQ(stored(1, "2024-03-06", 1), 2);
    EXPECT_EQ(undo.undoText(), QStringLiteral("la peinture d'une demi-journée"));
    key(&annual, Qt::Key_Backspace);
    EXPECT_EQ(stored(1, "2024-03-06", 1), -1);
    EXPECT_EQ(undo.stack().count(), 2);
    key(&annual, Qt::Key_PageDown);
    key(&annual, Qt::Key_PageDown);
    key(&annual, Qt::Key_PageUp);
    EXPECT_EQ(pages, 1);
    mouse(&annual, QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton, Qt::LeftButton);
    mouse(&annual, QEvent::MouseButtonRelease, QPoint(3, 3), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(annual.cursor());

    // The monthly view: down from a morning goes to the afternoon, then the next row.
    loadMonth();
    monthly.PaintId = 1;
    QObject::connect(&monthly, &TMonthlyGraphicPlanning::AfterChange, &monthly,
                     [&](QObject*) { SaveMonthlyEdit(monthly, undo, session()); });
    key(&monthly, Qt::Key_Down);  // shows the cursor on the selected row's first morning
    EXPECT_EQ(monthly.cursor(), (GridPos{0, 0}));
    key(&monthly, Qt::Key_Down);
    key(&monthly, Qt::Key_Down);
    key(&monthly, Qt::Key_Right);
    EXPECT_EQ(monthly.cursor(), (GridPos{2, 1}));
    key(&monthly, Qt::Key_Space);
    EXPECT_EQ(stored(2, "2024-03-02", 1), 1);
    for (int i = 0; i < 40; ++i)
        key(&monthly, Qt::Key_Right);
    EXPECT_EQ(monthly.cursor(), (GridPos{2, 30}));  // stops at the 31st
    key(&monthly, Qt::Key_Down, Qt::ShiftModifier);
    key(&monthly, Qt::Key_Down, Qt::ShiftModifier);  // no third row: stays
    EXPECT_EQ(*monthly.selection(), (GridRect{2, 30, 3, 30}));
    key(&monthly, Qt::Key_Escape);
    EXPECT_FALSE(monthly.selection());
    EXPECT_TRUE(monthly.cursor());
}

// A screen reader's view: both views are tables whose cells name their
// half-day with the legend item's label, in both orientations; the
// keyboard cursor's cell is the focused one.
TEST_F(PatternDbTest, AccessibleNamesOfBothViewsInBothOrientations)
{
    InstallPlanningAccessibility();
    for (int orientation : {0, 1}) {
        SCOPED_TRACE(orientation);
        ctx.orientation = orientation;
        connection.exec(QStringLiteral("DELETE FROM PLANNING"));
        // Tuesday 5 March 2024, afternoon: Tour (orientation 0) or Bruno (1), for object 1.
        orientation == 0 ? row(1, 1, 2, "2024-03-05", 2) : row(1, 2, 1, "2024-03-05", 2);
        const QString label = orientation == 0 ? QStringLiteral("Tour") : QStringLiteral("Bruno");
        ctx.planningType = 0;
        loadYear();
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&annual);
        ASSERT_TRUE(table);
        ASSERT_TRUE(table->tableInterface());
        EXPECT_EQ(table->role(), QAccessible::Table);
        EXPECT_EQ(table->tableInterface()->rowCount(), 24);
        QAccessibleInterface* cell = table->tableInterface()->cellAt(2 * 2 + 1, 4);  // March afternoon, day 5
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("mardi 5 mars 2024, après-midi : ") + label);
        EXPECT_EQ(table->tableInterface()->cellAt(4, 3)->text(QAccessible::Name),
                  QStringLiteral("lundi 4 mars 2024, matin : libre"));
        EXPECT_EQ(table->tableInterface()->cellAt(2, 29)->text(QAccessible::Name), QString());  // no 30 February
        EXPECT_EQ(table->indexOfChild(cell), 5 * 31 + 4);
        EXPECT_EQ(table->child(5 * 31 + 4), cell);

        loadMonth();
        QAccessibleInterface* month = QAccessible::queryAccessibleInterface(&monthly);
        ASSERT_TRUE(month && month->tableInterface());
        EXPECT_EQ(month->tableInterface()->rowCount(), 4);
        EXPECT_EQ(month->tableInterface()->columnCount(), 31);
        EXPECT_EQ(month->tableInterface()->cellAt(1, 4)->text(QAccessible::Name),
                  QStringLiteral("mardi 5 mars 2024, après-midi : ") + label);
        EXPECT_EQ(month->tableInterface()->rowDescription(1),
                  (orientation == 0 ? QStringLiteral("Alice") : QStringLiteral("Pont"))
                      + QStringLiteral(", après-midi"));
        if (orientation == 1)
            continue;  // the cursor below stays shown from the first round
        EXPECT_FALSE(month->focusChild());
        key(&monthly, Qt::Key_Down);
        key(&monthly, Qt::Key_Right);
        ASSERT_TRUE(month->focusChild());
        EXPECT_EQ(month->focusChild()->text(QAccessible::Name), QStringLiteral("samedi 2 mars 2024, matin : libre"));
        EXPECT_TRUE(month->focusChild()->state().focused);
    }
}
