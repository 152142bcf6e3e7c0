#include "MaintenanceFixture.h"

#include "db/Connection.h"
#include "maintenance/MaintenanceCommands.h"
#include "maintenance/MaintenanceError.h"
#include "maintenance/Restore.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <sys/mount.h>

#include <cstring>

using namespace maintenance_tests;
using maintenance::MaintenanceCommands;
using testing_support::Sandbox;

namespace {

QByteArray noise(qsizetype size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray b(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        b[i] = static_cast<char>(gen.bounded(256));
    return b;
}

void copyTree(const QString& from, const QString& to)
{
    QDir(to).removeRecursively();
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    QDir().mkpath(to);
    for (const char* d : {"Data/Access", "Data/Images", "Data/Files", "Backup"})
        QDir().mkpath(to + QLatin1String(d));
    while (it.hasNext()) {
        const QString f = it.next();
        Sandbox::writeFile(to + QDir(from).relativeFilePath(f), Sandbox::readFile(f));
    }
}

// Dossier names, pictures and documents of a data root, read without the
// program's connection.
QString describe(const QString& root)
{
    db::Connection c;
    c.setConnectionString(QStringLiteral("Provider=x;Data Source=") + root
                          + QStringLiteral("Data/Access/PLANNING.MDB"));
    QString text;
    try {
        c.open();
        text = c.scalar(QStringLiteral("SELECT group_concat(LoginName) FROM PROFILES"))->toString();
        c.close();
    } catch (const std::exception& e) {
        text = QStringLiteral("base illisible");
    }
    for (const char* store : {"Images", "Files"}) {
        const auto files = filesOf(root + QStringLiteral("Data/") + QLatin1String(store));
        for (auto it = files.begin(); it != files.end(); ++it)
            text += QLatin1Char(' ') + it.key() + QLatin1Char('=') + QString::number(qHash(it.value()));
    }
    return text;
}

}  // namespace

class HostileTest : public MaintenanceTest {
protected:
    // A cabinet of the given files (name, bytes), written by the archive library.
    QString cabinet(const QString& name, const QList<std::pair<QString, QByteArray>>& entries)
    {
        const QString dir = sandbox->root() + QStringLiteral("make-") + name + QLatin1Char('/');
        QDir().mkpath(dir);
        QStringList files;
        for (const auto& [entry, bytes] : entries) {
            Sandbox::writeFile(dir + entry, bytes);
            files << dir + entry;
        }
        const QString path = sandbox->root() + name;
        archive::WriteCabinet(path, files);
        return path;
    }
    QByteArray validDatabase()
    {
        const QString path = sandbox->root() + QStringLiteral("valid.mdb");
        if (!QFile::exists(path))
            db::CreateDatabaseFile(path);
        return Sandbox::readFile(path);
    }
};

TEST_F(HostileTest, HostileArchivesAreRefusedInFrenchAndNothingChanges)
{
    const QByteArray database = validDatabase();
    const auto patched = [&](const QString& name, QList<std::pair<QString, QByteArray>> entries, const QByteArray& from,
                             const QByteArray& to) {
        const QString path = cabinet(name, entries);
        QByteArray bytes = Sandbox::readFile(path);
        if (!from.isEmpty())
            bytes.replace(bytes.indexOf(from), from.size(), to);
        Sandbox::writeFile(path, bytes);
        return path;
    };
    const QString mdb = QStringLiteral("PLANNING.MDB");
    QSqlDatabase::database();  // keep the default connection list quiet
    const QString oneTable = sandbox->root() + QStringLiteral("one-table.mdb");
    {
        db::Connection c;
        Sandbox::writeFile(oneTable, {});
        c.setConnectionString(QStringLiteral("Provider=x;Data Source=") + oneTable);
        c.open();
        c.exec(QStringLiteral("CREATE TABLE AUTRE (x INTEGER)"));
        c.close();
    }
    QString truncated =
        cabinet(QStringLiteral("truncated.bkp"), {{mdb, database}, {QStringLiteral("People1.jpg"), noise(90000, 1)}});
    Sandbox::writeFile(truncated, Sandbox::readFile(truncated).left(60000));
    QString huge = cabinet(QStringLiteral("huge.bkp"), {{mdb, database}});
    {
        QByteArray bytes = Sandbox::readFile(huge);
        bytes.replace(44, 4, QByteArray("\xF0\xFF\xFF\x7F", 4));
        Sandbox::writeFile(huge, bytes);
    }
    const struct {
        const char* label;
        QString archive;
        const char* expected;
    } cases[] = {
        {"parent directory",
         patched(QStringLiteral("parent.bkp"), {{mdb, database}, {QStringLiteral("AAAA.jpg"), "x"}}, "AAAA.jpg",
                 "../x.jpg"),
         "n'est pas un simple nom de fichier"},
        {"absolute path",
         patched(QStringLiteral("absolute.bkp"), {{mdb, database}, {QStringLiteral("AAAAAA"), "x"}}, "AAAAAA",
                 "/etc/x"),
         "n'est pas un simple nom de fichier"},
        {"truncated", truncated, "tronqué"},
        {"database not SQLite", cabinet(QStringLiteral("notsqlite.bkp"), {{mdb, noise(50000, 2)}}),
         "n'est pas une base de données lisible"},
        {"database of another program", cabinet(QStringLiteral("other.bkp"), {{mdb, Sandbox::readFile(oneTable)}}),
         "tables absentes"},
        {"huge declared size", huge, "dépassent le contenu"},
        {"no database", cabinet(QStringLiteral("nodb.bkp"), {{QStringLiteral("People7.jpg"), "x"}}),
         "ne contient pas de base de données"},
        {"database only in another case",
         cabinet(QStringLiteral("lower.bkp"), {{QStringLiteral("planning.mdb"), database}}),
         "ne contient pas de base de données"},
        {"names alike but for case",
         cabinet(QStringLiteral("case.bkp"),
                 {{mdb, database}, {QStringLiteral("People1.jpg"), "a"}, {QStringLiteral("people1.JPG"), "b"}}),
         "ne diffèrent que par les majuscules"},
        {"not a cabinet",
         [&]() -> QString {
             Sandbox::writeFile(sandbox->root() + QStringLiteral("text.bkp"), "bonjour");
             return sandbox->root() + QStringLiteral("text.bkp");
         }(),
         "ce n'est pas une archive cabinet"},
    };

    MaintenanceCommands commands(*dm, display);
    const State before = state();
    const QByteArray dbBytes = Sandbox::readFile(dbPath());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        prompt.clear();
        prompt.setNextFileName(c.archive);
        commands.Popup_Tools_DataBase_restoreClick();
        ASSERT_EQ(prompt.messages().size(), 1);
        EXPECT_EQ(prompt.messages().at(0).kind, ui::MessageKind::Error);
        const QString text = prompt.messages().at(0).text;
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.expected))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Rien n'a été modifié."))) << text.toStdString();
        EXPECT_TRUE(dm->ADOConnection1.isOpen());
        EXPECT_TRUE(display.window.isEnabled());
        EXPECT_EQ(state(), before);
        EXPECT_EQ(column(QStringLiteral("SELECT count(*) FROM BACKUP")), QStringList{QStringLiteral("0")});
        EXPECT_EQ(QDir(backupDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        EXPECT_FALSE(QFileInfo::exists(dataDir() + QStringLiteral(".restauration")));
        EXPECT_FALSE(QFileInfo::exists(sandbox->root() + QStringLiteral("x.jpg")));
        EXPECT_FALSE(QFileInfo::exists(root() + QStringLiteral("x.jpg")));
    }
    dm->ADOConnection1.close();
    EXPECT_EQ(Sandbox::readFile(dbPath()), dbBytes);
}

