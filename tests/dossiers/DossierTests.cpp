#include "core/Globals.h"
#include "db/Schema.h"
#include "db/TDataModule1.h"
#include "db/TDataModuleObject.h"
#include "dossiers/DossierCommands.h"
#include "dossiers/DossierDialogs.h"
#include "planning/HolidayStore.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Sandbox.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace dossiers;
using db::Dataset;

namespace {

// Records what the commands ask of the main window.
class FakeDisplay : public DossierDisplay {
public:
    void OpenDossierDisplay(int number, int mode, const QString& name) override
    {
        open = number;
        log << QStringLiteral("open %1 %2 %3").arg(number).arg(mode).arg(name);
    }
    void CloseDossierDisplay(bool store) override
    {
        open = -1;
        log << (store ? QStringLiteral("close") : QStringLiteral("close without preferences"));
    }
    void UpdateMenus() override { }
    QWidget* displayWindow() override { return nullptr; }
    int OpenDossierNumber() const override { return open; }
    QStringList log;
    int open = -1;
};

class DossierTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox = std::make_unique<testing_support::Sandbox>(false);
        core::Globals& g = core::globals();
        g.dataDir = sandbox->root() + QStringLiteral("Data/");
        QDir().mkpath(g.dataDir + QStringLiteral("Access"));
        db::CreateDatabaseFile(g.dataDir + QStringLiteral("Access/PLANNING.MDB"));
        dm = std::make_unique<db::TDataModule1>();
        ASSERT_EQ(dm->OpenMainConnection(), QString());
        commands = std::make_unique<DossierCommands>(*dm, display);
    }
    void TearDown() override
    {
        commands.reset();
        dm.reset();
        sandbox.reset();
    }
    void addDossier(const QString& name, const QString& password, int mode = 0)
    {
        dm->ADOConnection1.exec(
            QStringLiteral("INSERT INTO PROFILES (LoginName, LoginPassword, PlanningMode) VALUES (?, ?, ?)"),
            {name, password, mode});
    }
    int count(const QString& sql) { return dm->ADOConnection1.scalar(sql)->toInt(); }

    std::unique_ptr<testing_support::Sandbox> sandbox;
    std::unique_ptr<db::TDataModule1> dm;
    FakeDisplay display;
    std::unique_ptr<DossierCommands> commands;
    ui::ScriptedPrompt prompt;
};

}  // namespace

TEST_F(DossierTest, CreateOpensAtOnceWithTheChosenOrientation)
{
    EXPECT_FALSE(commands->HasDossiers());
    prompt.setNextDialogHandler([](QDialog* d) {
        auto* ok = d->findChild<QPushButton*>(QStringLiteral("Btn_Ok"));
        EXPECT_FALSE(ok->isEnabled());  // no name yet
        d->findChild<QLineEdit*>(QStringLiteral("Ed_File"))->setText(QStringLiteral("Chantier"));
        d->findChild<QLineEdit*>(QStringLiteral("Ed_PassWord"))->setText(QStringLiteral("Secret"));
        EXPECT_TRUE(d->findChild<QRadioButton*>(QStringLiteral("Radio_PersonsProjects"))->isChecked());
        d->findChild<QRadioButton*>(QStringLiteral("Radio_ProjectsPersons"))->setChecked(true);
        EXPECT_TRUE(ok->isEnabled());
        ok->click();
        return d->result();
    });
    commands->Popup_File_AddClick();
    EXPECT_EQ(display.log, QStringList{QStringLiteral("open 1 1 Chantier")});
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES WHERE LoginPassword='Secret' AND PlanningMode=1")),
              1);
    EXPECT_EQ(prompt.dialogTitles(), QStringList{QStringLiteral("Dossier")});

    // Cancelling a new dossier leaves no row.
    prompt.setNextDialogHandler([](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("Ed_File"))->setText(QStringLiteral("Abandon"));
        d->findChild<QPushButton*>(QStringLiteral("Btn_Cancel"))->click();
        return d->result();
    });
    commands->Popup_File_AddClick();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES")), 1);

    // Editing keeps the orientation locked.
    prompt.setNextDialogHandler([](QDialog* d) {
        EXPECT_FALSE(d->findChild<QWidget*>(QStringLiteral("Group_Orientation"))->isEnabled());
        EXPECT_TRUE(d->findChild<QRadioButton*>(QStringLiteral("Radio_ProjectsPersons"))->isChecked());
        d->findChild<QLineEdit*>(QStringLiteral("Ed_Name"))->setText(QStringLiteral("Mme Durand"));
        d->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->click();
        return d->result();
    });
    commands->Popup_File_EditClick();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES WHERE FullName='Mme Durand' AND PlanningMode=1")), 1);
}

