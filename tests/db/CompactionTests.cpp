#include "DbFixture.h"

#include "db/Compaction.h"
#include "db/DbError.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <QStandardPaths>
#include <functional>
#include <unistd.h>

#include <sqlite3.h>

using namespace db;

namespace {

// Rows of PEOPLE, or -1 when the file is not a sound database.
int soundPeopleCount(const QString& path)
{
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(h);
        return -1;
    }
    int result = -1;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW
        && std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok") == 0) {
        sqlite3_finalize(st);
        st = nullptr;
        if (sqlite3_prepare_v2(h, "SELECT count(*) FROM PEOPLE", -1, &st, nullptr) == SQLITE_OK
            && sqlite3_step(st) == SQLITE_ROW)
            result = sqlite3_column_int(st, 0);
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    return result;
}

}  // namespace

TEST(TemporaryDatabaseName, InsertsTildeIntoTheFileName)
{
    EXPECT_EQ(TemporaryDatabaseName(QStringLiteral("/d/Access/PLANNING.MDB")),
              QStringLiteral("/d/Access/PLANNING~.MDB"));
    EXPECT_EQ(TemporaryDatabaseName(QStringLiteral("/d/my.data/PLANNING.MDB")),
              QStringLiteral("/d/my.data/PLANNING~.MDB"));
    EXPECT_EQ(TemporaryDatabaseName(QStringLiteral("/d/x.y/a.b.c")), QStringLiteral("/d/x.y/a~.b.c"));
    EXPECT_EQ(TemporaryDatabaseName(QStringLiteral("/d/x.y/NOEXT")), QStringLiteral("/d/x.y/NOEXT~"));
}

class CompactionTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        connection->beginTransaction();
        for (int i = 0; i < 400; ++i)
            connection->exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name, Remark1) VALUES (1, ?, ?)"),
                             {QStringLiteral("P%1").arg(i), QString(2000, QLatin1Char('x'))});
        connection->commit();
        connection->exec(QStringLiteral("DELETE FROM PEOPLE WHERE Id % 2 = 0"));
        connection->close();
    }
};

TEST_F(CompactionTest, InPlaceThroughADottedDirectory)
{
    const QString dir = sandbox->root() + QStringLiteral("my.data/");
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("PLANNING.MDB");
    QFile::copy(dbPath, path);
    const qint64 before = QFileInfo(path).size();
    CompactInPlace(path);
    EXPECT_LT(QFileInfo(path).size(), before);
    EXPECT_EQ(soundPeopleCount(path), 200);
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("PLANNING~.MDB")));
    EXPECT_FALSE(QFile::exists(sandbox->root() + QStringLiteral("my~.data")));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList{QStringLiteral("PLANNING.MDB")});
}

TEST_F(CompactionTest, IntoAnExistingTargetReplacesIt)
{
    const QString target = dataDir + QStringLiteral("Access/DEL_BACKUP.MDB");
    testing_support::Sandbox::writeFile(target, "old safety copy");
    CompactDatabaseFile(dbPath, target);
    EXPECT_EQ(soundPeopleCount(target), 200);
    EXPECT_EQ(soundPeopleCount(dbPath), 200);
    CompactDatabaseFile(dbPath, target);
    EXPECT_EQ(soundPeopleCount(target), 200);
}

TEST_F(CompactionTest, FailuresLeaveTheFilesAlone)
{
    // A source that is no database: the target is neither replaced nor left half-written.
    const QString junk = sandbox->root() + QStringLiteral("junk.mdb");
    testing_support::Sandbox::writeFile(junk, QByteArray(8192, 'j'));
    const QString target = sandbox->root() + QStringLiteral("target.mdb");
    testing_support::Sandbox::writeFile(target, "previous");
    EXPECT_THROW(CompactDatabaseFile(junk, target), DbError);
    EXPECT_EQ(testing_support::Sandbox::readFile(target), QByteArray("previous"));
    EXPECT_FALSE(QFile::exists(target + QStringLiteral(".part")));
    EXPECT_THROW(CompactDatabaseFile(sandbox->root() + QStringLiteral("none.mdb"), target), DbError);
    // In place on junk: the original stays under its name.
    EXPECT_THROW(CompactInPlace(junk), DbError);
    EXPECT_EQ(testing_support::Sandbox::readFile(junk), QByteArray(8192, 'j'));
    EXPECT_FALSE(QFile::exists(TemporaryDatabaseName(junk)));
}