// A restore killed at every write, rename, link and flush: after the next
// start's recovery the data is the old or the new, never a mix, never nothing.
TEST_F(HostileTest, RestoreKilledAtAnyPointLeavesOldOrNewData)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is missing";
    MaintenanceCommands commands(*dm, display);
    const QString archive = sandbox->root() + QStringLiteral("new.bkp");
    write(QStringLiteral("Images/People8.jpg"), noise(40000, 5));
    exec(QStringLiteral("INSERT INTO PROFILES (LoginName, PlanningMode) VALUES ('Nouveau', 0)"));
    ASSERT_TRUE(commands.BackupDatabase(archive, QStringLiteral("essai")));
    const QString pristineNew = sandbox->root() + QStringLiteral("pristine-new/");
    dm->ADOConnection1.close();
    copyTree(root(), pristineNew);
    QDir(pristineNew + QStringLiteral("Backup")).removeRecursively();
    QFile::remove(pristineNew + QStringLiteral("Data/Files/File.Tmp"));

    // The old state differs in every part.
    const QString pristineOld = sandbox->root() + QStringLiteral("pristine-old/");
    copyTree(root(), pristineOld);
    QDir(pristineOld + QStringLiteral("Backup")).removeRecursively();
    Sandbox::writeFile(pristineOld + QStringLiteral("Data/Images/People8.jpg"), "ancienne");
    Sandbox::writeFile(pristineOld + QStringLiteral("Data/Files/File3.f"), "ancien document");
    {
        db::Connection c;
        c.setConnectionString(QStringLiteral("Provider=x;Data Source=") + pristineOld
                              + QStringLiteral("Data/Access/PLANNING.MDB"));
        c.open();
        c.exec(QStringLiteral("DELETE FROM PROFILES WHERE LoginName='Nouveau'"));
        c.close();
    }
    const QString oldState = describe(pristineOld);
    // What the restore gives: the new database and pictures, with the old
    // store's non-JPEG files kept.
    QString newState;
    const QString work = sandbox->root() + QStringLiteral("kill/");
    {
        copyTree(pristineOld, work);
        QProcess p;
        p.start(QStringLiteral(MAINTENANCE_PROBE), {QStringLiteral("restore"), work, archive});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        newState = describe(work);
    }
    ASSERT_NE(oldState, newState);
    EXPECT_TRUE(newState.contains(QStringLiteral("Nouveau")));

    int runs = 0;
    // Also as on FAT, where hard links and rename flags are refused.
    for (const bool fat : {false, true})
        for (const char* call : {"write", "rename", "renameat2", "link", "fsync", "unlink"}) {
            for (int n = 1; n < 400; ++n) {
                copyTree(pristineOld, work);
                QStringList args{QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                 QStringLiteral("-e"),
                                 QStringLiteral("inject=%1:signal=SIGKILL:when=%2").arg(QLatin1String(call)).arg(n)};
                if (fat && std::strcmp(call, "link") != 0 && std::strcmp(call, "renameat2") != 0)
                    args << QStringLiteral("-e") << QStringLiteral("inject=link,linkat:error=EPERM")
                         << QStringLiteral("-e") << QStringLiteral("inject=renameat2:error=EINVAL");
                else if (fat)
                    break;
                args << QStringLiteral(MAINTENANCE_PROBE) << QStringLiteral("restore") << work << archive;
                QProcess p;
                p.start(strace, args);
                ASSERT_TRUE(p.waitForFinished(60000));
                const bool finished = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
                QProcess recover;
                recover.start(QStringLiteral(MAINTENANCE_PROBE), {QStringLiteral("recover"), work});
                ASSERT_TRUE(recover.waitForFinished(60000));
                EXPECT_EQ(recover.exitCode(), 0) << recover.readAllStandardError().toStdString();
                const QString now = describe(work);
                EXPECT_TRUE(now == oldState || now == newState)
                    << call << " " << n << (fat ? " (FAT)" : "") << ": " << now.toStdString();
                EXPECT_FALSE(QFileInfo::exists(work + QStringLiteral("Data/.restauration")));
                ++runs;
                if (finished)
                    break;
            }
        }
    EXPECT_GT(runs, 20);
}

