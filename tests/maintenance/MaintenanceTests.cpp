#include "MaintenanceFixture.h"

#include "db/Compaction.h"
#include "db/DbVersion.h"
#include "maintenance/MaintenanceCommands.h"
#include "maintenance/Restore.h"
#include "maintenance/TBackupList.h"

#include <QPushButton>
#include <QTableWidget>

using namespace maintenance_tests;
using maintenance::MaintenanceCommands;

TEST_F(MaintenanceTest, BackupHoldsTheDatabasePicturesAndDocumentsUnderBareNames)
{
    EXPECT_EQ(maintenance::ProposedBackupName(QDate(2009, 3, 5)),
              QStringLiteral("PLANNING_ACCESS_BACKUP_05_03_2009.bkp"));
    // A leftover temp.cab and an existing archive of the chosen name.
    testing_support::Sandbox::writeFile(backupDir() + QStringLiteral("temp.cab"), "interrompue");
    const QString target = backupDir() + QStringLiteral("PLANNING_ACCESS_BACKUP_05_03_2009.bkp");
    testing_support::Sandbox::writeFile(target, "ancienne sauvegarde");

    MaintenanceCommands commands(*dm, display);
    prompt.setNextFileName(target);
    commands.Popup_Tools_DataBase_BackupClick();

    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().at(0).text, QStringLiteral("Sauvegarde effectuée."));
    EXPECT_TRUE(CabextractAccepts(target));
    EXPECT_EQ(entryNames(target),
              (QStringList{QStringLiteral("PLANNING.MDB"), QStringLiteral("People1.jpg"),
                           QStringLiteral("Project2.jpg"), QStringLiteral("File3.f")}));
    EXPECT_FALSE(QFile::exists(backupDir() + QStringLiteral("temp.cab")));
    EXPECT_TRUE(display.window.isEnabled());
    EXPECT_TRUE(dm->ADOConnection1.isOpen());
    EXPECT_EQ(display.closed, 0);  // the dossier stays open
    EXPECT_EQ(column(QStringLiteral("SELECT DateSav || ' ' || TimeSav || ' ' || Description || ' ' || Path FROM "
                                    "BACKUP")),
              QStringList{QStringLiteral("2009-03-05 14:07 Sauvagarde de la base de données ") + target});

    // A name typed without extension gets ".bkp".
    prompt.setNextFileName(backupDir() + QStringLiteral("sans-extension"));
    commands.Popup_Tools_DataBase_BackupClick();
    EXPECT_TRUE(QFile::exists(backupDir() + QStringLiteral("sans-extension.bkp")));
}

TEST_F(MaintenanceTest, EmptyStoresGiveAnArchiveOfTheDatabaseOnly)
{
    for (const char* store : {"Images", "Files"})
        QDir(dataDir() + QLatin1String(store)).removeRecursively();
    MaintenanceCommands commands(*dm, display);
    const QString target = backupDir() + QStringLiteral("seule.bkp");
    EXPECT_TRUE(commands.BackupDatabase(target, QStringLiteral("essai")));
    EXPECT_EQ(entryNames(target), QStringList{QStringLiteral("PLANNING.MDB")});
    EXPECT_TRUE(CabextractAccepts(target));
}

TEST_F(MaintenanceTest, AFailedBackupKeepsTheOldArchiveAndItsHistoryRow)
{
    const QString target = backupDir() + QStringLiteral("garde.bkp");
    testing_support::Sandbox::writeFile(target, "ancienne sauvegarde");
    // The work file cannot be written: a folder holds its name.
    QDir().mkpath(backupDir() + QStringLiteral("temp.cab"));
    MaintenanceCommands commands(*dm, display);
    EXPECT_FALSE(commands.BackupDatabase(target, QStringLiteral("essai")));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().at(0).kind, ui::MessageKind::Error);
    EXPECT_TRUE(prompt.messages().at(0).text.startsWith(QStringLiteral("La sauvegarde n'a pas été faite.")));
    EXPECT_EQ(testing_support::Sandbox::readFile(target), QByteArray("ancienne sauvegarde"));
    EXPECT_FALSE(QFileInfo(backupDir() + QStringLiteral("temp.cab")).isFile());
    EXPECT_TRUE(display.window.isEnabled());
    EXPECT_EQ(column(QStringLiteral("SELECT Description FROM BACKUP")), QStringList{QStringLiteral("essai")});
}

