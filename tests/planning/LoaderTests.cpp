#include "core/Clock.h"
#include "core/Globals.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DbError.h"
#include "db/Schema.h"
#include "planning/PlanningLoader.h"
#include "planning/PlanningWriter.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Sandbox.h"

#include <gtest/gtest.h>

using namespace planning;

namespace {

class PlanningDbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox = std::make_unique<testing_support::Sandbox>(false);
        const QString path = sandbox->root() + QStringLiteral("PLANNING.MDB");
        db::CreateDatabaseFile(path);
        connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
        connection.open();
        query.setConnection(&connection);
        exec("INSERT INTO PEOPLE (Id, Id_File, Name, PenColor, BrushColor, BrushStyle) VALUES (1, 1, 'Alice', 65280, "
             "0, 0)");
        exec("INSERT INTO PEOPLE (Id, Id_File, Name, PenColor, BrushColor, BrushStyle) VALUES (2, 1, 'Bruno', "
             "16711680, 0, 1)");
        exec("INSERT INTO PROJECT (Id, Id_File, Title, PenColor, BrushColor, BrushStyle) VALUES (1, 1, 'Pont', 255, 0, "
             "0)");
        exec("INSERT INTO PROJECT (Id, Id_File, Title, PenColor, BrushColor, BrushStyle) VALUES (2, 1, 'Tour', "
             "16711680, 255, 2)");
        persons = {MakeEntry(1, 65280, 0, 0, QStringLiteral("Alice"), {}),
                   MakeEntry(2, 16711680, 0, 1, QStringLiteral("Bruno"), {})};
        projects = {MakeEntry(1, 255, 0, 0, QStringLiteral("Pont"), {}),
                    MakeEntry(2, 16711680, 255, 2, QStringLiteral("Tour"), {})};
        ctx.dossierId = 1;
        ctx.personId = 1;
        ctx.projectId = 1;
        ctx.year = 2024;
        ctx.month = 3;
    }
    void TearDown() override
    {
        query.Close();
        connection.close();
        sandbox.reset();
    }
    void exec(const char* sql) { connection.exec(QString::fromUtf8(sql)); }
    void row(int file, int people, int project, const char* date, int half)
    {
        connection.exec(QStringLiteral("INSERT INTO PLANNING VALUES (?, ?, ?, ?, ?)"),
                        {file, people, project, QString::fromLatin1(date), half});
    }
    int count(const QString& where)
    {
        return connection.scalar(QStringLiteral("SELECT count(*) FROM PLANNING WHERE ") + where)->toInt();
    }

    std::unique_ptr<testing_support::Sandbox> sandbox;
    db::Connection connection;
    db::Dataset query;
    QStringList persons, projects;
    PlanningContext ctx;
};

}  // namespace

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
    AnnualRenderer year;
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
    AnnualRenderer empty;
    FillYearPlanning(empty, query, other, 2024, 1, -1);
    EXPECT_EQ(empty.cells.cell(3, 5, 1).Id, -1);
}

TEST_F(PlanningDbTest, MonthLoaderBothOrientations)
{
    row(1, 1, 2, "2024-03-05", 1);
    row(1, 2, 1, "2024-03-05", 2);
    row(1, 2, 1, "2024-04-01", 1);  // next month
    row(1, 3, 1, "2024-03-06", 1);  // an object not in the list
    MonthRenderer month;
    month.cells.SetMonthDimensions(2, 12, 31, 2);
    FillMonthPlanning(month, query, ctx, persons, 2024, 3);
    EXPECT_EQ(month.cells.cell(0, 3, 5, 1).Id, 2);
    EXPECT_EQ(month.cells.cell(1, 3, 5, 2).Id, 1);
    EXPECT_EQ(month.cells.cell(1, 3, 5, 2).PenColor, 255u);
    EXPECT_EQ(month.cells.cell(1, 4, 1, 1).Id, -1);

    // Orientation 1: projects are rows, each half-day takes the person's colours.
    PlanningContext byProject = ctx;
    byProject.orientation = 1;
    MonthRenderer projectsMonth;
    projectsMonth.cells.SetMonthDimensions(2, 12, 31, 2);
    FillMonthPlanning(projectsMonth, query, byProject, projects, 2024, 3);
    EXPECT_EQ(projectsMonth.cells.cell(1, 3, 5, 1).Id, 1);  // Tour row: Alice
    EXPECT_EQ(projectsMonth.cells.cell(1, 3, 5, 1).PenColor, 65280u);
    EXPECT_EQ(projectsMonth.cells.cell(0, 3, 5, 2).Id, 2);  // Pont row: Bruno
    EXPECT_EQ(projectsMonth.cells.cell(0, 3, 5, 2).Style, bsSolid);
    AnnualRenderer year;
    FillYearPlanning(year, query, byProject, 2024, -1, 2);
    EXPECT_EQ(year.cells.cell(3, 5, 1).Id, 1);
    EXPECT_EQ(year.cells.cell(3, 5, 1).PenColor, 65280u);
}