// Renames that fail from some point on: before the mark nothing changed and
// the data is open again; after it the command leaves the data closed, says
// the restore ends at the next start and quits; the next start completes it.
TEST_F(HostileTest, RestoreFailingAfterItsMarkIsFinishedAtTheNextStart)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is missing";
    MaintenanceCommands commands(*dm, display);
    const QString archive = sandbox->root() + QStringLiteral("new.bkp");
    exec(QStringLiteral("INSERT INTO PROFILES (LoginName, PlanningMode) VALUES ('Nouveau', 0)"));
    write(QStringLiteral("Images/People8.jpg"), noise(30000, 9));
    ASSERT_TRUE(commands.BackupDatabase(archive, QStringLiteral("essai")));
    dm->ADOConnection1.close();
    const QString pristine = sandbox->root() + QStringLiteral("pristine/");
    copyTree(root(), pristine);
    QDir(pristine + QStringLiteral("Backup")).removeRecursively();
    {
        db::Connection c;
        c.setConnectionString(QStringLiteral("Provider=x;Data Source=") + pristine
                              + QStringLiteral("Data/Access/PLANNING.MDB"));
        c.open();
        c.exec(QStringLiteral("DELETE FROM PROFILES WHERE LoginName='Nouveau'"));
        c.close();
    }
    QFile::remove(pristine + QStringLiteral("Data/Images/People8.jpg"));
    const QString oldState = describe(pristine);
    const QString work = sandbox->root() + QStringLiteral("work/");
    const auto run = [&](const QStringList& inject, const QStringList& probe) {
        QStringList args{QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null")};
        for (const QString& i : inject)
            args << QStringLiteral("-e") << i;
        QProcess p;
        p.start(strace, args + QStringList{QStringLiteral(MAINTENANCE_PROBE)} + probe);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
    };
    copyTree(pristine, work);
    ASSERT_EQ(run({}, {QStringLiteral("restore"), work, archive}).first, 0);
    const QString newState = describe(work);
    ASSERT_NE(newState, oldState);

    int pending = 0;
    for (const bool fat : {false, true}) {
        for (int n = 1; n < 200; ++n) {
            copyTree(pristine, work);
            QStringList inject{QStringLiteral("inject=rename:error=EIO:when=%1+").arg(n)};
            if (fat)
                inject << QStringLiteral("inject=link,linkat:error=EPERM")
                       << QStringLiteral("inject=renameat2:error=EINVAL");
            const auto [code, out] = run(inject, {QStringLiteral("restore-command"), work, archive});
            ASSERT_EQ(code, 0) << out.toStdString();
            SCOPED_TRACE(QStringLiteral("rename %1%2: %3")
                             .arg(n)
                             .arg(fat ? QStringLiteral(" (FAT)") : QString(), out)
                             .toStdString());
            if (out.contains(QStringLiteral("Sauvegarde restaurée.")))
                break;
            if (out.contains(QStringLiteral("quit=1"))) {
                ++pending;
                EXPECT_TRUE(out.startsWith(QStringLiteral("connection=closed window=disabled quit=1")));
                EXPECT_TRUE(out.contains(QStringLiteral("au prochain démarrage")));
                // While renames fail the next start cannot finish, and says so.
                QStringList still = inject;
                still.first() = QStringLiteral("inject=rename:error=EIO");
                const auto [failed, why] = run(still, {QStringLiteral("recover"), work});
                if (failed == 0)
                    EXPECT_EQ(describe(work), newState);
                else
                    EXPECT_TRUE(why.contains(QStringLiteral("Impossible"))) << why.toStdString();
                EXPECT_EQ(run({}, {QStringLiteral("recover"), work}).first, 0);
                EXPECT_EQ(describe(work), newState);
            } else {
                EXPECT_TRUE(out.startsWith(QStringLiteral("connection=open window=enabled quit=0")));
                EXPECT_EQ(describe(work), oldState);
            }
        }
    }
    EXPECT_GT(pending, 1);
}

