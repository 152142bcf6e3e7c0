#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/TMdacMsg.h"
#include "app/TSplash.h"
#include "core/Globals.h"
#include "core/IniFile.h"
#include "db/Connection.h"
#include "db/DbVersion.h"
#include "db/TDataModule1.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextBrowser>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

using testing_support::Sandbox;

namespace {

app::StartupOptions optionsFor(const Sandbox& s)
{
    app::StartupOptions o;
    o.programDir = s.programDir();
    o.paths.documentsDir = s.documents();
    o.paths.isOnRemovableDrive = [](const QString&) { return false; };
    o.recentSystem = true;
    return o;
}

}  // namespace

TEST(Startup, FirstAndSecondStartWithoutMainWindow)
{
    Sandbox s;
    ui::ScriptedPrompt prompt;
    ASSERT_EQ(app::RunStartup(optionsFor(s)), 0);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().value(0).text.toStdString();
    const QString root = s.defaultDataRoot();
    EXPECT_EQ(core::globals().dataRoot, root);
    for (const char* f : {"Avertissement.txt", "db.ini", "planning.ini", "SortList.def", "Data/Access/PLANNING.MDB"})
        EXPECT_TRUE(QFile::exists(root + QString::fromLatin1(f))) << f;
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("write.tmp")));
    EXPECT_TRUE(core::globals().nativeFrame);
    EXPECT_EQ(core::globals().helpFile, s.programDir() + QStringLiteral("doc.htm"));
    EXPECT_EQ(core::globals().updateScriptName, QStringLiteral("BD_134.maj"));

    // The settings are loaded from the data root's file.
    core::IniFile ini;
    ini.load(root + QStringLiteral("planning.ini"));
    ini.setValue(QStringLiteral("Properties"), QStringLiteral("Splash"), QStringLiteral("0"));
    ini.setValue(QStringLiteral("Windows"), QStringLiteral("Style"), QStringLiteral("1"));
    ini.save(root + QStringLiteral("planning.ini"));
    app::StartupOptions again = optionsFor(s);
    again.recentSystem = false;
    ASSERT_EQ(app::RunStartup(again), 0);
    EXPECT_FALSE(core::globals().settings.splash);
    EXPECT_TRUE(core::globals().nativeFrame);  // from Style on an older system
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST(Startup, MainWindowRunsOverAnOpenConnection)
{
    Sandbox s;
    ui::ScriptedPrompt prompt;
    app::StartupOptions o = optionsFor(s);
    bool connected = false;
    o.createMainWindow = [&connected](db::TDataModule1&, db::TDataModuleObject&) {
        connected = db::TDataModule1::instance() && db::TDataModule1::instance()->ADOConnection1.isOpen();
        auto w = std::make_unique<QWidget>();
        QTimer::singleShot(300, w.get(), &QWidget::close);
        return std::unique_ptr<QWidget>(std::move(w));
    };
    EXPECT_EQ(app::RunStartup(o), 0);
    EXPECT_TRUE(connected);
    EXPECT_EQ(db::TDataModule1::instance(), nullptr);  // freed when the loop ended
}