TEST_F(DossierTest, OrientationGroupStandsInItsPlace)
{
    dm->MainFile.Open();
    dm->MainFile.Append();
    {
        TEnterFile dialog(dm->MainFile, true);
        dialog.show();
        auto* group = dialog.findChild<QWidget*>(QStringLiteral("Group_Orientation"));
        EXPECT_EQ(group->parentWidget()->objectName(), QStringLiteral("Pan_Main"));
        EXPECT_EQ(group->geometry(), QRect(10, 195, 261, 60));
        // The caption is the group's own, inside it; no field reaches into it.
        EXPECT_EQ(static_cast<QGroupBox*>(group)->title(), QStringLiteral("Objet <==> Légende"));
        for (const char* name : {"Ed_File", "Ed_PassWord", "Ed_Name", "Memo_Observation"}) {
            auto* w = dialog.findChild<QWidget*>(QString::fromLatin1(name));
            const QRect r(w->mapTo(group->parentWidget(), QPoint(0, 0)), w->size());
            EXPECT_LT(r.bottom(), 195) << name;
        }
        for (auto* radio : group->findChildren<QRadioButton*>())
            EXPECT_TRUE(group->rect().contains(radio->geometry())) << radio->text().toStdString();
        dialog.findChild<QPushButton*>(QStringLiteral("Btn_Cancel"))->click();
    }
    dm->MainFile.Close();
}

TEST_F(DossierTest, PasswordShowsStars)
{
    TEnterPassWord ask;
    auto* ed = ask.findChild<QLineEdit*>(QStringLiteral("Ed_PassWord"));
    ed->setText(QStringLiteral("abc"));
    EXPECT_EQ(ed->displayText(), QStringLiteral("***"));
}

TEST_F(DossierTest, AutomaticOpeningRules)
{
    EXPECT_FALSE(commands->AutoOpenFirstDossier());
    addDossier(QStringLiteral("Premier"), QStringLiteral("pw"));
    addDossier(QStringLiteral("Second"), QString());
    EXPECT_FALSE(commands->AutoOpenFirstDossier());  // the first one has a password
    dm->ADOConnection1.exec(QStringLiteral("UPDATE PROFILES SET LoginPassword='' WHERE ID=1"));
    EXPECT_TRUE(commands->AutoOpenFirstDossier());
    EXPECT_EQ(display.log, QStringList{QStringLiteral("open 1 0 Premier")});
}

TEST_F(DossierTest, OpeningFromTheListWithPasswords)
{
    addDossier(QStringLiteral("Même nom"), QStringLiteral("Secret"));
    addDossier(QStringLiteral("Même nom"), QString(), 1);
    auto choose = [this](int index) {
        prompt.setNextDialogHandler([index](QDialog* d) {
            auto* tree = d->findChild<QTreeWidget*>(QStringLiteral("Tree_Global"));
            EXPECT_EQ(tree->topLevelItemCount(), 2);  // both of the same name
            EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
            tree->setCurrentItem(tree->topLevelItem(index));
            d->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->click();
            return d->result();
        });
    };
    auto typePassword = [this](const QString& text) {
        prompt.setNextDialogHandler([text](QDialog* d) {
            auto* ed = d->findChild<QLineEdit*>(QStringLiteral("Ed_PassWord"));
            EXPECT_EQ(ed->echoMode(), QLineEdit::Password);
            ed->setText(text);
            d->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->click();
            return d->result();
        });
    };
    choose(1);
    commands->OpenDossierCommand();  // no password: no dialog
    EXPECT_EQ(display.log, QStringList{QStringLiteral("open 2 1 Même nom")});
    EXPECT_EQ(prompt.dialogTitles().size(), 1);

    display.log.clear();
    choose(0);
    typePassword(QStringLiteral("secret"));  // wrong case
    commands->OpenDossierCommand();
    EXPECT_EQ(display.log, QStringList{QStringLiteral("close")});
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().first().text, QStringLiteral("Mot de passe incorrect !"));
    EXPECT_EQ(display.open, -1);

    display.log.clear();
    prompt.clear();
    choose(0);
    prompt.setNextDialogHandler([](QDialog* d) {
        d->findChild<QPushButton*>(QStringLiteral("Btn_Cancel"))->click();
        return d->result();
    });
    commands->OpenDossierCommand();
    EXPECT_TRUE(prompt.messages().isEmpty());  // Annuler: no message, nothing opened
    EXPECT_TRUE(display.log.isEmpty());

    choose(0);
    typePassword(QStringLiteral("Secret"));
    commands->OpenDossierCommand();
    EXPECT_EQ(display.log, QStringList{QStringLiteral("open 1 0 Même nom")});
    EXPECT_EQ(dm->MainFile.SQL().size(), 1);  // the added WHERE line is gone again
}