TEST_F(MaintenanceTest, RoundTripRestoresTheBackedUpStateAndKeepsWhatItReplaced)
{
    const State before = state();
    MaintenanceCommands commands(*dm, display);
    const QString archive = backupDir() + QStringLiteral("avant.bkp");
    ASSERT_TRUE(commands.BackupDatabase(archive, QStringLiteral("essai")));

    // The data changes after the backup.
    exec(QStringLiteral("INSERT INTO PROFILES (LoginName, PlanningMode) VALUES ('Après', 0)"));
    QFile::remove(dataDir() + QStringLiteral("Images/People1.jpg"));
    write(QStringLiteral("Images/People9.jpg"), "nouvelle");
    write(QStringLiteral("Files/File3.f"), "modifié");
    const State changed = state();

    prompt.setNextFileName(archive);
    commands.Popup_Tools_DataBase_restoreClick();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().at(0).text, QStringLiteral("Sauvegarde restaurée."));
    EXPECT_EQ(display.closed, 1);
    EXPECT_TRUE(display.window.isEnabled());
    ASSERT_TRUE(dm->ADOConnection1.isOpen());
    // Byte for byte: the database rows, the pictures, the documents; the
    // files a restore leaves alone (notes.txt, File.Tmp) stay.
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(QDir(dataDir() + QStringLiteral(".restauration")).exists());

    const QStringList history = column(QStringLiteral("SELECT Description || '|' || Path FROM BACKUP"));
    ASSERT_EQ(history.size(), 3);
    EXPECT_EQ(history.at(0), QStringLiteral("essai|") + archive);
    // Apart from the user's own backups.
    const QString safety =
        backupDir() + QStringLiteral("Avant restauration/PLANNING_ACCESS_AVANT_RESTAURATION_05_03_2009_14_07_59.bkp");
    EXPECT_EQ(history.at(1), QStringLiteral("Sauvegarde automatique avant restauration|") + safety);
    EXPECT_EQ(history.at(2), QStringLiteral("Restauration de la base de données|") + archive);

    // The safety archive holds the replaced state and restores it.
    EXPECT_TRUE(CabextractAccepts(safety));
    prompt.clear();
    prompt.setNextFileName(safety);
    commands.Popup_Tools_DataBase_restoreClick();
    EXPECT_EQ(prompt.messages().at(0).text, QStringLiteral("Sauvegarde restaurée."));
    EXPECT_EQ(state(), changed);
}

TEST_F(MaintenanceTest, NonJpegFilesStayOutOfTheArchiveAndNoPicturesEmptyTheStore)
{
    MaintenanceCommands commands(*dm, display);
    const QString archive = backupDir() + QStringLiteral("a.bkp");
    QFile::remove(dataDir() + QStringLiteral("Images/People1.jpg"));
    QFile::remove(dataDir() + QStringLiteral("Images/Project2.jpg"));
    ASSERT_TRUE(commands.BackupDatabase(archive, QStringLiteral("essai")));
    EXPECT_FALSE(entryNames(archive).contains(QStringLiteral("notes.txt")));
    write(QStringLiteral("Images/People5.jpg"), "plus tard");
    testing_support::Sandbox::writeFile(backupDir() + QStringLiteral("autre.txt"), "déjà là");

    maintenance::RestoreArchive(archive, maintenance::DataPaths::current());
    EXPECT_EQ(filesOf(dataDir() + QStringLiteral("Images")).keys(), QStringList{QStringLiteral("notes.txt")});
    EXPECT_FALSE(QFile::exists(backupDir() + QStringLiteral("notes.txt")));
    EXPECT_EQ(testing_support::Sandbox::readFile(backupDir() + QStringLiteral("autre.txt")), QByteArray("déjà là"));
    EXPECT_TRUE(QDir(backupDir()).entryList({QStringLiteral("restauration-*")}, QDir::Dirs).isEmpty());
}

