#include "core/Clock.h"
#include "db/DbError.h"
#include "planning/AnnualRenderer.h"
#include "planning/MonthRenderer.h"
#include "planning/PlanningLoader.h"
#include "planning/PlanningWriter.h"

#include "PlanningDbFixture.h"

using namespace planning;
using planning_test::PlanningDbTest;

TEST_F(PlanningDbTest, YearLoaderSkipRulesAndLastRowWins)
{
    row(1, 1, 1, "2024-03-05", 1);
    row(1, 1, 2, "2024-03-05", 1);   // same half-day, later: wins
    row(1, 1, -1, "2024-03-06", 1);  // erased
    row(1, 1, 1, "2024-03-07", -1);  // no half
    row(1, 1, 99, "2024-03-08", 1);  // project gone
    row(1, 2, 1, "2024-03-09", 1);   // another person
    row(1, 1, 1, "2023-12-31", 2);   // another year
    row(2, 1, 1, "2024-03-10", 1);   // another dossier
    row(1, 1, 1, "2024-12-31", 2);
    AnnualModel year;
    FillYearPlanning(year, query, ctx, 2024, 1, -1);
    EXPECT_EQ(year.cells.cell(3, 5, 1).Id, 2);
    EXPECT_EQ(year.cells.cell(3, 5, 1).PenColor, 16711680u);
    EXPECT_EQ(year.cells.cell(3, 5, 1).Style, bsCross);
    EXPECT_EQ(year.cells.cell(12, 31, 2).Id, 1);
    int filled = 0;
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= 31; ++d)
            for (int h = 1; h <= 2; ++h)
                filled += year.cells.cell(m, d, h).Id != -1;
    EXPECT_EQ(filled, 2);
    EXPECT_FALSE(query.IsOpen());

    // An empty dossier gives an empty year.
    PlanningContext other = ctx;
    other.dossierId = 5;
    AnnualModel empty;
    FillYearPlanning(empty, query, other, 2024, 1, -1);
    EXPECT_EQ(empty.cells.cell(3, 5, 1).Id, -1);
}

TEST_F(PlanningDbTest, MonthLoaderBothOrientations)
{
    row(1, 1, 2, "2024-03-05", 1);
    row(1, 2, 1, "2024-03-05", 2);
    row(1, 2, 1, "2024-04-01", 1);  // next month
    row(1, 3, 1, "2024-03-06", 1);  // an object not in the list
    row(1, 1, 1, "2024-03-12", 1);
    row(1, 1, 2, "2024-03-12", 1);   // same half-day, later: wins
    row(1, 1, 99, "2024-03-13", 1);  // project gone
    MonthModel month;
    month.cells.SetMonthDimensions(2, 12, 31, 2);
    FillMonthPlanning(month, query, ctx, persons, projects, 2024, 3);
    EXPECT_EQ(month.cells.cell(0, 3, 5, 1).Id, 2);
    EXPECT_EQ(month.cells.cell(1, 3, 5, 2).Id, 1);
    EXPECT_EQ(month.cells.cell(1, 3, 5, 2).PenColor, 255u);
    EXPECT_EQ(month.cells.cell(1, 4, 1, 1).Id, -1);
    EXPECT_EQ(month.cells.cell(0, 3, 12, 1).Id, 2);
    EXPECT_EQ(month.cells.cell(0, 3, 13, 1).Id, -1);

    // Orientation 1: projects are rows, each half-day takes the person's colours.
    PlanningContext byProject = ctx;
    byProject.orientation = 1;
    MonthModel projectsMonth;
    projectsMonth.cells.SetMonthDimensions(2, 12, 31, 2);
    FillMonthPlanning(projectsMonth, query, byProject, projects, persons, 2024, 3);
    EXPECT_EQ(projectsMonth.cells.cell(1, 3, 5, 1).Id, 1);  // Tour row: Alice
    EXPECT_EQ(projectsMonth.cells.cell(1, 3, 5, 1).PenColor, 65280u);
    EXPECT_EQ(projectsMonth.cells.cell(0, 3, 5, 2).Id, 2);  // Pont row: Bruno
    EXPECT_EQ(projectsMonth.cells.cell(0, 3, 5, 2).Style, bsSolid);
    AnnualModel year;
    FillYearPlanning(year, query, byProject, 2024, -1, 2);
    EXPECT_EQ(year.cells.cell(3, 5, 1).Id, 1);
    EXPECT_EQ(year.cells.cell(3, 5, 1).PenColor, 65280u);
}

TEST_F(PlanningDbTest, MonthlySaveWritesTheRowsObject)
{
    const QStringList four = {MakeEntry(11, 0, 0, 0, {}, {}), MakeEntry(12, 0, 0, 0, {}, {}),
                              MakeEntry(13, 0, 0, 0, {}, {}), MakeEntry(14, 0, 0, 0, {}, {})};
    MonthModel month;
    month.Year = 2024;
    month.cells.SetMonthDimensions(4, 12, 31, 2);
    month.SetMonthCell(3, 3, 15, 2, 1, 255, 0, bsClear);
    month.cells.cell(3, 3, 15, 2).Modified = 1;
    EXPECT_EQ(SaveMonthlyPlanning(month, query, ctx, four, 4), 1);
    EXPECT_EQ(count(QStringLiteral("Id_People=14 AND Id_Project=1 AND DatePlanning='2024-03-15' AND AmPm=2")), 1);
    EXPECT_EQ(month.cells.cell(3, 3, 15, 2).Modified, 0);
}

TEST_F(PlanningDbTest, FailedSaveKeepsTheFlagsAndIsRetried)
{
    AnnualModel year;
    year.Year = 2024;
    for (int d = 1; d <= 3; ++d) {
        year.SetYearCell(2, d, 1, 1, 255, 0, bsClear);
        year.cells.cell(2, d, 1).Modified = 1;
    }
    exec("ALTER TABLE PLANNING RENAME TO PLANNING_AWAY");
    EXPECT_THROW(SaveAnnualPlanning(year, query, ctx), db::DbError);
    EXPECT_EQ(year.cells.cell(2, 1, 1).Modified, 1);
    EXPECT_EQ(year.cells.cell(2, 3, 1).Modified, 1);
    EXPECT_FALSE(connection.inTransaction());
    exec("ALTER TABLE PLANNING_AWAY RENAME TO PLANNING");
    EXPECT_EQ(count(QStringLiteral("1=1")), 0);  // nothing half-written
    EXPECT_EQ(SaveAnnualPlanning(year, query, ctx), 3);
    EXPECT_EQ(count(QStringLiteral("Id_Project=1")), 3);
}