TEST_F(DossierTest, ListShowsNamesInFrenchOrder)
{
    for (const char* n : {"Zoé", "Élodie", "atelier", "Bureau", "Atelier"})
        addDossier(QString::fromUtf8(n), QString());
    TFileList list(dm->MainFile);
    auto* tree = list.findChild<QTreeWidget*>(QStringLiteral("Tree_Global"));
    QStringList shown;
    QList<int> ids;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        shown << tree->topLevelItem(i)->text(0);
        ids << tree->topLevelItem(i)->data(0, Qt::UserRole).toInt();
    }
    EXPECT_EQ(shown.join(QLatin1Char(',')), QStringLiteral("atelier,Atelier,Bureau,Élodie,Zoé"));
    EXPECT_EQ(ids, (QList<int>{3, 5, 4, 2, 1}));
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
}

TEST_F(DossierTest, DeletionKeepsACompactedCopyReplacedEachTime)
{
    addDossier(QStringLiteral("A"), QString());
    addDossier(QStringLiteral("B"), QString());
    const QString copy = core::globals().dataDir + QStringLiteral("Access/DEL_BACKUP.MDB");
    for (int number : {1, 2}) {
        display.OpenDossierDisplay(number, 0, QString());
        for (Dataset* q : {&dm->People, &dm->Project})
            q->SQL()[2] = QStringLiteral("WHERE Id_File=%1").arg(number);
        dm->ADOConnection1.exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name) VALUES (?, 'P')"), {number});
        prompt.setNextAnswer(ui::Answer::Yes);
        commands->DeleteDossier();
        EXPECT_TRUE(QFile::exists(copy));
        // The copy holds the database as it was before this deletion.
        db::Connection c;
        c.setConnectionString(QStringLiteral("Provider=x;Data Source=") + copy);
        c.open();
        EXPECT_EQ(c.scalar(QStringLiteral("SELECT count(*) FROM PROFILES"))->toInt(), 3 - number);
        c.close();
    }
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE")), 0);
    EXPECT_EQ(display.log.count(QStringLiteral("close without preferences")), 2);
    EXPECT_EQ(display.open, -1);
    // No answer Yes: nothing is deleted.
    addDossier(QStringLiteral("C"), QString());
    display.OpenDossierDisplay(3, 0, QString());
    commands->DeleteDossier();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES")), 1);
}

TEST_F(DossierTest, DeletionWithoutAConnectionShowsOneError)
{
    addDossier(QStringLiteral("A"), QString());
    const core::DatabaseLocation saved = core::globals().db;
    // The reopen goes to a data source that does not exist.
    core::globals().db.provider = QStringLiteral("ODBC");
    core::globals().db.odbcName = QStringLiteral("QMP_NO_SUCH_SOURCE");
    const QString copy = core::globals().dataDir + QStringLiteral("Access/DEL_BACKUP.MDB");
    for (bool copyFails : {false, true}) {
        if (copyFails) {
            QFile::remove(copy);                                  // the copy of the first round
            QDir().mkpath(copy + QStringLiteral("/in the way"));  // no copy can take its name
        }
        display.log.clear();
        prompt.clear();
        display.OpenDossierDisplay(1, 0, QString());
        prompt.setNextAnswer(ui::Answer::Yes);
        commands->DeleteDossier();
        EXPECT_EQ(display.log.last(), QStringLiteral("close without preferences")) << copyFails;
        QStringList errors;
        for (const auto& m : prompt.messages()) {
            if (m.kind == ui::MessageKind::Error)
                errors << m.text;
        }
        ASSERT_EQ(errors.size(), 1) << copyFails;
        EXPECT_TRUE(errors.first().contains(QStringLiteral("QMP_NO_SUCH_SOURCE"))
                    || errors.first().contains(QStringLiteral("not found")))
            << errors.first().toStdString();
        EXPECT_EQ(errors.first().count(QStringLiteral("\r\r")), copyFails ? 1 : 0) << errors.first().toStdString();
    }
    core::globals().db = saved;
    ASSERT_EQ(dm->OpenMainConnection(), QString());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES")), 1);  // nothing deleted without a connection
}

TEST_F(DossierTest, DeletionTakesTheDossiersHolidaysAndKeepsTheOthers)
{
    addDossier(QStringLiteral("A"), QString());
    addDossier(QStringLiteral("B"), QString());
    db::TDataModuleObject store(dm->ADOConnection1);
    planning::HolidaySettings s;
    s.showInPlanning = true;
    s.closures = {
        {QDate(2024, 8, 5), QDate(2024, 8, 23), planning::DayPart::WholeDay, QStringLiteral("Fermeture annuelle")}};
    planning::WriteHolidaySettings(store, 1, s);
    s.alsaceMoselle = true;
    planning::WriteHolidaySettings(store, 2, s);
    display.OpenDossierDisplay(1, 0, QString());
    prompt.setNextAnswer(ui::Answer::Yes);
    commands->DeleteDossier();
    for (const char* table : {"OBJECT_VAL_BIT", "OBJECT_VAL_INT", "OBJECT_VAL_MEMO"})
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM %1 WHERE USERID=1").arg(QString::fromLatin1(table))), 0)
            << table;
    EXPECT_EQ(planning::ReadHolidaySettings(store, 2), s);
}
