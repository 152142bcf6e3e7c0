#include "core/Globals.h"
#include "db/CustomLabels.h"
#include "db/Schema.h"
#include "db/TDataModule1.h"
#include "records/RecordCommands.h"
#include "records/TListRecords.h"
#include "ui/ScriptedPrompt.h"

#include "../support/FrameCheck.h"
#include "../support/Sandbox.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>

#include "RecordsDbFixture.h"

#include <gtest/gtest.h>

using namespace records;
using testing_support::Sandbox;

namespace {

QStringList L(std::initializer_list<const char*> texts)
{
    QStringList out;
    for (const char* t : texts)
        out.append(QString::fromUtf8(t));
    return out;
}

// Receives the URLs the list hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

class ListTest : public RecordsDbTest {
protected:
    void SetUp() override
    {
        RecordsDbTest::SetUp();
        if (HasFatalFailure())
            return;
        // The fake entry dialogs store the name queued for them, or cancel.
        RecordDialogs dialogs;
        auto fake = [this](db::Dataset& q, bool isNew, QWidget*) {
            newFlags.append(isNew);
            if (nextNames.isEmpty()) {
                q.Cancel();
                return int(QDialog::Rejected);
            }
            q.FieldByName(QStringLiteral("Name")).SetValue(nextNames.takeFirst());
            q.Post();
            return int(QDialog::Accepted);
        };
        dialogs.person = fake;
        dialogs.project = fake;
        commands = std::make_unique<RecordCommands>(*dm, dialogs);
    }
    void TearDown() override
    {
        commands.reset();
        RecordsDbTest::TearDown();
    }
    void person(const char* name, const char* country, const char* email, int dossier = 3)
    {
        dm->ADOConnection1.exec(
            QStringLiteral("INSERT INTO PEOPLE (Id_File, Name, Country, Email) VALUES (%1, '%2', '%3', '%4')")
                .arg(dossier)
                .arg(QString::fromUtf8(name), QString::fromUtf8(country), QString::fromUtf8(email)));
    }
    QStringList column(const TListRecords& list, int c)
    {
        QStringList out;
        for (int r = 0; r < list.Grid_Producer->rowCount(); ++r)
            out.append(list.Grid_Producer->item(r, c) ? list.Grid_Producer->item(r, c)->text() : QString());
        return out;
    }
    QStringList titles(const TListRecords& list)
    {
        QStringList out;
        for (int c = 0; c < list.Grid_Producer->columnCount(); ++c)
            out.append(list.Grid_Producer->horizontalHeaderItem(c)->text());
        return out;
    }
    QString enabledButtons(const TListRecords& list)
    {
        QStringList out;
        for (QPushButton* b : {list.Btn_Add, list.Btn_Edit, list.Btn_Delete, list.Btn_Email, list.Btn_Print,
                               list.Btn_Html, list.Btn_Close})
            if (b->isEnabled())
                out.append(b->objectName().mid(4));
        return out.join(QLatin1Char(' '));
    }
    ListHooks countingHooks()
    {
        ListHooks hooks;
        hooks.print = [this](QWidget*) { ++prints; };
        hooks.html = [this](QWidget*) { ++htmls; };
        return hooks;
    }

    std::unique_ptr<RecordCommands> commands;
    ui::ScriptedPrompt prompt;
    QStringList nextNames;
    QList<bool> newFlags;
    int prints = 0;
    int htmls = 0;
};

}  // namespace

TEST_F(ListTest, ListKeepsItsDesignSizeInBothFrameModes)
{
    person("Martin", "France", "m@exemple.fr");
    for (bool system : {false, true}) {
        core::globals().nativeFrame = system;
        TListPeople list(*dm, *commands, 3, countingHooks());
        testing_support::ExpectFramedWindow(&list, {621, 372}, system, QStringLiteral("ListPeople"));
    }
    core::globals().nativeFrame = false;
}