// Whatever lies in the stores, a backup that says it was made restores: it
// carries only what a restore takes back, and names what it left out.
TEST_F(MaintenanceTest, ABackupThatSucceedsAlwaysRestores)
{
    write(QStringLiteral("Images/rapport\\2009.jpg"), "barre inverse");
    write(QStringLiteral("Images/deux\nlignes.jpg"), "retour à la ligne");
    write(QStringLiteral("Images/people1.JPG"), "homonyme à la casse près");
    write(QStringLiteral("Images/planning.mdb"), "pas la base");
    const State before = state();
    MaintenanceCommands commands(*dm, display);
    const QString target = backupDir() + QStringLiteral("sure.bkp");
    prompt.setNextFileName(target);
    commands.Popup_Tools_DataBase_BackupClick();
    ASSERT_EQ(prompt.messages().size(), 1);
    const QString said = prompt.messages().at(0).text;
    EXPECT_TRUE(said.startsWith(QStringLiteral("Sauvegarde effectuée."))) << said.toStdString();
    for (const char* name : {"rapport\\2009.jpg", "deux\nlignes.jpg", "people1.JPG"})
        EXPECT_TRUE(said.contains(QString::fromUtf8(name))) << name;
    EXPECT_FALSE(said.contains(QStringLiteral("planning.mdb")));
    EXPECT_EQ(entryNames(target),
              (QStringList{QStringLiteral("PLANNING.MDB"), QStringLiteral("People1.jpg"),
                           QStringLiteral("Project2.jpg"), QStringLiteral("File3.f")}));
    EXPECT_TRUE(CabextractAccepts(target));

    exec(QStringLiteral("INSERT INTO PROFILES (LoginName, PlanningMode) VALUES ('Après', 0)"));
    prompt.clear();
    prompt.setNextFileName(target);
    commands.Popup_Tools_DataBase_restoreClick();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().at(0).text, QStringLiteral("Sauvegarde restaurée."));
    EXPECT_EQ(state().dossiers, before.dossiers);
}

// The live data, its stores and the work file are never a backup's target.
TEST_F(MaintenanceTest, BackupTargetsInsideTheDataAreRefusedBeforeAnyWrite)
{
    MaintenanceCommands commands(*dm, display);
    const QByteArray database = testing_support::Sandbox::readFile(dbPath());
    for (const QString& target :
         QStringList{dbPath(), dataDir() + QStringLiteral("Images/People1.jpg"),
                     dataDir() + QStringLiteral("Files/File3.f"), dataDir() + QStringLiteral("Images/nouvelle.bkp"),
                     backupDir() + QStringLiteral("temp.cab"), dataDir() + QStringLiteral("Access/../Images/x.bkp")}) {
        SCOPED_TRACE(target.toStdString());
        const State before = state();
        prompt.clear();
        EXPECT_FALSE(commands.BackupDatabase(target, QStringLiteral("essai")));
        ASSERT_EQ(prompt.messages().size(), 1);
        EXPECT_EQ(prompt.messages().at(0).kind, ui::MessageKind::Error);
        EXPECT_TRUE(prompt.messages().at(0).text.startsWith(QStringLiteral("La sauvegarde n'a pas été faite.")));
        EXPECT_EQ(state(), before);
        EXPECT_EQ(column(QStringLiteral("SELECT count(*) FROM BACKUP")), QStringList{QStringLiteral("0")});
    }
    EXPECT_FALSE(QFile::exists(backupDir() + QStringLiteral("temp.cab")));
    dm->ADOConnection1.close();
    EXPECT_EQ(testing_support::Sandbox::readFile(dbPath()), database);
}

