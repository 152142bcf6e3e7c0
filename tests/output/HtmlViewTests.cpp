#include "HtmlFixture.h"

#include "db/TDataModule1.h"
#include "output/HtmlCommands.h"
#include "output/HtmlListPages.h"
#include "output/HtmlPlanningPages.h"
#include "output/THtmlView.h"
#include "planning/PlanningLoader.h"
#include "planning/PlanningSession.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "ui/ScriptedPrompt.h"

#include "../support/FrameCheck.h"

#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace output_test {

using namespace output;

namespace {

// Runs a script in the page and waits for its result.
QVariant evaluate(QWebEngineView* view, const QString& script)
{
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    (void)QTest::qWaitFor([&] { return done; }, 10000);
    return result;
}

}  // namespace

TEST_F(HtmlTest, PreviewLoadsThePageWithItsPicturesAndPrintsToPdf)
{
    WritePersonListPage(query, work(), 1, QString());
    THtmlView view;
    view.setPageFile(work() + QStringLiteral("index.htm"));
    view.setTitleText(QStringLiteral(" Liste des personnes"));
    QSignalSpy loaded(&view, &THtmlView::pageLoaded);
    view.show();
    ASSERT_TRUE(loaded.wait(30000) || loaded.size() > 0) << "the web view did not load the page";
    ASSERT_TRUE(loaded.first().first().toBool());
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Liste des personnes"));
    const QString pictures =
        QStringLiteral("Array.from(document.images).map(i => i.complete && i.naturalWidth > 0 ? 1 : 0).join('')");
    QString states;
    (void)QTest::qWaitFor(
        [&] {
            states = evaluate(view.browser(), pictures).toString();
            return !states.isEmpty() && !states.contains(QLatin1Char('0'));
        },
        10000);
    EXPECT_EQ(states, QStringLiteral("1111")) << states.toStdString();  // two thumbnails, two swatches
    // The texts are read as Windows-1252 and escaped record texts stay text.
    EXPECT_TRUE(evaluate(view.browser(), QStringLiteral("document.body.innerText"))
                    .toString()
                    .contains(QStringLiteral("Dupont & Fils <R&D>")));
    EXPECT_TRUE(evaluate(view.browser(), QStringLiteral("document.body.innerText"))
                    .toString()
                    .contains(QStringLiteral("Téléphone")));

    // A pop-up opens in a window of its own.
    evaluate(view.browser(), QStringLiteral("document.links[0].click(); 1"));
    (void)QTest::qWaitFor([&] { return !view.popupWindows().isEmpty(); }, 10000);
    ASSERT_EQ(view.popupWindows().size(), 1);
    // Above the modal preview, so it takes input and can be closed.
    EXPECT_EQ(view.popupWindows().first()->parentWidget(), &view);
    EXPECT_TRUE(view.popupWindows().first()->isWindow());

    const QString pdf = sandbox->root() + QStringLiteral("page.pdf");
    QSignalSpy printed(&view, &THtmlView::printed);
    auto* printButton = view.findChild<QPushButton*>(QStringLiteral("ImprimerBtn"));
    EXPECT_TRUE(view.printToPdf(pdf));
    // A second print cannot start while the first runs.
    EXPECT_FALSE(view.printToPdf(sandbox->root() + QStringLiteral("again.pdf")));
    EXPECT_FALSE(printButton->isEnabled());
    ASSERT_TRUE(printed.wait(30000) || printed.size() > 0);
    EXPECT_EQ(printed.size(), 1);
    EXPECT_TRUE(printButton->isEnabled());
    EXPECT_FALSE(QFileInfo::exists(sandbox->root() + QStringLiteral("again.pdf")));
    EXPECT_TRUE(printed.first().first().toBool());
    const QByteArray bytes = testing_support::Sandbox::readFile(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF")) << bytes.left(8).toStdString();
    EXPECT_GT(bytes.size(), 2000);
}

TEST_F(HtmlTest, SavingACopyTakesThePicturesAndPopUpPages)
{
    ctx.planningType = 1;
    planning::MonthModel month;
    month.SetMonthDimensions(2, 12, 31, 2);
    month.Year = 2024;
    month.Month = 3;
    WriteMonthlyPlanningPage(query, work(), PlanningPageTitle(ctx), month, ctx, persons, projects);
    const QString target = sandbox->root() + QStringLiteral("copie/planning.htm");
    QDir().mkpath(sandbox->root() + QStringLiteral("copie"));
    QString error;
    ASSERT_TRUE(THtmlView::SaveHtmlCopy(work(), target, &error)) << error.toStdString();
    const QDir copy(sandbox->root() + QStringLiteral("copie"));
    EXPECT_TRUE(copy.exists(QStringLiteral("planning1.jpg")));
    EXPECT_TRUE(copy.exists(QStringLiteral("objectimg1.htm")));
    EXPECT_TRUE(copy.exists(QStringLiteral("objectimgfullsize1.jpg")));
    EXPECT_FALSE(copy.exists(QStringLiteral("index.htm")));
    EXPECT_EQ(testing_support::Sandbox::readFile(target),
              testing_support::Sandbox::readFile(work() + QStringLiteral("index.htm")));
    // Into the work directory itself: every file onto itself.
    EXPECT_TRUE(THtmlView::SaveHtmlCopy(work(), work() + QStringLiteral("index.htm"), &error));
    // Without a page: nothing copied, and a failure, not a success.
    QFile::remove(work() + QStringLiteral("index.htm"));
    EXPECT_FALSE(THtmlView::SaveHtmlCopy(work(), sandbox->root() + QStringLiteral("vide/x.htm"), &error));
}

namespace {

// A printer that says when it is freed.
class TrackedPrinter : public QPrinter {
public:
    TrackedPrinter(bool* freed, const QString& file) : m_freed(freed)
    {
        setOutputFormat(QPrinter::PdfFormat);
        setOutputFileName(file);
    }
    ~TrackedPrinter() override { *m_freed = true; }

private:
    bool* m_freed;
};

}  // namespace

TEST_F(HtmlTest, ClosingDuringAPrintWaitsForItAndFreesThePrinter)
{
    WritePersonListPage(query, work(), 1, QString());
    // Closed with Fermer while printing: it closes when the print ends.
    bool freed = false;
    {
        THtmlView view;
        view.setPageFile(work() + QStringLiteral("index.htm"));
        QSignalSpy loaded(&view, &THtmlView::pageLoaded);
        view.show();
        ASSERT_TRUE(loaded.wait(30000) || loaded.size() > 0);
        QSignalSpy printed(&view, &THtmlView::printed);
        view.printWith(std::make_unique<TrackedPrinter>(&freed, sandbox->root() + QStringLiteral("p.pdf")));
        EXPECT_TRUE(view.printing());
        view.findChild<QPushButton*>(QStringLiteral("Btn_Close"))->click();
        EXPECT_TRUE(view.isVisible());
        ASSERT_TRUE(printed.wait(30000) || printed.size() > 0);
        EXPECT_TRUE(freed);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !view.isVisible(); }, 5000));
        EXPECT_EQ(view.result(), int(QDialog::Rejected));
    }
    // Freed while printing: the print ends first, and the printer goes too.
    freed = false;
    {
        THtmlView view;
        view.setPageFile(work() + QStringLiteral("index.htm"));
        QSignalSpy loaded(&view, &THtmlView::pageLoaded);
        view.show();
        ASSERT_TRUE(loaded.wait(30000) || loaded.size() > 0);
        view.printWith(std::make_unique<TrackedPrinter>(&freed, sandbox->root() + QStringLiteral("q.pdf")));
    }
    EXPECT_TRUE(freed);
}

