#include "app/Directories.h"
#include "app/FrenchLocale.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "core/Globals.h"
#include "core/IniFile.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Sandbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>

#include <gtest/gtest.h>

using testing_support::Sandbox;

namespace {

app::SystemPaths pathsFor(const Sandbox& s, bool removable = false)
{
    app::SystemPaths p;
    p.documentsDir = s.documents();
    p.isOnRemovableDrive = [removable](const QString&) { return removable; };
    return p;
}

QString dataRootFor(Sandbox& s, const app::SystemPaths& paths)
{
    core::setProgramDirectory(s.programDir());
    app::ResolveDataRoot(paths);
    return core::globals().dataRoot;
}

}  // namespace

TEST(DataRoot, DecisionTable)
{
    struct Case {
        const char* name;
        const char* directoriesIni;  // content, or nullptr
        bool devMarker;
        bool removable;
        const char* programSub;  // program directory under the sandbox
        const char* expected;    // "program", "documents" or "given"
    };
    const Case cases[] = {
        {"appexe", "[Path]\r\nAppDataDir=appexe\r\n", false, false, "program/", "program"},
        {"development marker", nullptr, true, false, "program/", "program"},
        {"removable drive", nullptr, false, true, "program/", "program"},
        {"removable but under program files", nullptr, false, true, "usr/program/", "documents"},
        {"default", nullptr, false, false, "program/", "documents"},
        {"AppDataDir given", "[path]\r\nappdatadir=GIVEN\r\n", false, false, "program/", "given"},
        {"AppDataDir not appexe", "[Path]\r\nAppDataDir=\r\n", false, false, "program/", "documents"},
    };
    for (const Case& c : cases) {
        Sandbox s(false);
        const QString program = s.root() + QString::fromLatin1(c.programSub);
        QDir().mkpath(program);
        core::setProgramDirectory(program);
        const QString given = s.root() + QStringLiteral("elsewhere/");
        if (c.directoriesIni) {
            QByteArray ini(c.directoriesIni);
            ini.replace("GIVEN", given.toUtf8());
            Sandbox::writeFile(program + QStringLiteral("directories.ini"), ini);
        }
        if (c.devMarker)
            Sandbox::writeFile(program + QStringLiteral("planning.dpr"), "program Planning;");
        app::SystemPaths paths = pathsFor(s, c.removable);
        paths.programFilesDir = s.root() + QStringLiteral("usr/");
        app::ResolveDataRoot(paths);
        const QString root = core::globals().dataRoot;
        const QString expected = QString::fromLatin1(c.expected) == QStringLiteral("program") ? program
            : QString::fromLatin1(c.expected) == QStringLiteral("given") ? given + QStringLiteral("Quillmark Planning/")
                                                                         : s.defaultDataRoot();
        EXPECT_EQ(root, expected) << c.name;
        for (const char* sub : {"Export", "Html", "Backup", "Data", "Data/Access", "Data/Images", "Data/Files"})
            EXPECT_TRUE(QFileInfo(root + QString::fromLatin1(sub)).isDir()) << c.name << " " << sub;
        if (QString::fromLatin1(c.expected) == QStringLiteral("given")) {
            EXPECT_TRUE(QFile::exists(given + QStringLiteral("Avertissement.txt")));
            EXPECT_TRUE(QFile::exists(root + QStringLiteral("Avertissement.txt")));
        }
    }
}

TEST(DataRoot, WarningFilesWrittenOnceInWindows1252)
{
    Sandbox s(false);
    const QString root = dataRootFor(s, pathsFor(s));
    const QString makerWarning = s.documents() + QStringLiteral("Brindell Software Development/Avertissement.txt");
    const QByteArray product = Sandbox::readFile(root + QStringLiteral("Avertissement.txt"));
    EXPECT_TRUE(product.startsWith("ATTENTION : NE SUPPRIMEZ PAS CE REPERTOIRE \r\n\r\nCe r\xE9pertoire contient les "
                                   "donn\xE9"
                                   "es du logiciels Quillmark Planning \xE9"
                                   "dit\xE9s par Brindell"));
    EXPECT_TRUE(product.contains("\r\nContact : "));
    EXPECT_TRUE(product.contains("\r\nSite web : "));
    EXPECT_TRUE(Sandbox::readFile(makerWarning)
                    .contains("donn\xE9"
                              "es des logiciels \xE9"
                              "dit\xE9s par"));
    // A second start leaves them as they are.
    Sandbox::writeFile(makerWarning, "edited");
    Sandbox::writeFile(root + QStringLiteral("Avertissement.txt"), "edited too");
    dataRootFor(s, pathsFor(s));
    EXPECT_EQ(Sandbox::readFile(makerWarning), QByteArray("edited"));
    EXPECT_EQ(Sandbox::readFile(root + QStringLiteral("Avertissement.txt")), QByteArray("edited too"));
}