// The restore's bar counts the archive's entries, one step each and one
// more once the archive is read, whatever their sizes.
TEST(RestoreGauge, CountsEntries)
{
    archive::Progress at;
    at.entries = 5;
    at.total = 1000;
    EXPECT_EQ(maintenance::RestoreGaugeMaximum(at), 5);
    at.entry = 0;
    at.done = 900;  // the database, the largest entry, is most of the bytes
    EXPECT_EQ(maintenance::RestoreGaugePosition(at), 1);
    at.entry = 4;
    at.done = 990;
    EXPECT_EQ(maintenance::RestoreGaugePosition(at), 5);
    at.done = 1000;
    EXPECT_EQ(maintenance::RestoreGaugePosition(at), 6);
    at.entries = 0;
    EXPECT_EQ(maintenance::RestoreGaugeMaximum(at), 1);
}

TEST_F(MaintenanceTest, HistoryWindowListsAndPurgesOnlyOnYes)
{
    {
        maintenance::TBackupList empty(*dm, &display.window);
        EXPECT_FALSE(empty.Btn_Delete->isEnabled());
        EXPECT_EQ(empty.size(), QSize(626, 298));
    }
    maintenance::AddBackupHistory(dm->Backup, QStringLiteral("Sauvagarde de la base de données"),
                                  backupDir() + QStringLiteral("x.bkp"));
    core::setClock([] { return QDateTime(QDate(2009, 3, 6), QTime(9, 1, 0)); });
    maintenance::AddBackupHistory(dm->Backup, QStringLiteral("Compactage de la base de données"), dbPath());
    testing_support::Sandbox::writeFile(backupDir() + QStringLiteral("x.bkp"), "archive");

    maintenance::TBackupList list(*dm, &display.window);
    QTableWidget* grid = list.BFSDBGridColor2;
    ASSERT_EQ(grid->rowCount(), 2);
    ASSERT_EQ(grid->columnCount(), 4);
    QStringList titles;
    for (int c = 0; c < 4; ++c)
        titles << grid->horizontalHeaderItem(c)->text();
    EXPECT_EQ(titles,
              (QStringList{QStringLiteral("Date"), QStringLiteral("Heure"), QStringLiteral("Description"),
                           QStringLiteral("Fichier de sauvegarde")}));
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("05/03/2009"));
    EXPECT_EQ(grid->item(0, 1)->text(), QStringLiteral("14:07"));
    EXPECT_EQ(grid->item(1, 2)->text(), QStringLiteral("Compactage de la base de données"));
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Historique des sauvegardes"));
    EXPECT_TRUE(list.Btn_Delete->isEnabled());

    prompt.setNextAnswer(ui::Answer::No);
    list.Btn_Delete->click();
    EXPECT_EQ(grid->rowCount(), 2);
    prompt.setNextAnswer(ui::Answer::Yes);
    list.Btn_Delete->click();
    EXPECT_EQ(prompt.messages().at(0).text, QStringLiteral("Désirez-vous purger l'historique des sauvegardes ?"));
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(column(QStringLiteral("SELECT count(*) FROM BACKUP")), QStringList{QStringLiteral("0")});
    EXPECT_TRUE(QFile::exists(backupDir() + QStringLiteral("x.bkp")));  // only the rows go
}

