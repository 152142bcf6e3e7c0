#include "core/Clock.h"
#include "planning/PlanningUndo.h"
#include "planning/PlanningViews.h"
#include "planning/PlanningWriter.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "ui/ScriptedPrompt.h"

#include "PlanningDbFixture.h"

using namespace planning;

namespace {

// The views' loaders read the lists from the main window's session.
class PlanningViewDbTest : public planning_test::PlanningDbTest {
protected:
    PlanningSession session() const
    {
        PlanningSession s;
        s.ctx = ctx;
        s.persons.entries = persons;
        s.projects.entries = projects;
        return s;
    }
};

}  // namespace

TEST_F(PlanningViewDbTest, AnnualSavesAppendUpdateAndErase)
{
    core::setClock([] { return QDateTime(QDate(2024, 1, 1), QTime(8, 0)); });
    TAnnualGraphicPlanning view;
    view.resize(25 + 37 * 20, 15 + 24 * 15);
    view.show();
    LoadYearPlanning(view, query, session(), 2024, 1, -1);
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
    LoadYearPlanning(view, query, session(), 2024, 1, -1);
    EXPECT_EQ(view.cells.cell(3, 4, 1).Id, 1);
    EXPECT_EQ(view.cells.cell(3, 5, 1).Id, 2);
    EXPECT_EQ(view.cells.cell(3, 11, 2).Id, -1);
    EXPECT_EQ(view.cells.cell(3, 20, 1).Id, 2);

    // Orientation 1: the person goes into Id_People, the current project into Id_Project.
    PlanningContext byProject = ctx;
    byProject.orientation = 1;
    byProject.projectId = 2;
    AnnualModel year;
    year.Year = 2024;
    year.SetYearCell(5, 1, 2, 2, 0, 0, bsClear);
    year.cells.cell(5, 1, 2).Modified = 1;
    SaveAnnualPlanning(year, query, byProject);
    EXPECT_EQ(count(QStringLiteral("DatePlanning='2024-05-01' AND Id_People=2 AND Id_Project=2 AND AmPm=2")), 1);
    core::setClock({});
}

TEST_F(PlanningViewDbTest, FailedSaveThroughTheHandlerIsShownAndRetried)
{
    // Through the view's handler the failure is shown and nothing is lost.
    TAnnualGraphicPlanning view;
    view.Year = 2024;
    view.SetYearCell(2, 9, 1, 1, 255, 0, bsClear);
    view.cells.cell(2, 9, 1).Modified = 1;
    view.pending.record(AnnualModel::YearKey(2, 9, 1), -1);  // empty before the gesture
    exec("ALTER TABLE PLANNING RENAME TO PLANNING_AWAY");
    ui::ScriptedPrompt prompt;
    PlanningUndo undo;
    undo.setDossier(&connection, ctx.dossierId, ctx.orientation);
    SaveAnnualEdit(view, undo, ctx);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().first().kind, ui::MessageKind::Error);
    EXPECT_TRUE(prompt.messages().first().text.contains(QStringLiteral("no such table")));
    EXPECT_EQ(view.cells.cell(2, 9, 1).Modified, 1);
    EXPECT_FALSE(undo.canUndo());  // no step for what was not written
    exec("ALTER TABLE PLANNING_AWAY RENAME TO PLANNING");
    SaveAnnualEdit(view, undo, ctx);
    EXPECT_EQ(undo.undoText(), QStringLiteral("la peinture d'une demi-journée"));
    EXPECT_EQ(count(QStringLiteral("DatePlanning='2024-02-09'")), 1);
}
