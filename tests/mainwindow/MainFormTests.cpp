#include "core/Clock.h"
#include "core/Globals.h"
#include "core/IniFile.h"
#include "db/Schema.h"
#include "db/TDataModule1.h"
#include "db/TDataModuleObject.h"
#include "mainwindow/TMainForm.h"
#include "mainwindow/TRepeatDialog.h"
#include "planning/PlanningUndo.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "ui/ScriptedPrompt.h"
#include "ui/TDrawGrid.h"
#include "ui/TPopupMenuMod.h"

#include "../support/Sandbox.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <set>

using mainwindow::TMainForm;

namespace {

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox = std::make_unique<testing_support::Sandbox>(false);
        core::Globals& g = core::globals();
        g.dataRoot = sandbox->root();
        g.settingsFileName = QStringLiteral("planning.ini");
        g.dataDir = sandbox->root() + QStringLiteral("Data/");
        QDir().mkpath(g.dataDir + QStringLiteral("Access"));
        db::CreateDatabaseFile(g.dataDir + QStringLiteral("Access/PLANNING.MDB"));
        core::setClock([] { return QDateTime(QDate(2009, 1, 20), QTime(9, 0)); });
        dm = std::make_unique<db::TDataModule1>();
        ASSERT_EQ(dm->OpenMainConnection(), QString());
        store = std::make_unique<db::TDataModuleObject>(dm->ADOConnection1);
    }
    void TearDown() override
    {
        form.reset();
        store.reset();
        dm.reset();
        core::setClock({});
        sandbox.reset();
    }
    void exec(const QString& sql, const QVariantList& v = {}) { dm->ADOConnection1.exec(sql, v); }
    void dossier(const QString& name, const QString& password = {}, int mode = 0)
    {
        exec(QStringLiteral("INSERT INTO PROFILES (LoginName, LoginPassword, PlanningMode) VALUES (?, ?, ?)"),
             {name, password, mode});
    }
    void person(int file, const QString& name)
    {
        exec(QStringLiteral(
                 "INSERT INTO PEOPLE (Id_File, Name, PenColor, BrushColor, BrushStyle) VALUES (?, ?, 255, 0, 1)"),
             {file, name});
    }
    void project(int file, const QString& title)
    {
        exec(QStringLiteral(
                 "INSERT INTO PROJECT (Id_File, Title, PenColor, BrushColor, BrushStyle) VALUES (?, ?, 65280, 0, 1)"),
             {file, title});
    }
    void create()
    {
        form = std::make_unique<TMainForm>(*dm, *store);
        form->resize(1000, 700);
        form->show();
    }
    bool visible(const char* name) { return form->findChild<QWidget*>(QString::fromLatin1(name))->isVisible(); }
    QString planningText() { return form->findChild<QLabel*>(QStringLiteral("Lab_Planning"))->text(); }
    bool enabled(const char* action) { return form->action(QString::fromLatin1(action))->isEnabled(); }
    int count(const QString& sql) { return dm->ADOConnection1.scalar(sql)->toInt(); }

    std::unique_ptr<testing_support::Sandbox> sandbox;
    std::unique_ptr<db::TDataModule1> dm;
    std::unique_ptr<db::TDataModuleObject> store;
    std::unique_ptr<TMainForm> form;
    ui::ScriptedPrompt prompt;
};

}  // namespace