TEST_F(HtmlTest, SavingAsksOnceBeforeReplacingTheUsersFiles)
{
    ctx.planningType = 1;
    planning::MonthModel month;
    month.SetMonthDimensions(2, 12, 31, 2);
    month.Year = 2024;
    month.Month = 3;
    WriteMonthlyPlanningPage(query, work(), PlanningPageTitle(ctx), month, ctx, persons, projects);
    const QString dir = sandbox->root() + QStringLiteral("mes pages/");
    QDir().mkpath(dir);
    testing_support::Sandbox::writeFile(dir + QStringLiteral("planning1.jpg"), "photo de vacances");
    testing_support::Sandbox::writeFile(dir + QStringLiteral("objectimg1.htm"), "ma page");
    EXPECT_EQ(THtmlView::FilesReplacedBySave(work(), dir + QStringLiteral("planning.htm")),
              QStringList({QStringLiteral("objectimg1.htm"), QStringLiteral("planning1.jpg")}));
    THtmlView view;
    view.setPageFile(work() + QStringLiteral("index.htm"));
    ui::ScriptedPrompt prompt;
    // "Non": nothing is copied, the user's files stay.
    prompt.setNextFileName(dir + QStringLiteral("planning.htm"));
    prompt.setNextAnswer(ui::Answer::No);
    view.HtmlBtnClick();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().first().kind, ui::MessageKind::Confirmation);
    EXPECT_TRUE(prompt.messages().first().text.contains(QStringLiteral("objectimg1.htm, planning1.jpg")));
    EXPECT_EQ(testing_support::Sandbox::readFile(dir + QStringLiteral("planning1.jpg")), "photo de vacances");
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("planning.htm")));
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("objectimgfullsize1.jpg")));
    // "Oui": one question for all, then everything is copied.
    prompt.clear();
    prompt.setNextFileName(dir + QStringLiteral("planning.htm"));
    prompt.setNextAnswer(ui::Answer::Yes);
    view.HtmlBtnClick();
    EXPECT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(testing_support::Sandbox::readFile(dir + QStringLiteral("planning1.jpg")),
              testing_support::Sandbox::readFile(work() + QStringLiteral("planning1.jpg")));
    EXPECT_TRUE(QFileInfo::exists(dir + QStringLiteral("planning.htm")));
    // Into an empty folder: no question.
    prompt.clear();
    prompt.setNextFileName(sandbox->root() + QStringLiteral("vide/planning.htm"));
    QDir().mkpath(sandbox->root() + QStringLiteral("vide"));
    view.HtmlBtnClick();
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(sandbox->root() + QStringLiteral("vide/planning.htm")));
}