// A small cabinet may carry anything: only the database, the pictures and the
// attached files come out of it, and the message counts what was left out.
TEST_F(HostileTest, OnlyTheDataComesOutOfAnArchive)
{
    const QString path = cabinet(QStringLiteral("junk.bkp"),
                                 {{QStringLiteral("PLANNING.MDB"), validDatabase()},
                                  {QStringLiteral("People4.jpg"), "photo"},
                                  {QStringLiteral("File6.f"), "document"},
                                  {QStringLiteral("junk.bin"), QByteArray(40 << 20, '\0')},
                                  {QStringLiteral("temp.cab"), "faux"},
                                  {QStringLiteral("PLANNING_ACCESS_BACKUP_01_01_2009.bkp"), "fausse sauvegarde"},
                                  {QStringLiteral("notes.txt"), "texte"}});
    EXPECT_LT(QFileInfo(path).size(), 1 << 20);
    MaintenanceCommands commands(*dm, display);
    prompt.setNextFileName(path);
    commands.Popup_Tools_DataBase_restoreClick();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().at(0).text.startsWith(QStringLiteral("Sauvegarde restaurée.")));
    EXPECT_TRUE(prompt.messages().at(0).text.contains(QStringLiteral("4 fichier(s)")))
        << prompt.messages().at(0).text.toStdString();
    QStringList backup = QDir(backupDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    EXPECT_EQ(backup, QStringList{QStringLiteral("Avant restauration")});
    EXPECT_TRUE(filesOf(dataDir() + QStringLiteral("Images")).contains(QStringLiteral("People4.jpg")));
    EXPECT_TRUE(filesOf(dataDir() + QStringLiteral("Files")).contains(QStringLiteral("File6.f")));
    EXPECT_FALSE(QFileInfo::exists(dataDir() + QStringLiteral("Images/junk.bin")));
}