TEST_F(MainFormTest, MenuStatesFollowTheDossier)
{
    create();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quillmark Planning 1.34"));
    EXPECT_TRUE(enabled("Popup_File_Add"));
    EXPECT_FALSE(enabled("Popup_File_Open"));  // no dossier at all
    EXPECT_FALSE(enabled("Popup_File_Close"));
    EXPECT_FALSE(form->findChild<QToolButton*>(QStringLiteral("ToolButton_Display"))->isEnabled());
    EXPECT_EQ(planningText(), QStringLiteral("Vous devez ouvrir ou créer un dossier"));
    EXPECT_FALSE(visible("AnnualGraphicPlanning"));
    EXPECT_FALSE(visible("Pan_Year"));
    EXPECT_FALSE(form->findChild<QWidget*>(QStringLiteral("Grid_Object"))->isEnabled());

    const struct {
        bool persons, projects;
        const char* text;
    } cases[] = {{false, false, "Vous devez créer \nune personne et un projet"},
                 {true, false, "Vous devez créer un projet"},
                 {false, true, "Vous devez créer une personne"}};
    int n = 0;
    for (const auto& c : cases) {
        dossier(QStringLiteral("D%1").arg(++n));
        if (c.persons)
            person(n, QStringLiteral("Alice"));
        if (c.projects)
            project(n, QStringLiteral("Pont"));
        form->OpenDossierDisplay(n, 0, QStringLiteral("D%1").arg(n));
        EXPECT_EQ(planningText(), QString::fromUtf8(c.text));
        EXPECT_FALSE(visible("AnnualGraphicPlanning"));
        EXPECT_FALSE(enabled("Popup_File_Add"));
        EXPECT_TRUE(enabled("Popup_File_Delete"));
        EXPECT_TRUE(visible("Pan_Year"));
        form->CloseDossierDisplay(true);
    }
    dossier(QStringLiteral("Complet"));
    person(4, QStringLiteral("Alice"));
    project(4, QStringLiteral("Pont"));
    form->OpenDossierDisplay(4, 0, QStringLiteral("Complet"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quillmark Planning 1.34 - Complet"));
    EXPECT_TRUE(visible("AnnualGraphicPlanning"));
    EXPECT_FALSE(visible("Pan_Month"));
    EXPECT_TRUE(form->action(QStringLiteral("Popup_Display_Annual"))->isChecked());
    EXPECT_TRUE(enabled("Popup_Grid_Object_Delete"));
    EXPECT_TRUE(enabled("Popup_Grid_Object_Add"));
    form->Popup_Display_MonthlyClick();
    EXPECT_TRUE(visible("MonthlyGraphicPlanning"));
    EXPECT_FALSE(visible("AnnualGraphicPlanning"));
    EXPECT_TRUE(visible("Pan_Month"));
    EXPECT_TRUE(visible("Pan_Object_Top"));
    EXPECT_TRUE(form->action(QStringLiteral("Popup_Display_Monthly"))->isChecked());
}

TEST_F(MainFormTest, HtmlMenuFollowsTheDossierAndShowsThePage)
{
    create();
    auto* menuHtml = form->findChild<QToolButton*>(QStringLiteral("Menu_Html"));
    auto* btnHtml = form->findChild<QToolButton*>(QStringLiteral("Btn_Html"));
    ASSERT_TRUE(menuHtml && btnHtml);
    EXPECT_FALSE(menuHtml->isEnabled());
    EXPECT_FALSE(btnHtml->isEnabled());

    dossier(QStringLiteral("Sans projet"));
    person(1, QStringLiteral("Alice"));
    form->OpenDossierDisplay(1, 0, QStringLiteral("Sans projet"));
    EXPECT_TRUE(menuHtml->isEnabled());
    EXPECT_TRUE(btnHtml->isEnabled());
    EXPECT_FALSE(enabled("Popup_Html_Planning"));  // no view shown
    EXPECT_TRUE(enabled("Popup_Html_List_People"));
    EXPECT_TRUE(enabled("Popup_Html_List_Project"));
    form->CloseDossierDisplay(true);

    dossier(QStringLiteral("Complet"));
    person(2, QStringLiteral("Bruno"));
    project(2, QStringLiteral("Pont"));
    form->OpenDossierDisplay(2, 0, QStringLiteral("Complet"));
    EXPECT_TRUE(enabled("Popup_Html_Planning"));
    QString shownTitle;
    prompt.setNextDialogHandler([&](QDialog* d) {
        shownTitle = d->findChild<QLabel*>(QStringLiteral("Title"))->text();
        return 0;
    });
    form->action(QStringLiteral("Popup_Html_Planning"))->trigger();
    EXPECT_EQ(shownTitle, QStringLiteral(" Planning"));
    EXPECT_TRUE(prompt.messages().isEmpty());
    const QString page = QString::fromLatin1(
        testing_support::Sandbox::readFile(core::globals().dataRoot + QStringLiteral("Html/Temp/index.htm")));
    EXPECT_TRUE(page.contains(QStringLiteral("&nbsp;Bruno<br>")));
    EXPECT_TRUE(page.contains(QStringLiteral("&nbsp;&nbsp;Pont")));
}

TEST_F(MainFormTest, NavigationAndStoredDisplayChoices)
{
    dossier(QStringLiteral("A"));
    dossier(QStringLiteral("B"));
    for (int d : {1, 2}) {
        person(d, QStringLiteral("Alice"));
        project(d, QStringLiteral("Pont"));
    }
    create();  // the first dossier has no password: it opens at once
    EXPECT_EQ(form->context().dossierId, 1);
    EXPECT_EQ(form->context().planningType, 0);
    EXPECT_FALSE(form->context().showDayNumber);
    auto* year = form->findChild<QLabel*>(QStringLiteral("Lab_Year"));
    auto* month = form->findChild<QLabel*>(QStringLiteral("Lab_Month"));
    EXPECT_EQ(year->text(), QStringLiteral("2009"));
    EXPECT_EQ(month->text(), QStringLiteral("Janvier"));
    form->Btn_Month_DecClick();
    EXPECT_EQ(year->text(), QStringLiteral("2008"));
    EXPECT_EQ(month->text(), QStringLiteral("Décembre"));
    form->Btn_Month_IncClick();
    EXPECT_EQ(year->text(), QStringLiteral("2009"));
    EXPECT_EQ(month->text(), QStringLiteral("Janvier"));

    form->Btn_PlanningTypeClick();
    form->Popup_Display_DaysNumbersClick();
    form->CloseDossierDisplay(true);
    form->OpenDossierDisplay(2, 0, QStringLiteral("B"));
    EXPECT_EQ(form->context().planningType, 0);  // never opened before: annual, no numbers
    EXPECT_FALSE(form->context().showDayNumber);
    EXPECT_EQ(form->context().month, 1);  // year and month stay
    form->CloseDossierDisplay(true);
    form->OpenDossierDisplay(1, 0, QStringLiteral("A"));
    EXPECT_EQ(form->context().planningType, 1);
    EXPECT_TRUE(form->context().showDayNumber);
    EXPECT_TRUE(form->findChild<planning::TMonthlyGraphicPlanning*>()->ShowDayNumber());

    // Closing the window stores the choices and writes the settings file.
    form->close();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_VAL_INT WHERE USERID=1 AND Value=1")), 1);
    core::IniFile ini;
    ASSERT_TRUE(ini.load(sandbox->root() + QStringLiteral("planning.ini")));
    EXPECT_EQ(ini.value(QStringLiteral("Properties"), QStringLiteral("FirstLaunch")), QStringLiteral("0"));
    EXPECT_NE(ini.value(QStringLiteral("Windows"), QStringLiteral("Width")), QStringLiteral("-1"));
}

TEST_F(MainFormTest, LegendSelectionPaintsAndSaves)
{
    dossier(QStringLiteral("A"));
    person(1, QStringLiteral("Alice"));
    for (int i = 1; i <= 7; ++i)
        project(1, QStringLiteral("Projet %1").arg(i));
    create();
    auto* key = form->findChild<ui::TDrawGrid*>(QStringLiteral("Grid_Key"));
    EXPECT_EQ(key->RowCount(), 3);
    auto* annual = form->findChild<planning::TAnnualGraphicPlanning*>();
    EXPECT_EQ(annual->PaintId, 1);  // the first legend item
    key->select(2, 1);
    form->Grid_KeyClick();
    EXPECT_EQ(annual->PaintId, 6);
    // An empty cell sets no paint: the previous paint and its cell come back.
    key->select(1, 2);
    form->Grid_KeyClick();
    EXPECT_EQ(annual->PaintId, 6);
    EXPECT_EQ(key->Col(), 2);
    EXPECT_EQ(key->Row(), 1);

    // A press and release on the 5 January morning writes the row.
    const int column = annual->firstColumn(1) + 5 - 1;
    const QPoint pos(annual->leftMargin() + (column - 1) * annual->cellWidth() + annual->cellWidth() / 2,
                     annual->topMargin() + annual->halfRowHeight() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), annual->mapToGlobal(QPointF(pos)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(annual, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), annual->mapToGlobal(QPointF(pos)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(annual, &release);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_People=1 AND Id_Project=6 AND "
                                   "DatePlanning='2009-01-05' AND AmPm=1")),
              1);

    // Deleting the selected person asks first; No changes nothing.
    form->Popup_Grid_Object_DeleteClick();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE")), 1);
    prompt.setNextAnswer(ui::Answer::Yes);
    form->Popup_Grid_Object_DeleteClick();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING")), 0);
    EXPECT_EQ(planningText(), QStringLiteral("Vous devez créer une personne"));
}

TEST_F(MainFormTest, TypicalRoadSurvivesARestart)
{
    create();
    // Create a dossier: it opens at once.
    prompt.setNextDialogHandler([](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("Ed_File"))->setText(QStringLiteral("Atelier"));
        d->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->click();
        return d->result();
    });
    form->action(QStringLiteral("Popup_File_Add"))->trigger();
    ASSERT_EQ(form->context().dossierId, 1);
    auto named = [](const QString& field, const QString& value) {
        return [field, value](QDialog* d) {
            d->findChild<QLineEdit*>(field)->setText(value);
            d->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->click();
            return d->result();
        };
    };
    prompt.setNextDialogHandler(named(QStringLiteral("Ed_Name"), QStringLiteral("Alice")));
    form->Popup_Grid_Object_AddClick();
    prompt.setNextDialogHandler(named(QStringLiteral("Ed_Title"), QStringLiteral("Pont")));
    form->Popup_Grid_Key_AddClick();
    EXPECT_EQ(form->persons().entries.size(), 1);
    EXPECT_EQ(form->projects().entries.size(), 1);
    auto* annual = form->findChild<planning::TAnnualGraphicPlanning*>();
    ASSERT_TRUE(annual->isVisible());
    EXPECT_EQ(annual->PaintId, 1);

    // Paint three half-days of February by dragging, erase one with the right button.
    auto at = [annual](int day) {
        const int column = annual->firstColumn(2) + day - 1;
        return QPoint(annual->leftMargin() + (column - 1) * annual->cellWidth() + annual->cellWidth() / 2,
                      annual->topMargin() + 2 * annual->halfRowHeight() + annual->halfRowHeight() / 2);
    };
    auto send = [annual](QEvent::Type t, QPoint p, Qt::MouseButton b, Qt::MouseButtons bs) {
        QMouseEvent e(t, QPointF(p), annual->mapToGlobal(QPointF(p)), b, bs, Qt::NoModifier);
        QApplication::sendEvent(annual, &e);
    };
    send(QEvent::MouseButtonPress, at(2), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, at(3), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, at(4), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, at(4), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseButtonPress, at(3), Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseButtonRelease, at(3), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_Project=1")), 2);
    form->Popup_Display_MonthlyClick();
    form->close();
    form.reset();

    // Restart: the dossier opens by itself in the monthly mode with the same cells.
    create();
    EXPECT_EQ(form->context().dossierId, 1);
    EXPECT_EQ(form->context().planningType, 1);
    auto* monthly = form->findChild<planning::TMonthlyGraphicPlanning*>();
    ASSERT_TRUE(monthly->isVisible());
    form->Btn_Month_IncClick();  // January 2009 -> February
    EXPECT_EQ(monthly->cells.cell(0, 2, 2, 1).Id, 1);
    EXPECT_EQ(monthly->cells.cell(0, 2, 3, 1).Id, -1);
    EXPECT_EQ(monthly->cells.cell(0, 2, 4, 1).Id, 1);
}

TEST_F(MainFormTest, ArrowKeysMoveThePaintAndBothFrameModes)
{
    dossier(QStringLiteral("A"));
    person(1, QStringLiteral("Alice"));
    for (int i = 1; i <= 4; ++i)
        project(1, QStringLiteral("Projet %1").arg(i));
    core::globals().nativeFrame = false;  // the drawn frame
    create();
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form->findChild<QWidget*>(QStringLiteral("TitleBar"))->isVisible());
    auto* key = form->findChild<ui::TDrawGrid*>(QStringLiteral("Grid_Key"));
    auto* annual = form->findChild<planning::TAnnualGraphicPlanning*>();
    EXPECT_EQ(annual->PaintId, 1);
    key->setFocus();
    QTest::keyClick(key, Qt::Key_Right);
    EXPECT_EQ(annual->PaintId, 2);  // the paint follows when the key is released
    QTest::keyClick(key, Qt::Key_Down);
    EXPECT_EQ(annual->PaintId, 2);  // no item below: the paint and its cell stay
    EXPECT_EQ(key->Col(), 1);
    EXPECT_EQ(key->Row(), 0);
    form.reset();

    core::globals().nativeFrame = true;  // the system's frame
    create();
    EXPECT_FALSE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(form->findChild<QWidget*>(QStringLiteral("TitleBar"))->isVisible());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quillmark Planning 1.34 - A"));
}