// What an interrupted compaction left never blocks the next one, and never
// costs the only copy of the data.
TEST_F(CompactionTest, LeftoversAreResolvedBeforeCompacting)
{
    const QString temporary = TemporaryDatabaseName(dbPath);
    const QString part = dbPath + QStringLiteral(".part");
    const QString original = sandbox->root() + QStringLiteral("original.mdb");
    QFile::copy(dbPath, original);
    const auto sandboxWrite = [](const QString& path, const QByteArray& bytes) {
        testing_support::Sandbox::writeFile(path, bytes);
    };
    const struct {
        const char* label;
        std::function<void()> leave;
        QStringList kept;  // files beside the database afterwards, besides it
    } cases[] = {
        {"junk under the temporary name", [&] { sandboxWrite(temporary, "left from a crash"); }, {}},
        {"the live file's own link",
         [&] { ASSERT_EQ(::link(QFile::encodeName(dbPath).constData(), QFile::encodeName(temporary).constData()), 0); },
         {}},
        {"a partial copy", [&] { sandboxWrite(part, QByteArray(4096, 'p')); }, {}},
        {"the live file under the temporary name only",
         [&] {
             QFile::rename(dbPath, temporary);
             sandboxWrite(part, QByteArray(4096, 'p'));
         },
         {}},
        {"a sound copy unlike the live file",
         [&] { QFile::copy(original, temporary); },
         {QStringLiteral("PLANNING_COMPACTAGE_INTERROMPU_*.MDB")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const QString dir = QFileInfo(dbPath).absolutePath();
        for (const QString& f : QDir(dir).entryList(QDir::Files))
            QFile::remove(dir + QLatin1Char('/') + f);
        QFile::copy(original, dbPath);
        c.leave();
        CompactInPlace(dbPath);
        EXPECT_EQ(soundPeopleCount(dbPath), 200);
        QStringList expected{QStringLiteral("PLANNING.MDB")};
        QStringList others = QDir(dir).entryList(QDir::Files);
        others.removeAll(QStringLiteral("PLANNING.MDB"));
        EXPECT_EQ(others.size(), c.kept.size()) << others.join(QLatin1Char(' ')).toStdString();
        for (const QString& kept : c.kept)
            EXPECT_EQ(QDir(dir).entryList({kept}, QDir::Files).size(), 1);
    }

    // No database and no sound copy: refused, naming the files, touching none.
    QFile::remove(dbPath);
    for (const QString& f : QDir(QFileInfo(dbPath).absolutePath()).entryList({QStringLiteral("*_INTERROMPU_*")}))
        QFile::remove(QFileInfo(dbPath).absolutePath() + QLatin1Char('/') + f);
    sandboxWrite(temporary, "coupé");
    sandboxWrite(part, QByteArray());
    try {
        ResolveCompactionLeftovers(dbPath);
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("PLANNING~.MDB"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("ne les supprimez pas")));
    }
    EXPECT_EQ(testing_support::Sandbox::readFile(temporary), QByteArray("coupé"));
    EXPECT_TRUE(QFile::exists(part));
    EXPECT_FALSE(QFile::exists(dbPath));
}

// Killed at every write, rename, unlink and flush, also where hard links and
// rename flags are refused as on FAT: the database stays whole under its
// name, and the next compaction goes through.
TEST_F(CompactionTest, KilledAtAnyPointLeavesASoundDatabase)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is missing";
    const QString original = sandbox->root() + QStringLiteral("original.mdb");
    QFile::copy(dbPath, original);
    const QString dir = QFileInfo(dbPath).absolutePath();
    int killed = 0;
    for (const bool fat : {false, true}) {
        for (int n = 1;; ++n) {
            for (const QString& f : QDir(dir).entryList(QDir::Files))
                QFile::remove(dir + QLatin1Char('/') + f);
            QFile::copy(original, dbPath);
            QStringList args{QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                             QStringLiteral("-e"),
                             QStringLiteral("inject=write,pwrite64,rename,unlink,fsync:signal=SIGKILL:when=%1").arg(n)};
            if (fat)
                args << QStringLiteral("-e") << QStringLiteral("inject=link,linkat:error=EPERM") << QStringLiteral("-e")
                     << QStringLiteral("inject=renameat2:error=EINVAL");
            args << QStringLiteral(DB_PROBE) << QStringLiteral("compact-in-place") << dbPath;
            QProcess p;
            p.start(strace, args);
            ASSERT_TRUE(p.waitForFinished(60000));
            const bool finished = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
            EXPECT_EQ(soundPeopleCount(dbPath), 200) << "killed at call " << n;
            EXPECT_NO_THROW(CompactInPlace(dbPath)) << "after a kill at call " << n;
            EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList{QStringLiteral("PLANNING.MDB")});
            if (finished || n > 400)
                break;
            ++killed;
        }
    }
    EXPECT_GT(killed, 6);
}

// A write cut short leaves a hot journal: the compaction works on the last
// committed state, and the journal is not replayed onto the new file later.
TEST_F(CompactionTest, HotJournalIsRolledBackFirst)
{
    const QString crashed = sandbox->root() + QStringLiteral("crashed/");
    QDir().mkpath(crashed);
    const QString path = crashed + QStringLiteral("PLANNING.MDB");
    {
        // A transaction that has written pages into the file, frozen as a
        // crash would leave it: the file and its journal copied mid-way.
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(dbPath).constData(), &h), SQLITE_OK);
        sqlite3_exec(
            h,
            "PRAGMA synchronous=OFF; PRAGMA cache_size=20; BEGIN; UPDATE PEOPLE SET Remark1 = hex(randomblob(1500));"
            "DELETE FROM PEOPLE WHERE Id % 3 = 0;",
            nullptr, nullptr, nullptr);
        ASSERT_TRUE(QFile::exists(dbPath + QStringLiteral("-journal")));
        QFile::copy(dbPath, path);
        QFile::copy(dbPath + QStringLiteral("-journal"), path + QStringLiteral("-journal"));
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(h);
    }
    ASSERT_NE(testing_support::Sandbox::readFile(path), testing_support::Sandbox::readFile(dbPath));
    CompactInPlace(path);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal")));
    EXPECT_EQ(soundPeopleCount(path), 200);
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &h), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(h, "SELECT count(*) FROM PEOPLE WHERE Remark1 = ?1", -1, &st, nullptr), SQLITE_OK);
    const std::string old(2000, 'x');
    sqlite3_bind_text(st, 1, old.c_str(), -1, SQLITE_STATIC);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 200);  // the committed text, not the cut update
    sqlite3_finalize(st);
    sqlite3_close(h);
}