TEST(Startup, SecondInstanceTouchesNothing)
{
    Sandbox s;
    QProcess holder;
    holder.start(QStringLiteral(APP_PROBE), {QStringLiteral("lock"), QStringLiteral("QUILLMARK_PLANNING")});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    ui::ScriptedPrompt prompt;
    EXPECT_EQ(app::RunStartup(optionsFor(s)), 1);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().first().kind, ui::MessageKind::Information);
    EXPECT_EQ(prompt.messages().first().text, QStringLiteral("Quillmark Planning est déjà en exécution."));
    EXPECT_EQ(QDir(s.documents()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(10000));
    prompt.clear();
    EXPECT_EQ(app::RunStartup(optionsFor(s)), 0);
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST(Startup, NoPlaceForTheLockStopsWithAMessage)
{
    Sandbox s;
    const QString temp = s.root() + QStringLiteral("tmp");
    for (const QString& dir : {s.runtimeDir(), QString(temp + QLatin1Char('/'))})
        QDir().mkpath(dir + QStringLiteral("QUILLMARK_PLANNING.lock"));
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp));
    ui::ScriptedPrompt prompt;
    EXPECT_EQ(app::RunStartup(optionsFor(s)), 1);
    if (oldTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTemp);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().first().kind, ui::MessageKind::Error);
    EXPECT_TRUE(prompt.messages().first().text.startsWith(
        QStringLiteral("Impossible de vérifier que Quillmark Planning n'est pas déjà en exécution")));
    EXPECT_EQ(QDir(s.documents()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

TEST(Startup, MissingInstallationAndBrokenDatabaseStop)
{
    {
        Sandbox s(false);
        ui::ScriptedPrompt prompt;
        EXPECT_EQ(app::RunStartup(optionsFor(s)), 1);
        ASSERT_EQ(prompt.messages().size(), 1);
        EXPECT_TRUE(prompt.messages().first().text.startsWith(QStringLiteral("EXECUTION IMPOSSIBLE !!\r\rCertains")));
        EXPECT_FALSE(QFile::exists(s.defaultDataRoot() + QStringLiteral("planning.ini"))
                     && QFile::exists(s.defaultDataRoot() + QStringLiteral("Data/Access/PLANNING.MDB")));
    }
    Sandbox s;
    const QString dbFile = s.defaultDataRoot() + QStringLiteral("Data/Access/PLANNING.MDB");
    const QByteArray junk = QByteArray("not a database ").repeated(300);
    Sandbox::writeFile(dbFile, junk);
    ui::ScriptedPrompt prompt;
    EXPECT_EQ(app::RunStartup(optionsFor(s)), 1);
    ASSERT_EQ(prompt.messages().size(), 2);
    EXPECT_EQ(prompt.messages().at(0).kind, ui::MessageKind::Plain);
    EXPECT_TRUE(prompt.messages().at(0).text.contains(QStringLiteral("not a database")));
    EXPECT_EQ(prompt.messages().at(1).kind, ui::MessageKind::Error);
    EXPECT_TRUE(prompt.messages().at(1).text.startsWith(QStringLiteral(
        "EXECUTION IMPOSSIBLE !!\r\rCe logiciel a rencontré un problème lors de la connexion à la base de données.\r"
        "Contactez le support par email pour tenter de trouver une solution : ")));
    EXPECT_EQ(Sandbox::readFile(dbFile), junk);
}

TEST(Startup, SplashAndDataAccessWindow)
{
    Sandbox s;
    core::setProgramDirectory(s.programDir());
    app::TSplash splash;
    EXPECT_EQ(splash.size(), QSize(420, 170));
    EXPECT_EQ(app::TSplash::noticeText(2026).count(QStringLiteral("2008")), 0);
    EXPECT_TRUE(app::TSplash::noticeText(2026).contains(QStringLiteral("2026")));
    EXPECT_EQ(splash.findChild<QWidget*>(QStringLiteral("barre"))->size(), QSize(186, 6));
    app::TMdacMsg mdac;
    EXPECT_EQ(mdac.windowTitle(), QStringLiteral(" Information"));
    EXPECT_TRUE(mdac.browser()->toPlainText().contains(QStringLiteral("SQLite")));
}

namespace {

void stampDatabase(const QString& path, const QString& version, const QString& extraSql = {})
{
    db::Connection c;
    c.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
    c.open();
    c.exec(QStringLiteral("UPDATE OBJECT_VAL_STR SET Value=? WHERE ID_CLASS=-99"), {version});
    if (!extraSql.isEmpty())
        c.exec(extraSql);
}

QString versionOf(const QString& path)
{
    db::Connection c;
    c.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
    c.open();
    return db::GetDbVersion(c, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE"));
}

}  // namespace

TEST(StartupUpdate, OlderDatabaseIsUpdatedWithOrWithoutSafetyCopy)
{
    Sandbox s;
    ui::ScriptedPrompt prompt;
    ASSERT_EQ(app::RunStartup(optionsFor(s)), 0);
    const QString root = s.defaultDataRoot();
    const QString dbFile = root + QStringLiteral("Data/Access/PLANNING.MDB");
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("Maj.Log")));  // a current database runs nothing

    for (const bool copy : {true, false}) {
        // 1.4 reads as 14, older than 134; the index it lacks comes back.
        stampDatabase(dbFile, QStringLiteral("1.4"), QStringLiteral("DROP INDEX IX_PLANNING_PROJECT"));
        prompt.clear();
        prompt.setNextAnswer(copy ? ui::Answer::Yes : ui::Answer::No);
        ASSERT_EQ(app::RunStartup(optionsFor(s)), 0);
        ASSERT_EQ(prompt.messages().size(), 1);
        EXPECT_EQ(prompt.messages().at(0).kind, ui::MessageKind::Confirmation);
        EXPECT_EQ(versionOf(dbFile), QStringLiteral("1.34"));
        EXPECT_FALSE(QFile::exists(root + QStringLiteral("BD_134.maj")));
        const QStringList backups = QDir(root + QStringLiteral("Backup/Maj")).entryList(QDir::Files);
        EXPECT_EQ(backups.size(), 1) << copy;  // one copy from the first round only
        db::Connection c;
        c.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + dbFile);
        c.open();
        EXPECT_EQ(
            c.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name='IX_PLANNING_PROJECT'"))->toInt(),
            1);
    }
    const QByteArray log = Sandbox::readFile(root + QStringLiteral("Maj.Log"));
    EXPECT_TRUE(log.contains("MISE A JOUR TERMINE"));
    EXPECT_TRUE(log.contains("SQL:CREATE INDEX IF NOT EXISTS IX_PLANNING_PROJECT"));

    // A script left in the data root runs again at the next start.
    Sandbox::writeFile(root + QStringLiteral("Reste.maj"), "// encore\r\n");
    prompt.clear();
    ASSERT_EQ(app::RunStartup(optionsFor(s)), 0);
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("Reste.maj")));
    EXPECT_TRUE(Sandbox::readFile(root + QStringLiteral("Maj.Log")).contains(" :  encore\r\n"));
}