TEST_F(MainFormTest, MonthlyRowClickMakesTheObjectCurrent)
{
    dossier(QStringLiteral("A"));
    person(1, QStringLiteral("Alice"));
    person(1, QStringLiteral("Bruno"));
    project(1, QStringLiteral("Pont"));
    create();
    form->Popup_Display_MonthlyClick();
    auto* monthly = form->findChild<planning::TMonthlyGraphicPlanning*>();
    auto* grid = form->findChild<ui::TDrawGrid*>(QStringLiteral("Grid_Object"));
    ASSERT_TRUE(monthly->isVisible());
    // A click in the name strip of Bruno's row selects him without painting.
    QTest::mouseClick(monthly, Qt::LeftButton, Qt::NoModifier, QPoint(5, 50 + 5));
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(monthly->Row(), 1);
    EXPECT_EQ(form->context().personId, 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING")), 0);

    // Back in the annual mode the year is Bruno's and painting writes his rows.
    form->Popup_Display_AnnualClick();
    auto* annual = form->findChild<planning::TAnnualGraphicPlanning*>();
    ASSERT_TRUE(annual->isVisible());
    const int column = annual->firstColumn(1) + 5 - 1;
    const QPoint pos(annual->leftMargin() + (column - 1) * annual->cellWidth() + annual->cellWidth() / 2,
                     annual->topMargin() + annual->halfRowHeight() / 2);
    QTest::mouseClick(annual, Qt::LeftButton, Qt::NoModifier, pos);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_People=2 AND Id_Project=1")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_People=1")), 0);
}

