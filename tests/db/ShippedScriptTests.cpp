#include "core/Globals.h"
#include "core/TextFile.h"
#include "db/DbVersion.h"
#include "db/Schema.h"
#include "db/UpdateLog.h"
#include "db/UpdateScript.h"

#include "DbFixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>

using testing_support::Sandbox;

namespace {

const QString kShipped = QStringLiteral(PLANNING_SOURCE_DIR "/resources/Maj/");
const QString kScript = QStringLiteral("BD_134.maj");

// Tables with their columns (name, declared type, key) and indexes with theirs.
std::string schemaOf(db::Connection& c)
{
    QStringList out;
    QSqlQuery q(c.database());
    q.exec(QStringLiteral("SELECT type, name, tbl_name FROM sqlite_master WHERE name NOT LIKE 'sqlite%' ORDER BY "
                          "type, name"));
    QStringList items;
    while (q.next())
        items << q.value(0).toString() + QLatin1Char(' ') + q.value(1).toString();
    q.finish();
    for (const QString& item : items) {
        const QString name = item.section(QLatin1Char(' '), 1);
        const bool table = item.startsWith(QStringLiteral("table"));
        QSqlQuery info(c.database());
        info.exec((table ? QStringLiteral("PRAGMA table_info(") : QStringLiteral("PRAGMA index_info(")) + name
                  + QLatin1Char(')'));
        QStringList cols;
        while (info.next())
            cols << (table ? info.value(1).toString() + QLatin1Char(':') + info.value(2).toString() + QLatin1Char(':')
                             + info.value(5).toString()
                           : info.value(2).toString());
        // A column added back by the script comes last: only names and types count.
        if (table)
            cols.sort();
        out << item + QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    return out.join(QLatin1Char('\n')).toStdString();
}

QByteArray digest(const QString& path)
{
    return QCryptographicHash::hash(Sandbox::readFile(path), QCryptographicHash::Sha256);
}

}  // namespace

class ShippedScriptTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        core::globals().dataRoot = sandbox->root();
        core::setProgramDirectory(sandbox->programDir());
        core::globals().dataRoot = sandbox->root();
        core::globals().dataDir = dataDir;
        target = schemaOf(*connection);
    }

    void openFresh(const QString& path)
    {
        connection = std::make_unique<db::Connection>();
        connection->setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
        connection->open();
    }

    void runShipped() { db::RunScript(*connection, kShipped, kScript, false, nullptr); }

    std::string target;
};

TEST_F(ShippedScriptTest, BuildsTheWholeSchemaFromAnEmptyFile)
{
    connection.reset();
    QFile::remove(dbPath);
    Sandbox::writeFile(dbPath, QByteArray());
    openFresh(dbPath);
    runShipped();
    EXPECT_EQ(schemaOf(*connection), target);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM TEMP")), 1);
    const QStringList log = core::readTextFile(db::UpdateLogPath()).value_or(QStringList());
    for (const QString& line : log)
        EXPECT_FALSE(line.contains(QStringLiteral("(error"))) << line.toStdString();
}

TEST_F(ShippedScriptTest, CurrentDatabaseIsNotChanged)
{
    connection->exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Garde')"));
    connection.reset();
    const QByteArray before = digest(dbPath);
    openFresh(dbPath);
    runShipped();
    connection.reset();
    EXPECT_EQ(digest(dbPath), before);
    const QStringList log = core::readTextFile(db::UpdateLogPath()).value_or(QStringList());
    for (const QString& line : log)
        EXPECT_FALSE(line.contains(QStringLiteral("ALTER")) || line.contains(QStringLiteral("CREATE TABLE")))
            << line.toStdString();
}