TEST(DatabaseLocation, FirstStartCopiesOrWritesDbIniAndSecondStartKeepsHandEdits)
{
    {
        // Without an installation db.ini the seven defaults are written.
        Sandbox s(false);
        const QString root = dataRootFor(s, pathsFor(s));
        app::ReadDatabaseLocation();
        core::IniFile ini;
        ASSERT_TRUE(ini.load(root + QStringLiteral("db.ini")));
        EXPECT_EQ(ini.value(QStringLiteral("DataBase"), QStringLiteral("Provider")), QStringLiteral("OLEDB"));
        EXPECT_EQ(ini.value(QStringLiteral("DataBase"), QStringLiteral("Path")), QStringLiteral("Data/"));
        EXPECT_EQ(ini.value(QStringLiteral("ODBC"), QStringLiteral("Name")), QStringLiteral("QUILLMARK_PLANNING"));
        EXPECT_EQ(ini.value(QStringLiteral("ODBC"), QStringLiteral("Driver")), QStringLiteral("SQLite3"));
        EXPECT_EQ(ini.value(QStringLiteral("OLEDB"), QStringLiteral("FileName")),
                  QStringLiteral("Access/PLANNING.MDB"));
        EXPECT_FALSE(ini.hasKey(QStringLiteral("Backup"), QStringLiteral("Path")));
        EXPECT_EQ(core::globals().dataDir, root + QStringLiteral("Data/"));
        EXPECT_EQ(core::globals().databaseFile, QStringLiteral("Access/PLANNING.MDB"));
    }
    Sandbox s;
    const QString root = dataRootFor(s, pathsFor(s));
    app::ReadDatabaseLocation();
    EXPECT_EQ(Sandbox::readFile(root + QStringLiteral("db.ini")),
              Sandbox::readFile(s.programDir() + QStringLiteral("Ressources/DB/db.ini")));
    // Hand edits, written on Windows, survive the next start.
    const QString elsewhere = s.root() + QStringLiteral("mydata");
    Sandbox::writeFile(root + QStringLiteral("db.ini"),
                       "[DATABASE]\r\nprovider=OLEDB\r\nPath=" + elsewhere.toUtf8()
                           + "\r\n[OLEDB]\r\nFileName=Access\\BASE.MDB\r\n[Backup]\r\nPath=/media/usb\r\n");
    const QByteArray edited = Sandbox::readFile(root + QStringLiteral("db.ini"));
    app::ReadDatabaseLocation();
    EXPECT_EQ(Sandbox::readFile(root + QStringLiteral("db.ini")), edited);
    EXPECT_EQ(core::globals().dataDir, elsewhere + QStringLiteral("/"));
    EXPECT_EQ(core::globals().databaseFile, QStringLiteral("Access/BASE.MDB"));
    EXPECT_EQ(core::globals().db.backupPath, QStringLiteral("/media/usb"));
    // "Data\" written on Windows is the data root's Data folder; an unknown provider has no file.
    Sandbox::writeFile(root + QStringLiteral("db.ini"), "[DataBase]\r\nProvider=Other\r\nPath=Data\\\r\n");
    app::ReadDatabaseLocation();
    EXPECT_EQ(core::globals().dataDir, root + QStringLiteral("Data/"));
    EXPECT_EQ(core::globals().databaseFile, QString());
}