TEST_F(MainFormTest, GridMenusDrawTheirPictures)
{
    create();
    for (const char* name : {"Popup_Grid_Object", "Popup_Grid_Key"}) {
        auto* menu = form->findChild<ui::TPopupMenuMod*>(QString::fromLatin1(name));
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->HasImages);
        menu->ensurePolished();
        menu->adjustSize();
        QImage img(menu->size(), QImage::Format_RGB32);
        menu->render(&img);
        for (QAction* a : menu->actions()) {
            EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
            const QRect r = menu->actionGeometry(a);
            EXPECT_EQ(r.height(), 20);
            EXPECT_EQ(img.pixelColor(1, r.top() + 1), QColor(244, 244, 244));  // the image column
            bool picture = false;
            for (int x = 3; x < 19; ++x)
                for (int y = r.top(); y <= r.bottom(); ++y) {
                    const QColor c = img.pixelColor(x, y);
                    picture |= c != QColor(244, 244, 244) && c != QColor(255, 0, 255);
                }
            EXPECT_TRUE(picture) << a->text().toStdString();
        }
    }
    // The sub-menu of the tools measures its items like the menu that holds it.
    auto* tools = form->findChild<ui::TPopupMenuMod*>(QStringLiteral("Popup_Tools"));
    ASSERT_NE(tools, nullptr);
    int subMenus = 0;
    for (QAction* item : tools->actions()) {
        QMenu* sub = item->menu();
        if (!sub)
            continue;
        ++subMenus;
        sub->ensurePolished();
        sub->adjustSize();
        for (QAction* a : sub->actions())
            EXPECT_EQ(sub->actionGeometry(a).height(), a->isSeparator() ? 10 : 20) << a->text().toStdString();
    }
    EXPECT_GE(subMenus, 1);
}

TEST_F(MainFormTest, AboutWindowKeepsTheDrawnFrame)
{
    core::globals().nativeFrame = true;
    create();
    EXPECT_FALSE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    bool checked = false;
    prompt.setNextDialogHandler([&checked](QDialog* d) {
        EXPECT_EQ(d->objectName(), QStringLiteral("About"));
        EXPECT_TRUE(d->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_FALSE(d->findChild<QWidget*>(QStringLiteral("TitleBar"))->isHidden());
        checked = true;
        return int(QDialog::Accepted);
    });
    form->Apropos1Click();
    EXPECT_TRUE(checked);
    core::globals().nativeFrame = false;
}

TEST_F(MainFormTest, MenuBarButtonsTurnFlatWhenTheirMenuCloses)
{
    create();
    auto* report = form->findChild<QToolButton*>(QStringLiteral("Btn_Report"));
    EXPECT_EQ(report->font(), form->findChild<QToolButton*>(QStringLiteral("Btn_Html"))->font());
    EXPECT_LE(report->fontMetrics().horizontalAdvance(report->text()), report->width() - 4);  // not cut
    for (const char* name : {"ToolButton_File", "ToolButton_Tools", "ToolButton_Help"}) {
        auto* button = form->findChild<QToolButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->setAttribute(Qt::WA_UnderMouse, true);  // the press came with the mouse over it
        QCursor::setPos(form->mapToGlobal(QPoint(500, 400)));
        QTimer::singleShot(0, button->menu(), [menu = button->menu()] { menu->close(); });
        button->showMenu();
        QTest::qWait(20);
        EXPECT_FALSE(button->underMouse()) << name;
    }
}

TEST_F(MainFormTest, HelpWithoutAViewerSaysWhereTheManualIs)
{
    create();
    core::globals().helpFile = sandbox->root() + QStringLiteral("doc.htm");
    form->Popup_Help_DocClick();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().first().text, QStringLiteral("Le fichier d'aide est introuvable !"));

    // No program can open it (no xdg-open on the path): the user learns where it is.
    testing_support::Sandbox::writeFile(core::globals().helpFile, "<html></html>");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", sandbox->root().toUtf8());
    prompt.clear();
    form->Popup_Help_DocClick();
    qputenv("PATH", path);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().first().text.startsWith(
        QStringLiteral("Aucun programme n'est disponible pour afficher l'aide.")));
    EXPECT_TRUE(prompt.messages().first().text.endsWith(core::globals().helpFile));
}