TEST(HtmlView, KeepsItsDesignSizeInBothFrameModes)
{
    for (bool system : {false, true}) {
        core::globals().nativeFrame = system;
        THtmlView view;
        view.setTitleText(QStringLiteral(" Planning"));
        testing_support::ExpectFramedWindow(&view, {720, 488}, system, QStringLiteral("HtmlView"));
    }
    core::globals().nativeFrame = false;
}

class HtmlCommandTest : public HtmlTest {
protected:
    void SetUp() override
    {
        HtmlTest::SetUp();
        ASSERT_EQ(dm.OpenMainConnection(), QString());
        session.ctx = ctx;
        session.persons.entries = persons;
        session.projects.entries = projects;
        annual.Year = 2024;
        annual.Legend = projects;
        planning::FillYearPlanning(annual, query, ctx, 2024, 1, -1);
    }
    void TearDown() override
    {
        dm.ADOConnection1.close();
        HtmlTest::TearDown();
    }

    db::TDataModule1 dm;
    planning::PlanningSession session;
    planning::TAnnualGraphicPlanning annual;
    planning::TMonthlyGraphicPlanning monthly;
};

TEST_F(HtmlCommandTest, PlanningCommandShowsThePageInThePreview)
{
    ui::ScriptedPrompt prompt;
    QString shownFile, shownTitle;
    prompt.setNextDialogHandler([&](QDialog* d) {
        auto* view = qobject_cast<THtmlView*>(d);
        shownFile = view->pageFile();
        shownTitle = view->titleLabel()->text();
        return 0;
    });
    HtmlCommands commands(dm, nullptr, session, annual, monthly, [] { return 0; });
    commands.Popup_Html_PlanningClick();
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(shownFile, work() + QStringLiteral("index.htm"));
    EXPECT_EQ(shownTitle, QStringLiteral(" Planning"));
    EXPECT_TRUE(QFileInfo::exists(work() + QStringLiteral("planning.jpg")));
    EXPECT_TRUE(QFileInfo::exists(work() + QStringLiteral("img1.htm")));
}

TEST_F(HtmlCommandTest, ListCommandsShowTheirPagesWithTheirTitles)
{
    for (bool personList : {true, false}) {
        ui::ScriptedPrompt prompt;
        QString shownTitle;
        prompt.setNextDialogHandler([&](QDialog* d) {
            shownTitle = qobject_cast<THtmlView*>(d)->titleLabel()->text();
            return 0;
        });
        HtmlCommands commands(dm, nullptr, session, annual, monthly, [] { return 0; });
        if (personList)
            commands.Popup_Html_List_PeopleClick();
        else
            commands.Popup_Html_List_ProjectClick();
        EXPECT_EQ(shownTitle,
                  personList ? QStringLiteral(" Liste des personnes") : QStringLiteral(" Liste des projets"));
        EXPECT_TRUE(prompt.messages().isEmpty());
    }
}

TEST_F(HtmlCommandTest, AFailureIsToldInFrenchAndNothingIsPreviewed)
{
    testing_support::Sandbox::writeFile(core::globals().dataRoot + QStringLiteral("Html"), "pas un dossier");
    ui::ScriptedPrompt prompt;
    bool shown = false;
    prompt.setNextDialogHandler([&](QDialog*) {
        shown = true;
        return 0;
    });
    EXPECT_FALSE(ShowPersonListPage(dm, 1, nullptr));
    EXPECT_FALSE(shown);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages()[0].kind, ui::MessageKind::Error);
    EXPECT_TRUE(prompt.messages()[0].text.startsWith(QStringLiteral("Impossible de créer le répertoire")));
}

}  // namespace output_test