TEST(DatabaseLocation, OdbcProviderRegistersTheDataSource)
{
    Sandbox s(false);
    const QString root = dataRootFor(s, pathsFor(s));
    Sandbox::writeFile(root + QStringLiteral("db.ini"), "[DataBase]\r\nProvider=ODBC\r\n[ODBC]\r\nName=QMP_TEST\r\n");
    app::ReadDatabaseLocation();
    EXPECT_FALSE(QFile::exists(s.home() + QStringLiteral(".odbc.ini")));  // no database file yet
    Sandbox::writeFile(root + QStringLiteral("Data/Access/PLANNING.MDB"), "");
    app::ReadDatabaseLocation();
    const QByteArray odbc = Sandbox::readFile(s.home() + QStringLiteral(".odbc.ini"));
    EXPECT_TRUE(odbc.contains("[QMP_TEST]"));
    EXPECT_TRUE(odbc.contains("Driver=SQLite3"));
    const QByteArray expectedLine =
        QByteArray("Database=") + (root + QStringLiteral("Data/Access/PLANNING.MDB")).toUtf8();
    EXPECT_TRUE(odbc.contains(expectedLine));
    EXPECT_EQ(core::globals().databaseFile, QStringLiteral("Access/PLANNING.MDB"));
}

class ProvideDataTest : public ::testing::Test {
protected:
    void prepare(bool withInstallation)
    {
        sandbox = std::make_unique<Sandbox>(withInstallation);
        dataRootFor(*sandbox, pathsFor(*sandbox));
        app::ReadDatabaseLocation();
    }
    QString dataDir() const { return core::globals().dataDir; }
    std::unique_ptr<Sandbox> sandbox;
};

TEST_F(ProvideDataTest, FreshInstallCopiesSilently)
{
    prepare(true);
    const QString install = sandbox->programDir() + QStringLiteral("Ressources/DB/Data/");
    Sandbox::writeFile(install + QStringLiteral("Images/Sample.JPG"), "jpg");
    Sandbox::writeFile(install + QStringLiteral("Images/notes.txt"), "txt");
    Sandbox::writeFile(install + QStringLiteral("Files/File1.f"), "cab");
    ui::ScriptedPrompt prompt;
    EXPECT_TRUE(app::ProvideData(QStringLiteral("planning.ini")));
    EXPECT_TRUE(prompt.messages().isEmpty());
    EXPECT_EQ(Sandbox::readFile(dataDir() + QStringLiteral("Access/PLANNING.MDB")),
              Sandbox::readFile(install + QStringLiteral("Access/PLANNING.MDB")));
    EXPECT_TRUE(QFile::exists(dataDir() + QStringLiteral("Images/Sample.JPG")));
    EXPECT_FALSE(QFile::exists(dataDir() + QStringLiteral("Images/notes.txt")));
    EXPECT_TRUE(QFile::exists(dataDir() + QStringLiteral("Files/File1.f")));
    const QString root = core::globals().dataRoot;
    EXPECT_TRUE(QFile::exists(root + QStringLiteral("SortList.def")));
    EXPECT_TRUE(QFile::exists(root + QStringLiteral("planning.ini")));
    // Copies are the user's: writable, whatever the installation's rights.
    EXPECT_TRUE(QFileInfo(dataDir() + QStringLiteral("Access/PLANNING.MDB")).permissions() & QFileDevice::WriteOwner);

    // With the database present nothing is copied again, even from a newer installation.
    Sandbox::writeFile(install + QStringLiteral("Images/Newer.jpg"), "jpg");
    Sandbox::writeFile(dataDir() + QStringLiteral("Access/PLANNING.MDB"), "user data");
    EXPECT_TRUE(app::ProvideData(QStringLiteral("planning.ini")));
    EXPECT_EQ(Sandbox::readFile(dataDir() + QStringLiteral("Access/PLANNING.MDB")), QByteArray("user data"));
    EXPECT_FALSE(QFile::exists(dataDir() + QStringLiteral("Images/Newer.jpg")));
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST_F(ProvideDataTest, OlderInstallationIsTransferredWithItsMessageOnce)
{
    prepare(true);
    const QString old = sandbox->programDir() + QStringLiteral("Data/");
    Sandbox::writeFile(old + QStringLiteral("Access/PLANNING.MDB"), "old data");
    Sandbox::writeFile(old + QStringLiteral("Images/People3.jpg"), "photo");
    Sandbox::writeFile(sandbox->programDir() + QStringLiteral("dsn.ini"), "[ODBC]\r\n");
    ui::ScriptedPrompt prompt;
    EXPECT_TRUE(app::ProvideData(QStringLiteral("planning.ini")));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages().first().kind, ui::MessageKind::Warning);
    EXPECT_EQ(prompt.messages().first().text,
              QStringLiteral("IMPORTANT !!\r\rLa base de données a été transférée dans le réperoire :\r") + dataDir()
                  + QStringLiteral("\r\rNE SUPPRIMEZ PAS CE REPERTOIRE"));
    EXPECT_EQ(Sandbox::readFile(dataDir() + QStringLiteral("Access/PLANNING.MDB")), QByteArray("old data"));
    EXPECT_TRUE(QFile::exists(dataDir() + QStringLiteral("Images/People3.jpg")));
    EXPECT_TRUE(QFile::exists(old + QStringLiteral("Access/PLANNING.MDB")));  // the old files stay
    prompt.clear();
    EXPECT_TRUE(app::ProvideData(QStringLiteral("planning.ini")));
    EXPECT_TRUE(prompt.messages().isEmpty());
}