TEST_F(ListTest, EmptyDossierLeavesOnlyAddAndClose)
{
    person("Ailleurs", "Suisse", "a@b.ch", 4);
    TListPeople list(*dm, *commands, 3, countingHooks());
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Liste des personnes"));
    EXPECT_EQ(list.size(), QSize(621, 372));
    EXPECT_EQ(list.recordCount(), 0);
    EXPECT_EQ(enabledButtons(list), QStringLiteral("Add Close"));
    EXPECT_EQ(list.sortColumn(), QStringLiteral("Name"));
    TListProject projects(*dm, *commands, 3, countingHooks());
    EXPECT_EQ(projects.windowTitle(), QStringLiteral("Liste des projets"));
    EXPECT_EQ(projects.sortColumn(), QStringLiteral("Title"));
    EXPECT_EQ(titles(projects),
              L({"Titre", "Responsable", "Description courte", "Téléphone", "Fax", "Email", "Site web"}));
    EXPECT_EQ(enabledButtons(projects), QStringLiteral("Add Close"));
}

TEST_F(ListTest, TitleClickSortsAndKeepsTheOrderInTheQuery)
{
    person("Martin", "France", "");
    person("Abel", "Suisse", "abel@exemple.fr");
    person("Zoé", "Belgique", "");
    {
        TListPeople list(*dm, *commands, 3, countingHooks());
        EXPECT_EQ(column(list, 0), L({"Abel", "Martin", "Zoé"}));
        // A click on "Pays" orders by country; a second click keeps that order.
        for (int click = 0; click < 2; ++click) {
            Q_EMIT list.Grid_Producer->horizontalHeader()->sectionClicked(5);
            EXPECT_EQ(list.sortColumn(), QStringLiteral("Country"));
            EXPECT_EQ(column(list, 5), L({"Belgique", "France", "Suisse"}));
        }
        // The current record follows the sort.
        EXPECT_EQ(column(list, 0).at(list.Grid_Producer->currentRow()), QStringLiteral("Abel"));
        list.Grid_ProducerTitleClick(1);  // "Function", quoted in the schema
        EXPECT_EQ(list.recordCount(), 3);
        EXPECT_TRUE(prompt.messages().isEmpty());
        list.Grid_ProducerTitleClick(5);
        list.Btn_CloseClick();
    }
    EXPECT_FALSE(dm->People.IsOpen());
    EXPECT_TRUE(dm->People.SQL().contains(QStringLiteral("ORDER BY Country")));
}

TEST_F(ListTest, PaintsSortColumnAndSelectedRowShifted)
{
    struct Case {
        int screenRow;
        bool selected, sortColumn;
        QColor background, text;
    } cases[] = {
        {0, false, false, QColor(255, 255, 255), Qt::black}, {1, false, false, QColor(232, 242, 255), Qt::black},
        {0, false, true, QColor(245, 245, 245), Qt::black},  {3, false, true, QColor(222, 232, 245), Qt::black},
        {2, true, false, QColor(39, 96, 187), Qt::white},    {1, true, true, QColor(39, 96, 187), Qt::white},
    };
    for (const Case& c : cases) {
        const ListCellColors colors = ListCellColorsFor(c.screenRow, c.selected, c.sortColumn);
        EXPECT_EQ(colors.background, c.background) << c.screenRow << c.selected << c.sortColumn;
        EXPECT_EQ(colors.text, c.text);
    }
}