// What a crash cut short is finished before the database step could take a
// missing database for a first start; what cannot be finished stops the
// start without opening anything.
TEST(Startup, InterruptedCompactionAndRestoreAreFinishedOrStopTheStart)
{
    Sandbox s;
    ui::ScriptedPrompt prompt;
    ASSERT_EQ(app::RunStartup(optionsFor(s)), 0);
    const QString root = s.defaultDataRoot();
    const QString access = root + QStringLiteral("Data/Access/");
    const QString dbFile = access + QStringLiteral("PLANNING.MDB");
    stampDatabase(dbFile, QStringLiteral("1.34"), QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Gardé')"));
    const QByteArray database = Sandbox::readFile(dbFile);
    const auto dossiers = [&] {
        db::Connection c;
        c.setConnectionString(QStringLiteral("Provider=x;Data Source=") + dbFile);
        c.open();
        const QString names = c.scalar(QStringLiteral("SELECT group_concat(LoginName) FROM PROFILES"))->toString();
        c.close();
        return names;
    };

    // The database only under its temporary name, as an older compaction left it.
    QFile::rename(dbFile, access + QStringLiteral("PLANNING~.MDB"));
    Sandbox::writeFile(dbFile + QStringLiteral(".part"), QByteArray(2048, 'p'));
    ASSERT_EQ(app::RunStartup(optionsFor(s)), 0);
    EXPECT_TRUE(prompt.messages().isEmpty()) << prompt.messages().value(0).text.toStdString();
    EXPECT_EQ(dossiers(), QStringLiteral("Gardé"));
    EXPECT_EQ(QDir(access).entryList(QDir::Files), QStringList{QStringLiteral("PLANNING.MDB")});

    // No database and no sound copy: the empty one is not installed over them.
    QFile::remove(dbFile);
    Sandbox::writeFile(access + QStringLiteral("PLANNING~.MDB"), "coupé");
    EXPECT_EQ(app::RunStartup(optionsFor(s)), 1);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().at(0).text.contains(QStringLiteral("PLANNING~.MDB")));
    EXPECT_FALSE(QFile::exists(dbFile));
    EXPECT_EQ(Sandbox::readFile(access + QStringLiteral("PLANNING~.MDB")), QByteArray("coupé"));

    // A committed restore whose restored pictures are gone cannot be
    // finished: the start stops, naming the folder, and opens nothing.
    QFile::remove(access + QStringLiteral("PLANNING~.MDB"));
    Sandbox::writeFile(dbFile, database);
    const QString staging = root + QStringLiteral("Data/.restauration/");
    QDir().mkpath(staging + QStringLiteral("Files"));
    Sandbox::writeFile(staging + QStringLiteral("EN_COURS"), "Jeton 0123456789abcdef\n");
    Sandbox::writeFile(staging + QStringLiteral("Files/.restauration-0123456789abcdef"), {});
    Sandbox::writeFile(dbFile + QStringLiteral(".restauration"), database);
    prompt.clear();
    EXPECT_EQ(app::RunStartup(optionsFor(s)), 1);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().at(0).kind, ui::MessageKind::Error);
    EXPECT_TRUE(prompt.messages().at(0).text.contains(root + QStringLiteral("Data/")));
    EXPECT_TRUE(prompt.messages().at(0).text.contains(QStringLiteral("Images")));
    EXPECT_EQ(Sandbox::readFile(dbFile), database);
    EXPECT_TRUE(QFile::exists(staging + QStringLiteral("EN_COURS")));
}

TEST(StartupUpdate, NewerDatabaseIsRefusedUntouched)
{
    Sandbox s;
    ui::ScriptedPrompt prompt;
    ASSERT_EQ(app::RunStartup(optionsFor(s)), 0);
    const QString root = s.defaultDataRoot();
    const QString dbFile = root + QStringLiteral("Data/Access/PLANNING.MDB");
    stampDatabase(dbFile, QStringLiteral("1.35"));
    Sandbox::writeFile(root + QStringLiteral("BD_135.maj"), "SqlExe{DROP TABLE PEOPLE}\r\n");
    const QByteArray before = Sandbox::readFile(dbFile);
    EXPECT_EQ(app::RunStartup(optionsFor(s)), 1);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().at(0).kind, ui::MessageKind::Error);
    EXPECT_TRUE(prompt.messages().at(0).text.contains(QStringLiteral("plus récente")));
    EXPECT_EQ(Sandbox::readFile(dbFile), before);
    EXPECT_TRUE(QFile::exists(root + QStringLiteral("BD_135.maj")));
}