TEST_F(ShippedScriptTest, OlderDatabaseIsRepairedAndKeepsItsRows)
{
    // An older form: version column VAL, a missing table, column and index.
    connection->exec(QStringLiteral("ALTER TABLE OBJECT_VAL_STR RENAME COLUMN Value TO VAL"));
    connection->exec(QStringLiteral("UPDATE OBJECT_VAL_STR SET VAL='1.20'"));
    connection->exec(QStringLiteral("ALTER TABLE PEOPLE DROP COLUMN Misc07"));
    connection->exec(QStringLiteral("DROP INDEX IX_PLANNING_PROJECT"));
    connection->exec(QStringLiteral("DROP TABLE EVENT"));
    connection->exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name) VALUES (1, 'Ancien')"));
    EXPECT_EQ(db::VersionColumnOf(*connection), QStringLiteral("VAL"));
    runShipped();
    EXPECT_EQ(schemaOf(*connection), target);
    EXPECT_EQ(db::VersionColumnOf(*connection), QStringLiteral("VALUE"));
    EXPECT_EQ(db::GetDbVersion(*connection, QStringLiteral("OBJECT_VAL_STR"), QStringLiteral("VALUE")),
              QStringLiteral("1.20"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE WHERE Name='Ancien'")), 1);
}

// The run killed at every write to the database or its journal leaves a
// sound file that the next run finishes.
TEST_F(ShippedScriptTest, KilledAtAnyWriteIsFinishedByTheNextRun)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is missing";
    connection->exec(QStringLiteral("ALTER TABLE PEOPLE DROP COLUMN Misc07"));
    connection->exec(QStringLiteral("DROP INDEX IX_PLANNING_PROJECT"));
    connection->exec(QStringLiteral("DROP TABLE EVENT"));
    connection->exec(QStringLiteral("DROP TABLE STAT_QUERY"));
    connection->exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name) VALUES (1, 'Garde')"));
    connection.reset();
    const QString original = sandbox->root() + QStringLiteral("original.mdb");
    QFile::copy(dbPath, original);
    int killed = 0;
    bool finished = false;
    // Every early call, then a spread of later ones up to a clean run.
    for (int n = 1; n < 2000 && !finished; n += n < 12 ? 1 : n / 3) {
        QFile::remove(dbPath);
        QFile::remove(dbPath + QStringLiteral("-journal"));
        QFile::copy(original, dbPath);
        QProcess p;
        p.start(strace,
                {QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-P"), dbPath,
                 QStringLiteral("-P"), dbPath + QStringLiteral("-journal"), QStringLiteral("-e"),
                 QStringLiteral("inject=pwrite64,write,fsync,fdatasync,unlink,ftruncate:signal=SIGKILL:when=%1").arg(n),
                 QStringLiteral(DB_PROBE), QStringLiteral("run-script"), sandbox->root(), dataDir, kShipped, kScript});
        ASSERT_TRUE(p.waitForFinished(60000));
        if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) {
            finished = true;
        } else {
            ++killed;
        }
        openFresh(dbPath);
        ASSERT_EQ(connection->scalar(QStringLiteral("PRAGMA integrity_check"))->toString(), QStringLiteral("ok"))
            << "killed at call " << n;
        runShipped();
        EXPECT_EQ(schemaOf(*connection), target) << "killed at call " << n;
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE WHERE Name='Garde'")), 1);
        connection.reset();
    }
    EXPECT_TRUE(finished);
    EXPECT_GT(killed, 8);
}

// The script's comments go to the user's log: they are French, like the rest
// of the program (no English function words).
TEST(ShippedScriptText, CommentsAreFrench)
{
    const auto lines = core::readTextFile(kShipped + kScript);
    ASSERT_TRUE(lines.has_value());
    static const QRegularExpression english(
        QStringLiteral("\\b(the|and|this|is|of|from|which|with|so|older|files?|read|alone)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    int comments = 0;
    for (const QString& line : *lines) {
        if (!line.startsWith(QStringLiteral("//")))
            continue;
        ++comments;
        EXPECT_FALSE(english.match(line).hasMatch()) << line.toStdString();
    }
    EXPECT_GT(comments, 20);
}