TEST_F(ProvideDataTest, NoTemplateAnywhereStops)
{
    prepare(false);
    ui::ScriptedPrompt prompt;
    EXPECT_FALSE(app::ProvideData(QStringLiteral("planning.ini")));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().first().text.startsWith(QStringLiteral(
        "EXECUTION IMPOSSIBLE !!\r\rCertains composants nécessaires au bon fonctionnement de cette application sont "
        "introuvables.\rEffectuez")));
    EXPECT_FALSE(QFile::exists(dataDir() + QStringLiteral("Access/PLANNING.MDB")));
}

TEST(SingleInstance, SecondProcessIsRefusedUntilTheFirstEnds)
{
    Sandbox s(false);
    QProcess holder;
    holder.start(QStringLiteral(APP_PROBE), {QStringLiteral("lock"), QStringLiteral("QUILLMARK_PLANNING")});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    EXPECT_EQ(holder.readLine().trimmed(), QByteArray("locked"));
    app::SingleInstance mine;
    EXPECT_FALSE(mine.tryAcquire(QStringLiteral("QUILLMARK_PLANNING")));
    EXPECT_EQ(app::SingleInstance::lockFilePath(QStringLiteral("QUILLMARK_PLANNING")),
              QDir(s.runtimeDir()).absolutePath() + QStringLiteral("/QUILLMARK_PLANNING.lock"));
    holder.kill();  // even a killed holder leaves no stale lock
    holder.waitForFinished();
    EXPECT_TRUE(mine.tryAcquire(QStringLiteral("QUILLMARK_PLANNING")));
}

TEST(SingleInstance, FallsBackToTheTemporaryDirectoryThenSaysSo)
{
    Sandbox s(false);
    const QString name = QStringLiteral("QUILLMARK_PLANNING");
    // A directory where the lock file should be: no lock can be made there.
    QDir().mkpath(s.runtimeDir() + name + QStringLiteral(".lock"));
    const QString temp = s.root() + QStringLiteral("tmp");
    QDir().mkpath(temp);
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp));
    {
        app::SingleInstance lock;
        EXPECT_TRUE(lock.tryAcquire(name));
        EXPECT_EQ(lock.lockFile(), QDir(temp).absolutePath() + QStringLiteral("/QUILLMARK_PLANNING.lock"));
        app::SingleInstance second;
        EXPECT_FALSE(second.tryAcquire(name));  // the fallback lock refuses a second instance too
        EXPECT_TRUE(second.failure().isEmpty());
    }
    const QString fallback = temp + QLatin1Char('/') + name + QStringLiteral(".lock");
    QFile::remove(fallback);
    QDir().mkpath(fallback);
    app::SingleInstance none;
    EXPECT_FALSE(none.tryAcquire(name));
    EXPECT_TRUE(none.failure().contains(s.runtimeDir())) << none.failure().toStdString();
    EXPECT_TRUE(none.failure().contains(temp)) << none.failure().toStdString();
    if (oldTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTemp);
}