TEST_F(MainFormTest, ManualNamesTheMenusOfTheWindow)
{
    QFile file(QStringLiteral(PLANNING_SOURCE_DIR "/resources/doc.htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QTextDocument page;
    page.setHtml(QString::fromLatin1(file.readAll()));  // the page keeps to ASCII and entities
    const QString text = page.toPlainText().simplified();
    EXPECT_GT(text.size(), 4000);
    create();
    QStringList captions;
    for (QToolButton* b : form->findChild<QWidget*>(QStringLiteral("ToolBar2"))->findChildren<QToolButton*>())
        captions << b->text();
    for (const char* menu : {"Popup_File", "Popup_Display", "Popup_Grid_Object"})
        for (QAction* a : form->findChild<QMenu*>(QString::fromLatin1(menu))->actions())
            if (!a->isSeparator())
                captions << a->text();
    EXPECT_EQ(captions.size(), 7 + 7 + 3 + 3);
    for (QString caption : captions) {
        caption.remove(QLatin1Char('&'));
        EXPECT_TRUE(text.contains(caption, Qt::CaseInsensitive)) << caption.toStdString();
    }
}

TEST_F(MainFormTest, ParameterListsEditRecordsAndTheWindowReloads)
{
    create();
    prompt.setNextDialogHandler([](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("Ed_File"))->setText(QStringLiteral("Atelier"));
        d->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->click();
        return d->result();
    });
    form->action(QStringLiteral("Popup_File_Add"))->trigger();
    ASSERT_EQ(form->context().dossierId, 1);
    // Each list adds one record through its entry dialog, then closes.
    auto addThrough = [this](const QString& field, const QString& value) {
        return [this, field, value](QDialog* list) {
            prompt.setNextDialogHandler([field, value](QDialog* entry) {
                entry->findChild<QLineEdit*>(field)->setText(value);
                entry->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->click();
                return entry->result();
            });
            list->findChild<QPushButton*>(QStringLiteral("Btn_Add"))->click();
            list->findChild<QPushButton*>(QStringLiteral("Btn_Close"))->click();
            return list->result();
        };
    };
    prompt.setNextDialogHandler(addThrough(QStringLiteral("Ed_Name"), QStringLiteral("Alice")));
    form->action(QStringLiteral("Popup_Parameters_People"))->trigger();
    EXPECT_EQ(form->persons().entries.size(), 1);
    EXPECT_FALSE(visible("AnnualGraphicPlanning"));
    prompt.setNextDialogHandler(addThrough(QStringLiteral("Ed_Title"), QStringLiteral("Pont")));
    form->action(QStringLiteral("Popup_Parameters_Project"))->trigger();
    EXPECT_EQ(form->projects().entries.size(), 1);
    EXPECT_TRUE(visible("AnnualGraphicPlanning"));
    EXPECT_EQ(prompt.dialogTitles().filter(QStringLiteral("Liste des")).size(), 2);
    EXPECT_FALSE(dm->People.IsOpen());
}

namespace {

// The centre of a half-day of the annual view.
QPoint yearPoint(planning::TAnnualGraphicPlanning* v, int month, int day, int half)
{
    const int column = v->firstColumn(month) + day - 1;
    return QPoint(v->leftMargin() + (column - 1) * v->cellWidth() + v->cellWidth() / 2,
                  v->topMargin() + (2 * (month - 1) + half - 1) * v->halfRowHeight() + v->halfRowHeight() / 2);
}

// The centre of a half-day of a row of the monthly view.
QPoint monthPoint(planning::TMonthlyGraphicPlanning* v, int row, int day, int half)
{
    return QPoint(10 + (day - 1) * v->dayWidth() + v->dayWidth() / 2,
                  v->CellRect(row).top() + 15 + (half - 1) * v->halfRowHeight() + v->halfRowHeight() / 2);
}

// Press at from, one move to to, release there.
void dragOn(QWidget* w, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton,
            Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    auto send = [&](QEvent::Type t, QPoint p, Qt::MouseButton b, Qt::MouseButtons bs) {
        QMouseEvent e(t, QPointF(p), w->mapToGlobal(QPointF(p)), b, bs, mods);
        QApplication::sendEvent(w, &e);
    };
    send(QEvent::MouseButtonPress, from, button, button);
    if (to != from)
        send(QEvent::MouseMove, to, Qt::NoButton, button);
    send(QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

}  // namespace

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z from anywhere in the window, and the two
// items of "&Outils" that name the step; what was undone stays so after a
// restart.
TEST_F(MainFormTest, UndoAndRedoFromTheToolsMenuAndTheKeys)
{
    dossier(QStringLiteral("A"));
    person(1, QStringLiteral("Alice"));
    project(1, QStringLiteral("Pont"));
    create();
    auto* annual = form->findChild<planning::TAnnualGraphicPlanning*>();
    ASSERT_TRUE(annual->isVisible());
    QAction* undo = form->action(QStringLiteral("Popup_Tools_Undo"));
    QAction* redo = form->action(QStringLiteral("Popup_Tools_Redo"));
    const QList<QAction*> tools = form->findChild<QMenu*>(QStringLiteral("Popup_Tools"))->actions();
    ASSERT_EQ(tools.size(), 8);
    EXPECT_EQ(tools.at(0)->text(), QStringLiteral("&Base de données"));
    EXPECT_TRUE(tools.at(1)->isSeparator());
    EXPECT_EQ(tools.at(2), undo);
    EXPECT_EQ(tools.at(3), redo);
    EXPECT_TRUE(tools.at(4)->isSeparator());
    EXPECT_EQ(tools.last(), form->action(QStringLiteral("Popup_Tools_Holidays")));
    EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(
        redo->shortcuts(),
        (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
    auto expectItems = [&](const char* undoText, const char* redoText) {
        EXPECT_EQ(undo->text(), QString::fromUtf8(undoText));
        EXPECT_EQ(redo->text(), QString::fromUtf8(redoText));
        EXPECT_EQ(undo->isEnabled(), undo->text() != QStringLiteral("&Annuler"));
        EXPECT_EQ(redo->isEnabled(), redo->text() != QStringLiteral("&Rétablir"));
    };
    expectItems("&Annuler", "&Rétablir");

    // A week painted by mistake, in one fast move.
    const QString week = QStringLiteral(
        "SELECT count(*) FROM PLANNING WHERE Id_People=1 AND Id_Project=1 AND AmPm=1 AND DatePlanning BETWEEN "
        "'2009-02-09' AND '2009-02-15'");
    dragOn(annual, yearPoint(annual, 2, 9, 1), yearPoint(annual, 2, 15, 1));
    EXPECT_EQ(count(week), 7);
    expectItems("&Annuler la peinture de 7 demi-journées", "&Rétablir");

    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto* grid = form->findChild<QWidget*>(QStringLiteral("Grid_Key"));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(count(week), 0);
    for (int d = 9; d <= 15; ++d)
        EXPECT_EQ(annual->cells.cell(2, d, 1).Id, -1) << d;
    expectItems("&Annuler", "&Rétablir la peinture de 7 demi-journées");
    QTest::keyClick(annual, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(count(week), 7);
    EXPECT_EQ(annual->cells.cell(2, 12, 1).Id, 1);
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(count(week), 7);

    dragOn(annual, yearPoint(annual, 2, 10, 1), yearPoint(annual, 2, 12, 1), Qt::RightButton);
    expectItems("&Annuler l'effacement de 3 demi-journées", "&Rétablir");
    undo->trigger();
    EXPECT_EQ(count(week), 7);
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(count(week), 0);
    expectItems("&Annuler", "&Rétablir la peinture de 7 demi-journées");

    // After a restart the week is as it was before the mistake, and nothing is left to undo.
    form->close();
    form.reset();
    create();
    annual = form->findChild<planning::TAnnualGraphicPlanning*>();
    for (int d = 9; d <= 15; ++d)
        EXPECT_EQ(annual->cells.cell(2, d, 1).Id, -1) << d;
    EXPECT_FALSE(form->action(QStringLiteral("Popup_Tools_Undo"))->isEnabled());
}

// A step made in one view is undone in the other; the stack is trimmed when
// a person goes and emptied by a compaction, by closing the dossier and by a
// restore.
TEST_F(MainFormTest, UndoStepsBelongToTheOpenDossier)
{
    dossier(QStringLiteral("A"));
    person(1, QStringLiteral("Alice"));
    person(1, QStringLiteral("Bruno"));
    project(1, QStringLiteral("Pont"));
    core::globals().databaseFile = QStringLiteral("Access/PLANNING.MDB");  // for the database tools
    create();
    QAction* undo = form->action(QStringLiteral("Popup_Tools_Undo"));
    auto* annual = form->findChild<planning::TAnnualGraphicPlanning*>();
    auto* monthly = form->findChild<planning::TMonthlyGraphicPlanning*>();
    const QString alice = QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_People=1 AND Id_Project=1");

    form->Popup_Display_MonthlyClick();
    dragOn(monthly, monthPoint(monthly, 0, 5, 1), monthPoint(monthly, 0, 6, 1));
    EXPECT_EQ(count(alice), 2);
    form->Popup_Display_AnnualClick();
    ASSERT_EQ(annual->cells.cell(1, 5, 1).Id, 1);
    undo->trigger();
    EXPECT_EQ(count(alice), 0);
    EXPECT_EQ(annual->cells.cell(1, 5, 1).Id, -1);
    EXPECT_EQ(annual->cells.cell(1, 6, 1).Id, -1);
    form->action(QStringLiteral("Popup_Tools_Redo"))->trigger();
    EXPECT_EQ(annual->cells.cell(1, 6, 1).Id, 1);
    dragOn(annual, yearPoint(annual, 1, 8, 2), yearPoint(annual, 1, 9, 2));
    form->Popup_Display_MonthlyClick();
    ASSERT_EQ(monthly->cells.cell(0, 1, 9, 2).Id, 1);
    undo->trigger();
    EXPECT_EQ(monthly->cells.cell(0, 1, 8, 2).Id, -1);
    EXPECT_EQ(monthly->cells.cell(0, 1, 9, 2).Id, -1);
    EXPECT_EQ(monthly->cells.cell(0, 1, 6, 1).Id, 1);
    EXPECT_EQ(count(alice), 2);

    // Bruno's step goes with him; Alice's stays.
    dragOn(monthly, monthPoint(monthly, 1, 20, 1), monthPoint(monthly, 1, 20, 1));
    EXPECT_EQ(undo->text(), QStringLiteral("&Annuler la peinture d'une demi-journée"));
    auto* objects = form->findChild<ui::TDrawGrid*>(QStringLiteral("Grid_Object"));
    objects->setRow(1);
    form->Grid_ObjectClick();
    prompt.setNextAnswer(ui::Answer::Yes);
    form->Popup_Grid_Object_DeleteClick();
    ASSERT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE")), 1);
    EXPECT_EQ(undo->text(), QStringLiteral("&Annuler la peinture de 2 demi-journées"));
    EXPECT_EQ(form->undoHistory().stack().count(), 1);

    prompt.setNextAnswer(ui::Answer::Yes);
    form->action(QStringLiteral("Popup_Tools_DataBase_Compact"))->trigger();
    EXPECT_EQ(prompt.messages().last().text.toStdString(), "Compactage effectué.");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(form->undoHistory().stack().count(), 0);

    dragOn(monthly, monthPoint(monthly, 0, 12, 1), monthPoint(monthly, 0, 12, 1));
    EXPECT_TRUE(undo->isEnabled());
    form->CloseDossierDisplay(true);
    EXPECT_FALSE(undo->isEnabled());
    form->OpenDossierDisplay(1, 0, QStringLiteral("A"));
    EXPECT_FALSE(undo->isEnabled());

    const QString archive = sandbox->root() + QStringLiteral("avant.bkp");
    prompt.setNextFileName(archive);
    form->action(QStringLiteral("Popup_Tools_DataBase_Backup"))->trigger();
    ASSERT_EQ(prompt.messages().last().text.toStdString(), "Sauvegarde effectuée.");
    dragOn(monthly, monthPoint(monthly, 0, 13, 1), monthPoint(monthly, 0, 13, 1));
    ASSERT_EQ(form->undoHistory().stack().count(), 1);
    prompt.setNextFileName(archive);
    form->action(QStringLiteral("Popup_Tools_DataBase_restore"))->trigger();
    ASSERT_EQ(prompt.messages().last().text, QStringLiteral("Sauvegarde restaurée."));
    EXPECT_EQ(form->undoHistory().stack().count(), 0);
    EXPECT_FALSE(undo->isEnabled());
}

// Ctrl with the left button on a painted half-day makes its legend item the
// paint, in both views; on an empty half-day it changes nothing.
TEST_F(MainFormTest, CtrlClickPicksTheLegendItemOfAHalfDay)
{
    dossier(QStringLiteral("A"));
    person(1, QStringLiteral("Alice"));
    for (int i = 1; i <= 4; ++i)
        project(1, QStringLiteral("Projet %1").arg(i));
    create();
    auto* annual = form->findChild<planning::TAnnualGraphicPlanning*>();
    auto* monthly = form->findChild<planning::TMonthlyGraphicPlanning*>();
    auto* key = form->findChild<ui::TDrawGrid*>(QStringLiteral("Grid_Key"));
    key->select(0, 1);  // Projet 4
    form->Grid_KeyClick();
    dragOn(annual, yearPoint(annual, 1, 5, 1), yearPoint(annual, 1, 5, 1));
    key->select(1, 0);  // Projet 2
    form->Grid_KeyClick();
    ASSERT_EQ(annual->PaintId, 2);

    dragOn(annual, yearPoint(annual, 1, 6, 1), yearPoint(annual, 1, 6, 1), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(annual->PaintId, 2);  // empty: nothing
    dragOn(annual, yearPoint(annual, 1, 5, 1), yearPoint(annual, 1, 5, 1), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(annual->PaintId, 4);
    EXPECT_EQ(key->Col(), 0);
    EXPECT_EQ(key->Row(), 1);
    EXPECT_EQ(form->context().projectId, 4);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_Project=4")), 1);

    form->Popup_Display_MonthlyClick();
    key->select(1, 0);
    form->Grid_KeyClick();
    ASSERT_EQ(monthly->PaintId, 2);
    dragOn(monthly, monthPoint(monthly, 0, 5, 1), monthPoint(monthly, 0, 5, 1), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(monthly->PaintId, 4);
    EXPECT_EQ(key->Col(), 0);
    EXPECT_EQ(key->Row(), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING")), 1);
}

// A week painted, selected with Shift, copied (the system clipboard gets
// the labels), repeated weekly to the end of June skipping the planted
// holidays, undone with one Ctrl+Z; then a day painted with the keyboard.
TEST_F(MainFormTest, SelectCopyRepeatUndoAndKeyboardPainting)
{
    dossier(QStringLiteral("A"));
    person(1, QStringLiteral("Alice"));
    project(1, QStringLiteral("Pont"));
    create();
    auto* annual = form->findChild<planning::TAnnualGraphicPlanning*>();
    ASSERT_TRUE(annual->isVisible());
    QAction* repeat = form->action(QStringLiteral("Popup_Tools_Repeat"));
    const QList<QAction*> tools = form->findChild<QMenu*>(QStringLiteral("Popup_Tools"))->actions();
    ASSERT_EQ(tools.size(), 8);
    EXPECT_TRUE(tools.at(4)->isSeparator());
    EXPECT_EQ(tools.at(5), repeat);
    EXPECT_EQ(repeat->text(), QStringLiteral("Ré&péter…"));
    EXPECT_EQ(repeat->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
    EXPECT_TRUE(tools.at(6)->isSeparator());
    EXPECT_FALSE(repeat->isEnabled());
    EXPECT_FALSE(enabled("Action_Copy"));
    EXPECT_FALSE(enabled("Action_Paste"));
    // The grids announce their rows.
    for (const char* grid : {"Grid_Object", "Grid_Key"}) {
        QAccessibleInterface* table =
            QAccessible::queryAccessibleInterface(form->findChild<QWidget*>(QString::fromLatin1(grid)));
        ASSERT_TRUE(table && table->tableInterface()) << grid;
        EXPECT_EQ(table->tableInterface()->cellAt(0, 0)->text(QAccessible::Name),
                  QString::fromLatin1(grid[5] == 'O' ? "Alice" : "Pont"));
    }

    dragOn(annual, yearPoint(annual, 2, 2, 1), yearPoint(annual, 2, 6, 1));  // Monday 2 to Friday 6 February
    const int rows = count(QStringLiteral("SELECT count(*) FROM PLANNING"));
    ASSERT_EQ(rows, 5);
    // A Shift press alone changes no row; a Shift drag selects the week.
    dragOn(annual, yearPoint(annual, 2, 9, 1), yearPoint(annual, 2, 9, 1), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING")), rows);
    dragOn(annual, yearPoint(annual, 2, 2, 1), yearPoint(annual, 2, 8, 2), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING")), rows);
    EXPECT_TRUE(repeat->isEnabled());

    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    annual->setFocus();
    QTest::keyClick(annual, Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(form->clipboardBlock());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Pont\tPont\tPont\tPont\tPont\t\t\n\t\t\t\t\t\t\n"));
    EXPECT_TRUE(enabled("Action_Paste"));

    // The dossier's calendar of holidays and closures answers the option.
    prompt.setNextDialogHandler([](QDialog* d) {
        EXPECT_TRUE(d->findChild<QCheckBox*>(QStringLiteral("Check_SkipNonWorking"))->isEnabled());
        return int(QDialog::Rejected);
    });
    QTest::keyClick(annual, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING")), rows);
    {
        const planning::NonWorkingHalfDay calendar = form->nonWorkingHalfDays();
        ASSERT_TRUE(calendar);
        EXPECT_TRUE(calendar(QDate(2009, 5, 1), 1));  // Fête du Travail
        EXPECT_TRUE(calendar(QDate(2010, 4, 5), 2));  // Lundi de Pâques, another year
        EXPECT_FALSE(calendar(QDate(2009, 5, 4), 1));
    }

    const std::set<QDate> holidays = {QDate(2009, 4, 13), QDate(2009, 5, 1), QDate(2009, 5, 8), QDate(2009, 6, 1)};
    form->setNonWorkingHalfDays([&](const QDate& d, int) { return holidays.count(d) > 0; });
    prompt.setNextDialogHandler([](QDialog* d) {
        auto* dialog = static_cast<mainwindow::TRepeatDialog*>(d);
        planning::RepeatRule rule;
        rule.period = planning::RepeatPeriod::Week;
        rule.until = QDate(2009, 6, 30);
        rule.skipNonWorking = true;
        dialog->setRule(rule);
        dialog->Btn_OkClick();
        return dialog->result();
    });
    QTest::keyClick(annual, Qt::Key_R, Qt::ControlModifier);
    // 20 more weeks from 9 February to 22 June, five mornings each, the
    // Monday and Tuesday of the week of 29 June (up to the 30th), less the
    // four holidays.
    const QString pont = QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_Project=1");
    EXPECT_EQ(count(pont), 5 + 20 * 5 + 2 - 4);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_Project=1 AND DatePlanning='2009-05-01'")),
              0);
    EXPECT_EQ(annual->cells.cell(6, 22, 1).Id, 1);
    EXPECT_EQ(annual->cells.cell(6, 30, 1).Id, 1);
    EXPECT_EQ(annual->cells.cell(7, 1, 1).Id, -1);
    QTest::keyClick(annual, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(count(pont), 5);
    EXPECT_EQ(annual->cells.cell(6, 22, 1).Id, -1);

    // Keyboard alone: Escape drops the selection, the arrows move the cursor, Space paints.
    QTest::keyClick(annual, Qt::Key_Escape);
    EXPECT_FALSE(annual->selection());
    EXPECT_FALSE(repeat->isEnabled());
    QTest::keyClick(annual, Qt::Key_Right);
    ASSERT_TRUE(annual->cursor());
    const planning::YearHit start = annual->halfDayOf(*annual->cursor());
    QTest::keyClick(annual, Qt::Key_Right);
    QTest::keyClick(annual, Qt::Key_Space);
    const QDate painted = QDate(2009, start.month, start.day + 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_Project=1 AND DatePlanning='")
                    + painted.toString(Qt::ISODate) + QStringLiteral("'")),
              1);
    // Page Down shows the next year, as the year button does.
    QTest::keyClick(annual, Qt::Key_PageDown);
    EXPECT_EQ(form->context().year, 2010);
    // Ctrl+V at the keyboard cursor pastes the copied week into 2010.
    QTest::keyClick(annual, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_Project=1 AND DatePlanning>='2010-01-01'")),
              5);
}