namespace {

// A fresh FAT file system through FUSE (this kernel has no vfat module); an
// empty path when the tools or FUSE are missing.
struct FatMount {
    QString dir;
    explicit FatMount(const QString& where)
    {
        const QString mkfs = QStandardPaths::findExecutable(QStringLiteral("mkfs.vfat"),
                                                            {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        const QString fusefat = QStandardPaths::findExecutable(QStringLiteral("fusefat"));
        if (mkfs.isEmpty() || fusefat.isEmpty() || !QFile::exists(QStringLiteral("/dev/fuse")))
            return;
        const QString image = where + QStringLiteral("fat.img");
        QDir().mkpath(where + QStringLiteral("mnt"));
        QFile f(image);
        if (!f.open(QIODevice::WriteOnly) || !f.resize(64 << 20))
            return;
        f.close();
        if (QProcess::execute(mkfs, {image}) != 0
            || QProcess::execute(fusefat,
                                 {QStringLiteral("-o"), QStringLiteral("rw+"), image, where + QStringLiteral("mnt")})
                != 0)
            return;
        dir = where + QStringLiteral("mnt/");
    }
    ~FatMount()
    {
        if (!dir.isEmpty())
            QProcess::execute(QStringLiteral("fusermount"), {QStringLiteral("-u"), dir});
    }
};

}  // namespace

// On a real FAT file system (no hard links, no rename flags): a restore
// completes, and a compaction and a backup leave the data whole.
TEST_F(HostileTest, RestoreAndCompactionWorkOnFat)
{
    MaintenanceCommands commands(*dm, display);
    const QString archive = sandbox->root() + QStringLiteral("pour-fat.bkp");
    exec(QStringLiteral("INSERT INTO PROFILES (LoginName, PlanningMode) VALUES ('Sur FAT', 0)"));
    ASSERT_TRUE(commands.BackupDatabase(archive, QStringLiteral("essai")));
    const State backedUp = state();
    dm->ADOConnection1.close();
    const QString original = root();

    for (const char* scenario : {"restore", "compact"}) {
        SCOPED_TRACE(scenario);
        FatMount fat(sandbox->root() + QLatin1String(scenario) + QLatin1Char('/'));
        if (fat.dir.isEmpty())
            GTEST_SKIP() << "no FAT file system through FUSE here";
        copyTree(original, fat.dir);
        core::globals().dataRoot = fat.dir;
        core::globals().dataDir = fat.dir + QStringLiteral("Data/");
        ASSERT_EQ(dm->OpenMainConnection(), QString());
        prompt.clear();
        if (std::strcmp(scenario, "restore") == 0) {
            exec(QStringLiteral("DELETE FROM PROFILES"));
            write(QStringLiteral("Images/People1.jpg"), "changée");
            prompt.setNextFileName(archive);
            commands.Popup_Tools_DataBase_restoreClick();
            ASSERT_FALSE(prompt.messages().isEmpty());
            EXPECT_EQ(prompt.messages().last().text, QStringLiteral("Sauvegarde restaurée."));
            EXPECT_EQ(state(), backedUp);
            EXPECT_FALSE(QFileInfo::exists(dataDir() + QStringLiteral(".restauration")));
        } else {
            prompt.setNextAnswer(ui::Answer::Yes);
            commands.Popup_Tools_DataBase_CompactClick();
            ASSERT_FALSE(prompt.messages().isEmpty());
            EXPECT_EQ(prompt.messages().last().text, QStringLiteral("Compactage effectué."));
            EXPECT_EQ(state().dossiers, backedUp.dossiers);
            EXPECT_EQ(QDir(dataDir() + QStringLiteral("Access")).entryList(QDir::Files),
                      QStringList{QStringLiteral("PLANNING.MDB")});
        }
        dm->ADOConnection1.close();
    }
}

// A full disk during a backup keeps the previous archive; during a restore
// it keeps the data.
TEST_F(HostileTest, FullDiskFailsInFrenchAndKeepsEverything)
{
    const QString small = sandbox->root() + QStringLiteral("small/");
    QDir().mkpath(small);
    if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=1200k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    struct Unmount {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(small)};

    // A big picture for the archive to restore, made before the move.
    const QString incoming = sandbox->root() + QStringLiteral("incoming.bkp");
    write(QStringLiteral("Images/Big.jpg"), noise(700000, 6));
    MaintenanceCommands commands(*dm, display);
    ASSERT_TRUE(commands.BackupDatabase(incoming, QStringLiteral("essai")));
    QFile::remove(dataDir() + QStringLiteral("Images/Big.jpg"));

    // The data root moves onto the small disk.
    dm->ADOConnection1.close();
    copyTree(root(), small);
    core::globals().dataRoot = small;
    core::globals().dataDir = small + QStringLiteral("Data/");
    ASSERT_EQ(dm->OpenMainConnection(), QString());
    write(QStringLiteral("Images/Medium.jpg"), noise(300000, 7));
    const QString target = backupDir() + QStringLiteral("ancienne.bkp");
    Sandbox::writeFile(target, "ancienne sauvegarde");
    Sandbox::writeFile(small + QStringLiteral("filler"), noise(520000, 8));
    const State before = state();

    prompt.clear();
    EXPECT_FALSE(commands.BackupDatabase(target, QStringLiteral("pleine")));
    ASSERT_FALSE(prompt.messages().isEmpty());
    EXPECT_TRUE(prompt.messages().at(0).text.contains(QStringLiteral("plus de place sur le disque")))
        << prompt.messages().at(0).text.toStdString();
    EXPECT_EQ(Sandbox::readFile(target), QByteArray("ancienne sauvegarde"));
    EXPECT_FALSE(QFile::exists(backupDir() + QStringLiteral("temp.cab")));
    EXPECT_EQ(state(), before);

    prompt.clear();
    prompt.setNextFileName(incoming);
    commands.Popup_Tools_DataBase_restoreClick();
    ASSERT_FALSE(prompt.messages().isEmpty());
    EXPECT_EQ(prompt.messages().at(0).kind, ui::MessageKind::Error);
    EXPECT_TRUE(prompt.messages().at(0).text.contains(QStringLiteral("o libres sur le disque"))
                || prompt.messages().at(0).text.contains(QStringLiteral("plus de place sur le disque")))
        << prompt.messages().at(0).text.toStdString();
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(QFileInfo::exists(dataDir() + QStringLiteral(".restauration")));
}