TEST_F(ListTest, MailButtonFollowsTheCurrentRowsAddress)
{
    person("Abel", "France", "abel@exemple.fr");
    person("Bruno", "France", "");
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    {
        ListHooks hooks;  // no print nor HTML export
        TListPeople list(*dm, *commands, 3, hooks);
        EXPECT_EQ(enabledButtons(list), QStringLiteral("Add Edit Delete Email Close"));
        list.Btn_Email->click();
        ASSERT_EQ(catcher.urls.size(), 1);
        EXPECT_EQ(catcher.urls.at(0).toString(), QStringLiteral("mailto:abel@exemple.fr"));
        list.Grid_Producer->setCurrentCell(1, 0);
        EXPECT_EQ(enabledButtons(list), QStringLiteral("Add Edit Delete Close"));
        list.Grid_Producer->setCurrentCell(0, 2);
        EXPECT_TRUE(list.Btn_Email->isEnabled());
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

TEST_F(ListTest, MailWithoutAMailProgramIsToldInFrench)
{
    // The offscreen desktop has no program for "mailto:".
    person("Abel", "France", "abel@exemple.fr");
    TListPeople list(*dm, *commands, 3, ListHooks());
    list.Btn_Email->click();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().first().kind, ui::MessageKind::Error);
    EXPECT_EQ(prompt.messages().first().text,
              QStringLiteral("Aucun programme de messagerie n'a pu être ouvert pour écrire à \"abel@exemple.fr\".\r"
                             "Vérifiez qu'un programme de messagerie est installé."));
}

TEST_F(ListTest, CustomLabelsTitleThePersonsMiscColumns)
{
    db::WriteCustomLabel(dm->ADOConnection1, 3, QStringLiteral("People_Misc02"), QStringLiteral("Badge"));
    db::WriteCustomLabel(dm->ADOConnection1, 4, QStringLiteral("People_Misc03"), QStringLiteral("Autre dossier"));
    TListPeople list(*dm, *commands, 3, countingHooks());
    list.show();
    const QStringList t = titles(list);
    ASSERT_EQ(t.size(), 11);
    EXPECT_EQ(t.mid(0, 6), L({"Nom", "Fonction", "Téléphone", "Fax", "Email", "Pays"}));
    EXPECT_EQ(t.at(7), QStringLiteral("Badge"));
    EXPECT_NE(t.at(8), QStringLiteral("Autre dossier"));
    const int width30 = list.Grid_Producer->columnWidth(0);
    EXPECT_GT(width30, 30 * 4);
    TListProject projects(*dm, *commands, 3, countingHooks());
    EXPECT_GT(projects.Grid_Producer->columnWidth(2), 2 * projects.Grid_Producer->columnWidth(0));
    list.close();
}

TEST_F(ListTest, AddEditDeleteThroughTheEntryDialogs)
{
    person("Martin", "France", "");
    TListPeople list(*dm, *commands, 3, countingHooks());
    nextNames = {QStringLiteral("Bernard")};
    list.Btn_AddClick();
    EXPECT_EQ(column(list, 0), L({"Bernard", "Martin"}));
    EXPECT_EQ(list.Grid_Producer->currentRow(), 0);  // the new record is current
    EXPECT_EQ(newFlags, (QList<bool>{true}));

    list.Grid_Producer->setCurrentCell(1, 0);
    nextNames = {QStringLiteral("Alain")};
    list.Grid_ProducerDblClick();
    EXPECT_EQ(column(list, 0), L({"Alain", "Bernard"}));
    EXPECT_EQ(column(list, 0).at(list.Grid_Producer->currentRow()), QStringLiteral("Alain"));
    EXPECT_EQ(newFlags, (QList<bool>{true, false}));

    list.Btn_EditClick();  // cancelled: nothing changes
    EXPECT_EQ(column(list, 0), L({"Alain", "Bernard"}));

    prompt.setNextAnswer(ui::Answer::No);
    list.Btn_DeleteClick();
    EXPECT_EQ(list.recordCount(), 2);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().at(0).text, QStringLiteral("Désirez-vous supprimer cette personne ?"));
    prompt.setNextAnswer(ui::Answer::Yes);
    list.Btn_DeleteClick();
    EXPECT_EQ(column(list, 0), L({"Bernard"}));
    prompt.setNextAnswer(ui::Answer::Yes);
    list.Btn_DeleteClick();
    EXPECT_EQ(list.recordCount(), 0);
    EXPECT_EQ(enabledButtons(list), QStringLiteral("Add Close"));
    EXPECT_EQ(dm->ADOConnection1.scalar(QStringLiteral("SELECT count(*) FROM PEOPLE"))->toInt(), 0);
}

TEST_F(ListTest, ProjectDeleteAsksItsQuestionAndPrintRunsTheHook)
{
    dm->ADOConnection1.exec(QStringLiteral("INSERT INTO PROJECT (Id_File, Title, Name) VALUES (3, 'Pont', 'Luc')"));
    TListProject list(*dm, *commands, 3, countingHooks());
    EXPECT_EQ(enabledButtons(list), QStringLiteral("Add Edit Delete Print Html Close"));
    list.Btn_Print->click();
    list.Btn_Html->click();
    EXPECT_EQ(prints, 1);
    EXPECT_EQ(htmls, 1);
    list.Btn_DeleteClick();  // "Non" by default
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().at(0).text, QStringLiteral("Désirez-vous supprimer ce projet ?"));
    EXPECT_EQ(list.recordCount(), 1);
}

#include "ListTests.moc"