TEST(WriteAccess, TestFileNeverLeftBehindAndRefusalExplained)
{
    Sandbox s(false);
    ui::ScriptedPrompt prompt;
    EXPECT_TRUE(
        app::TestWriteAccess(QStringLiteral("Quillmark Planning 1.34"), s.root() + QStringLiteral("write.tmp")));
    EXPECT_FALSE(QFile::exists(s.root() + QStringLiteral("write.tmp")));
    EXPECT_TRUE(prompt.messages().isEmpty());

    // Run as a user without rights on a root-owned directory.
    const QString locked = s.root() + QStringLiteral("locked/");
    QDir().mkpath(locked);
    QFile::setPermissions(s.root(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                              | QFileDevice::ExeOther | QFileDevice::ReadOther);
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                              | QFileDevice::ExeOther | QFileDevice::ReadOther);
    QProcess p;
    p.start(QStringLiteral("setpriv"),
            {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
             QStringLiteral(APP_PROBE), QStringLiteral("writetest"), locked + QStringLiteral("write.tmp")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (out.isEmpty())
        GTEST_SKIP() << "cannot run the probe as another user here: " << p.readAllStandardError().toStdString();
    EXPECT_TRUE(out.startsWith(QStringLiteral("0\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(app::WriteAccessRefusalText(QStringLiteral("Quillmark Planning 1.34"), locked)))
        << out.toStdString();
    EXPECT_FALSE(QFile::exists(locked + QStringLiteral("write.tmp")));
}

TEST(StartupHelpers, Tables)
{
    const struct {
        const char* text;
        bool ok;
    } versions[] = {{"2.81.1117.0", true}, {"2,5", true},  {"2.5", true},    {"2.1", false},
                    {"", false},           {"abc", false}, {"3.40.1", true}, {"10.0", true}};
    for (const auto& v : versions) {
        EXPECT_EQ(app::DataAccessVersionOk(QString::fromLatin1(v.text)), v.ok) << v.text;
    }
    EXPECT_TRUE(app::DataAccessComponentsOk());
    EXPECT_EQ(app::KernelMajorVersion(QStringLiteral("6.1.0-18-amd64")), 6);
    EXPECT_EQ(app::KernelMajorVersion(QStringLiteral("5.10.0")), 5);
    EXPECT_EQ(app::SettingsFileNameFor(QStringLiteral("/opt/x/PLANNING.EXE")), QStringLiteral("planning.ini"));
    EXPECT_EQ(app::SettingsFileNameFor(QStringLiteral("/opt/x/planning")), QStringLiteral("planning.ini"));
    EXPECT_EQ(core::updateScriptNameFor(QStringLiteral("1.34")), QStringLiteral("BD_134.maj"));
}

TEST(FrenchLocale, QtDialogsAndDatesSpeakFrench)
{
    app::InstallFrenchTranslations();
    EXPECT_EQ(QLocale().name(), QStringLiteral("fr_FR"));
    const struct {
        const char* context;
        const char* source;
        const char* comment;
        const char* french;
    } cases[] = {
        {"QFileDialog", "&Open", nullptr, "&Ouvrir"},
        {"QFileDialog", "Look in:", nullptr, "Voir dans :"},
        {"QFileSystemModel", "Date Modified", nullptr, "Dernière modification"},
        {"QAbstractFileIconProvider", "Folder", "All other platforms", "Dossier"},
        {"QAbstractFileIconProvider", "Drive", nullptr, "Lecteur"},
        {"QPlatformTheme", "Cancel", nullptr, "Annuler"},
        {"QFileDialog", "%1 already exists.\nDo you want to replace it?", nullptr,
         "Le fichier %1 existe déjà.\nVoulez-vous l'écraser ?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QCoreApplication::translate(c.context, c.source, c.comment), QString::fromUtf8(c.french)) << c.source;

    // The system locale writes French dates whatever LC_ALL or LANG say.
    for (const char* all : {"", "C", "en_US.UTF-8"}) {
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(all));
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral(APP_PROBE), {QStringLiteral("dates")});
        ASSERT_TRUE(probe.waitForFinished(30000));
        EXPECT_EQ(QString::fromUtf8(probe.readAllStandardOutput()).trimmed(), QStringLiteral("7 déc. 2009")) << all;
    }
}