TEST_F(MaintenanceTest, CompactionAsksFirstAndRecordsItsRow)
{
    MaintenanceCommands commands(*dm, display);
    commands.Popup_Tools_DataBase_CompactClick();  // answered No
    EXPECT_EQ(column(QStringLiteral("SELECT count(*) FROM BACKUP")), QStringList{QStringLiteral("0")});
    prompt.setNextAnswer(ui::Answer::Yes);
    commands.Popup_Tools_DataBase_CompactClick();
    EXPECT_EQ(prompt.messages().at(0).text, QStringLiteral("Confirmez-vous le compactage de la base de données ?"));
    EXPECT_EQ(prompt.messages().at(2).text, QStringLiteral("Compactage effectué."));
    EXPECT_EQ(column(QStringLiteral("SELECT Description || '|' || Path FROM BACKUP")),
              QStringList{QStringLiteral("Compactage de la base de données|") + dbPath()});
    EXPECT_FALSE(QFile::exists(db::TemporaryDatabaseName(dbPath())));
    EXPECT_TRUE(display.window.isEnabled());
    EXPECT_EQ(column(QStringLiteral("SELECT LoginName FROM PROFILES")), QStringList{QStringLiteral("Avant")});
}

// A restored database of a later program is refused with nothing changed; one
// of an older version is brought up to the program's and stamped.
TEST_F(MaintenanceTest, RestoreRefusesANewerDatabaseAndUpdatesAnOlderOne)
{
    core::globals().version = QStringLiteral("1.34");
    const QString table = QString::fromLatin1(db::kVersionTable);
    MaintenanceCommands commands(*dm, display);
    const QString newer = backupDir() + QStringLiteral("newer.bkp");
    db::SetDbVersion(dm->ADOConnection1, table, QStringLiteral("VALUE"), QStringLiteral("2.10"));
    ASSERT_TRUE(commands.BackupDatabase(newer, QStringLiteral("essai")));
    const QString older = backupDir() + QStringLiteral("older.bkp");
    db::SetDbVersion(dm->ADOConnection1, table, QStringLiteral("VALUE"), QStringLiteral("1.20"));
    ASSERT_TRUE(commands.BackupDatabase(older, QStringLiteral("essai")));
    db::SetDbVersion(dm->ADOConnection1, table, QStringLiteral("VALUE"), QStringLiteral("1.34"));
    const State before = state();

    prompt.setNextFileName(newer);
    commands.Popup_Tools_DataBase_restoreClick();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().at(0).kind, ui::MessageKind::Error);
    EXPECT_TRUE(prompt.messages().at(0).text.contains(QStringLiteral("version plus récente")));
    EXPECT_EQ(state(), before);

    // A later major version, or a version text of no known form, is refused the same way.
    for (const char* version : {"2.0", "1.34.9", "1,35"}) {
        SCOPED_TRACE(version);
        const QString odd = backupDir() + QStringLiteral("odd.bkp");
        db::SetDbVersion(dm->ADOConnection1, table, QStringLiteral("VALUE"), QString::fromLatin1(version));
        ASSERT_TRUE(commands.BackupDatabase(odd, QStringLiteral("essai")));
        db::SetDbVersion(dm->ADOConnection1, table, QStringLiteral("VALUE"), QStringLiteral("1.34"));
        const State now = state();
        prompt.clear();
        prompt.setNextFileName(odd);
        commands.Popup_Tools_DataBase_restoreClick();
        ASSERT_EQ(prompt.messages().size(), 1);
        EXPECT_EQ(prompt.messages().at(0).kind, ui::MessageKind::Error);
        EXPECT_EQ(state(), now);
        EXPECT_EQ(db::GetDbVersion(dm->ADOConnection1, table, QStringLiteral("VALUE")), QStringLiteral("1.34"));
    }

    prompt.clear();
    prompt.setNextFileName(older);
    commands.Popup_Tools_DataBase_restoreClick();
    ASSERT_FALSE(prompt.messages().isEmpty());
    EXPECT_EQ(prompt.messages().last().text, QStringLiteral("Sauvegarde restaurée."));
    EXPECT_EQ(db::GetDbVersion(dm->ADOConnection1, table, QStringLiteral("VALUE")), QStringLiteral("1.34"));
}