TEST_F(PlanningDbTest, AnnualSavesAppendUpdateAndErase)
{
    core::setClock([] { return QDateTime(QDate(2024, 1, 1), QTime(8, 0)); });
    TAnnualGraphicPlanning view;
    view.resize(25 + 37 * 20, 15 + 24 * 15);
    view.show();
    LoadYearPlanning(view, query, ctx, persons, projects, 2024, 1, -1);
    for (int d = 4; d <= 8; ++d)
        view.SetYearCell(3, d, 1, 2, 16711680, 255, bsCross), view.cells.cell(3, d, 1).Modified = 1;
    view.cells.cell(3, 11, 2).Modified = 1;  // erased without a row: a -1 row is added
    EXPECT_EQ(SaveAnnualPlanning(view, query, ctx), 6);
    EXPECT_EQ(count(QStringLiteral("Id_People=1 AND Id_Project=2 AND AmPm=1")), 5);
    EXPECT_EQ(count(QStringLiteral("Id_People=1 AND Id_Project=-1 AND DatePlanning='2024-03-11' AND AmPm=2")), 1);
    EXPECT_EQ(count(QStringLiteral("DatePlanning='2024-03-04' AND Id_File=1")), 1);
    EXPECT_EQ(view.cells.cell(3, 4, 1).Modified, 0);
    EXPECT_EQ(SaveAnnualPlanning(view, query, ctx), 0);  // nothing modified: nothing written

    // Repainting updates the same row.
    view.SetYearCell(3, 4, 1, 1, 255, 0, bsClear);
    view.cells.cell(3, 4, 1).Modified = 1;
    SaveAnnualPlanning(view, query, ctx);
    EXPECT_EQ(count(QStringLiteral("DatePlanning='2024-03-04'")), 1);
    EXPECT_EQ(count(QStringLiteral("DatePlanning='2024-03-04' AND Id_Project=1")), 1);

    // A half-day stored twice shows what was painted after a reload.
    row(1, 1, 1, "2024-03-20", 1);
    row(1, 1, 1, "2024-03-20", 1);
    view.SetYearCell(3, 20, 1, 2, 16711680, 255, bsCross);
    view.cells.cell(3, 20, 1).Modified = 1;
    SaveAnnualPlanning(view, query, ctx);
    EXPECT_EQ(count(QStringLiteral("DatePlanning='2024-03-20' AND Id_Project=2")), 2);

    // Reloading shows what was saved; the erased half-day stays empty.
    LoadYearPlanning(view, query, ctx, persons, projects, 2024, 1, -1);
    EXPECT_EQ(view.cells.cell(3, 4, 1).Id, 1);
    EXPECT_EQ(view.cells.cell(3, 5, 1).Id, 2);
    EXPECT_EQ(view.cells.cell(3, 11, 2).Id, -1);
    EXPECT_EQ(view.cells.cell(3, 20, 1).Id, 2);

    // Orientation 1: the person goes into Id_People, the current project into Id_Project.
    PlanningContext byProject = ctx;
    byProject.orientation = 1;
    byProject.projectId = 2;
    AnnualRenderer year;
    year.Year = 2024;
    year.SetYearCell(5, 1, 2, 2, 0, 0, bsClear);
    year.cells.cell(5, 1, 2).Modified = 1;
    SaveAnnualPlanning(year, query, byProject);
    EXPECT_EQ(count(QStringLiteral("DatePlanning='2024-05-01' AND Id_People=2 AND Id_Project=2 AND AmPm=2")), 1);
    core::setClock({});
}

TEST_F(PlanningDbTest, FailedSaveKeepsTheFlagsAndIsRetried)
{
    AnnualRenderer year;
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

    // Through the view's handler the failure is shown and nothing is lost.
    TAnnualGraphicPlanning view;
    view.Year = 2024;
    view.SetYearCell(2, 9, 1, 1, 255, 0, bsClear);
    view.cells.cell(2, 9, 1).Modified = 1;
    exec("ALTER TABLE PLANNING RENAME TO PLANNING_AWAY");
    ui::ScriptedPrompt prompt;
    AnnualGraphicPlanningAfterChange(view, query, ctx);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().first().kind, ui::MessageKind::Error);
    EXPECT_TRUE(prompt.messages().first().text.contains(QStringLiteral("no such table")));
    EXPECT_EQ(view.cells.cell(2, 9, 1).Modified, 1);
    exec("ALTER TABLE PLANNING_AWAY RENAME TO PLANNING");
    AnnualGraphicPlanningAfterChange(view, query, ctx);
    EXPECT_EQ(count(QStringLiteral("DatePlanning='2024-02-09'")), 1);
}

TEST_F(PlanningDbTest, MonthlySaveWritesTheRowsObject)
{
    const QStringList four = {MakeEntry(11, 0, 0, 0, {}, {}), MakeEntry(12, 0, 0, 0, {}, {}),
                              MakeEntry(13, 0, 0, 0, {}, {}), MakeEntry(14, 0, 0, 0, {}, {})};
    MonthRenderer month;
    month.Year = 2024;
    month.cells.SetMonthDimensions(4, 12, 31, 2);
    month.SetMonthCell(3, 3, 15, 2, 1, 255, 0, bsClear);
    month.cells.cell(3, 3, 15, 2).Modified = 1;
    EXPECT_EQ(SaveMonthlyPlanning(month, query, ctx, four, 4), 1);
    EXPECT_EQ(count(QStringLiteral("Id_People=14 AND Id_Project=1 AND DatePlanning='2024-03-15' AND AmPm=2")), 1);
    EXPECT_EQ(month.cells.cell(3, 3, 15, 2).Modified, 0);
}
