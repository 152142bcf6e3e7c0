#include "core/Clock.h"
#include "core/Globals.h"
#include "core/ScriptFeedback.h"
#include "core/TextFile.h"
#include "db/DbError.h"
#include "db/DbVersion.h"
#include "db/ScriptLine.h"
#include "db/UpdateLog.h"
#include "db/UpdateScript.h"

#include "DbFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>

using testing_support::Sandbox;

namespace {

const QString kDone = QString::fromUtf8(db::kAlreadyDone);

// The log's messages without their dates, empty lines kept.
QStringList logMessages()
{
    const auto lines = core::readTextFile(db::UpdateLogPath());
    QStringList out;
    for (const QString& l : lines.value_or(QStringList())) {
        const qsizetype colon = l.indexOf(QStringLiteral(" : "));
        out << (colon == 19 ? l.mid(22) : l);
    }
    return out;
}

// Test double of the window side: records what the run asked and showed.
class RecordingFeedback final : public core::ScriptFeedback {
public:
    bool answer = false;
    QStringList questions, texts, statuses;
    int begun = 0, ended = 0, advanced = 0, maximum = -1;
    bool confirm(const QString& q) override
    {
        questions << q;
        return answer;
    }
    void beginProgress(int max, int) override
    {
        ++begun;
        maximum = max;
    }
    void setProgressText(const QString& t) override { texts << t; }
    void advanceProgress() override { ++advanced; }
    void endProgress() override { ++ended; }
    void setStatus(const QString& s) override { statuses << s; }
    void pump() override { }
};

}  // namespace

class UpdateScriptTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        core::globals().dataRoot = sandbox->root();
        core::globals().programDir = sandbox->programDir();
        core::setClock([] { return QDateTime(QDate(2008, 3, 5), QTime(14, 2, 9)); });
    }
    void TearDown() override
    {
        core::setClock({});
        DbTest::TearDown();
    }

    // Writes the script (lines joined with CR LF) into the data root and runs it.
    void run(const QByteArray& text, core::ScriptFeedback* feedback = nullptr, bool askAndDelete = false)
    {
        Sandbox::writeFile(sandbox->root() + QStringLiteral("T.maj"), text);
        db::RunScript(*connection, sandbox->root(), QStringLiteral("T.maj"), askAndDelete, feedback);
    }

    bool hasColumn(const QString& table, const QString& column)
    {
        connection->forgetTableInfo();
        const db::TableInfo* t = connection->tableInfo(table);
        return t && t->find(column);
    }
};

TEST(DbVersion, VersionNumbers)
{
    const struct {
        const char* text;
        int number;
    } cases[] = {{"1.34", 134}, {"1.4", 14}, {"0", 0},    {"2", 2}, {"1.3.4", 0},
                 {"", 0},       {"abc", 0},  {"1.2x", 0}, {".", 0}, {"99999999999", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(db::VersionNumber(QString::fromLatin1(c.text)), c.number) << c.text;
}

// Versions compare as numbers, major then minor; any other text is refused
// as a newer database would be, and is never "older".
TEST(DbVersion, VersionsCompareMajorThenMinor)
{
    const QString program = QStringLiteral("1.34");
    const struct {
        const char* text;
        bool older;
        bool refused;
    } cases[] = {
        {"0", true, false},      {"1.4", true, false},   {"1.20", true, false},  {"1.34", false, false},
        {"1.35", false, true},   {"1.340", false, true}, {"2.0", false, true},   {"2", false, true},
        {"1.34.9", false, true}, {"1,35", false, true},  {" 1.35", false, true}, {"", false, true},
        {"-1", false, true},     {"abc", false, true},   {"1.", false, true},    {"99999999999", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString v = QString::fromLatin1(c.text);
        EXPECT_EQ(db::IsOlderVersion(v, program), c.older);
        if (c.refused)
            EXPECT_THROW(db::CheckNotNewer(v, program), db::DbError);
        else
            EXPECT_NO_THROW(db::CheckNotNewer(v, program));
    }
    EXPECT_LT(db::CompareVersions(QStringLiteral("1.4"), QStringLiteral("1.34")), 0);
    EXPECT_GT(db::CompareVersions(QStringLiteral("2.0"), QStringLiteral("1.99")), 0);
    EXPECT_EQ(db::CompareVersions(QStringLiteral("1.34"), QStringLiteral("1.34")), 0);
}

TEST_F(UpdateScriptTest, VersionRowReadAndWritten)
{
    const QString table = QStringLiteral("OBJECT_VAL_STR");
    EXPECT_EQ(db::GetDbVersion(*connection, table, QStringLiteral("VALUE")), QStringLiteral("1.34"));
    connection->exec(QStringLiteral("DELETE FROM OBJECT_VAL_STR"));
    EXPECT_EQ(db::GetDbVersion(*connection, table, QStringLiteral("VALUE")), QStringLiteral("0"));
    EXPECT_EQ(db::GetDbVersion(*connection, QStringLiteral("NO_TABLE"), QStringLiteral("VALUE")), QStringLiteral("0"));
    // A row whose value is blank is not version "0": it is given as it is, and refused.
    db::SetDbVersion(*connection, table, QStringLiteral("VALUE"), QString());
    EXPECT_EQ(db::GetDbVersion(*connection, table, QStringLiteral("VALUE")), QString());
    db::SetDbVersion(*connection, table, QStringLiteral("VALUE"), QStringLiteral("1.20"));
    db::SetDbVersion(*connection, table, QStringLiteral("VALUE"), QStringLiteral("1.4"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_VAL_STR")), 1);
    EXPECT_EQ(db::GetDbVersion(*connection, table, QStringLiteral("VALUE")), QStringLiteral("1.4"));
    EXPECT_EQ(db::VersionColumnOf(*connection), QStringLiteral("VALUE"));

    connection->exec(QStringLiteral("ALTER TABLE OBJECT_VAL_STR RENAME COLUMN Value TO VAL"));
    EXPECT_EQ(db::VersionColumnOf(*connection), QStringLiteral("VAL"));
    EXPECT_EQ(db::GetDbVersion(*connection, table, QStringLiteral("VALUE")), QStringLiteral("0"));
    EXPECT_EQ(db::GetDbVersion(*connection, table, QStringLiteral("VAL")), QStringLiteral("1.4"));
    EXPECT_THROW(db::SetDbVersion(*connection, table, QStringLiteral("VALUE"), QStringLiteral("1.34")), db::DbError);

    EXPECT_NO_THROW(db::CheckNotNewer(QStringLiteral("1.34"), QStringLiteral("1.34")));
    EXPECT_NO_THROW(db::CheckNotNewer(QStringLiteral("1.4"), QStringLiteral("1.34")));
    EXPECT_THROW(db::CheckNotNewer(QStringLiteral("1.35"), QStringLiteral("1.34")), db::DbError);
}

TEST(ScriptLine, CommandsAndArguments)
{
    const struct {
        const char* line;
        db::ScriptCommand command;
        const char* table;
        const char* field;
        const char* text;
    } cases[] = {
        {"// un commentaire", db::ScriptCommand::Comment, "", "", " un commentaire"},
        {"NotFieldType(PEOPLE.Name,ftWideString)", db::ScriptCommand::NotFieldType, "PEOPLE", "Name", ""},
        {"NotFieldExists(PEOPLE.Misc08)", db::ScriptCommand::NotFieldExists, "PEOPLE", "Misc08", ""},
        {"FieldExists(A.B)", db::ScriptCommand::FieldExists, "A", "B", ""},
        {"NotTableExists(X)", db::ScriptCommand::NotTableExists, "X", "", ""},
        {"xx TableExists( X )", db::ScriptCommand::TableExists, " X ", "", ""},
        {"TableEmpty(PEOPLE)", db::ScriptCommand::TableEmpty, "PEOPLE", "", ""},
        // The test name is tried before SqlExe.
        {"SqlExe{UPDATE T SET C='FieldExists(A.B)'}", db::ScriptCommand::FieldExists, "A", "B", ""},
        {"SqlExe{DROP TABLE X}", db::ScriptCommand::SqlExe, "", "", "DROP TABLE X"},
        {"SqlExe{DROP TABLE X", db::ScriptCommand::SqlExe, "", "", ""},
        {"SqlExe}DROP{", db::ScriptCommand::SqlExe, "", "", ""},
        {"CompactDataBase(PLANNING.MDB)", db::ScriptCommand::CompactDataBase, "PLANNING.MDB", "", ""},
        {"ConvertStatScript{2009}", db::ScriptCommand::ConvertStatScript, "", "", "2009"},
        {"sqlexe{X}", db::ScriptCommand::None, "", "", ""},
        {"END", db::ScriptCommand::None, "", "", ""},
    };
    for (const auto& c : cases) {
        const db::ScriptLine l = db::ParseScriptLine(QString::fromLatin1(c.line));
        EXPECT_EQ(l.command, c.command) << c.line;
        EXPECT_EQ(l.table, QString::fromLatin1(c.table)) << c.line;
        EXPECT_EQ(l.field, QString::fromLatin1(c.field)) << c.line;
        EXPECT_EQ(l.text, QString::fromLatin1(c.text)) << c.line;
    }
    const db::ScriptLine copy = db::ParseScriptLine(QStringLiteral("ExtractImageToJpegCopy('PEOPLE','Img1','People')"));
    EXPECT_EQ(copy.command, db::ScriptCommand::ExtractImageToJpeg);
    EXPECT_TRUE(copy.keepColumn);
    EXPECT_EQ(copy.args, (QStringList{QStringLiteral("PEOPLE"), QStringLiteral("Img1"), QStringLiteral("People")}));
    const db::ScriptLine box = db::ParseScriptLine(
        QStringLiteral("ResizeBitmapInDataBase:ResizeBitmapDataBaseInWhiteRect('PEOPLE','ImgMini1','105','105')"));
    EXPECT_EQ(box.command, db::ScriptCommand::ResizeBitmapInDataBase);
    EXPECT_TRUE(box.whiteBox);
    EXPECT_EQ(box.args.value(3), QStringLiteral("105"));
    EXPECT_EQ(db::ParseScriptLine(QStringLiteral("NotFieldType(PEOPLE.Name,ftWideString)")).type,
              QStringLiteral("ftWideString"));
    const QString longStatement = QStringLiteral("SqlExe{") + QString(300, QLatin1Char('x')) + QLatin1Char('}');
    EXPECT_EQ(db::ParseScriptLine(longStatement).text.size(), db::kMaxStatementLength);
    EXPECT_EQ(db::ScriptLines("a\r\nb\rc\nd"),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
    EXPECT_TRUE(db::IsEndLine(QStringLiteral("end of block")));
    EXPECT_FALSE(db::IsEndLine(QStringLiteral(" END")));
}

TEST_F(UpdateScriptTest, LogLinesAreDatedWindows1252)
{
    db::AppendLog(QStringLiteral("SQL:DROP TABLE X (Ok)"));
    db::AppendLog(QString());
    db::AppendLog(QStringLiteral("déjà"));
    EXPECT_EQ(Sandbox::readFile(db::UpdateLogPath()),
              QByteArray("05/03/2008-14:02:09 : SQL:DROP TABLE X (Ok)\r\n\r\n05/03/2008-14:02:09 : d\xe9j\xe0\r\n"));
}

// Small scripts and what they leave in the log and the schema.
TEST_F(UpdateScriptTest, ScriptCases)
{
    const QString finished = QString::fromUtf8(db::kUpdateFinished);
    const struct {
        const char* name;
        const char* script;
        QStringList log;
        const char* column;  // PEOPLE column expected afterwards, "-" for absent
    } cases[] = {
        {"comment", "// hello\r\n", {QStringLiteral(" hello"), finished, {}}, nullptr},
        {"done already",
         "NotFieldExists(PEOPLE.Name)\r\nSqlExe{ALTER TABLE PEOPLE ADD COLUMN Name2 TEXT}\r\nEND\r\n",
         {kDone, finished, {}},
         "-Name2"},
        {"block runs",
         "NotFieldExists(PEOPLE.Misc08)\r\nSqlExe{ALTER TABLE PEOPLE ADD COLUMN Misc08 VARCHAR(128)}\r\nEND\r\n",
         {QStringLiteral("SQL:ALTER TABLE PEOPLE ADD COLUMN Misc08 VARCHAR(128) (Ok)"), finished, {}},
         "Misc08"},
        {"skip to first END, no nesting",
         "TableExists(NOPE)\nNotTableExists(PEOPLE)\nSqlExe{ALTER TABLE PEOPLE ADD COLUMN A1 TEXT}\nEND\n"
         "SqlExe{ALTER TABLE PEOPLE ADD COLUMN A2 TEXT}\nEND\n",
         {kDone, QStringLiteral("SQL:ALTER TABLE PEOPLE ADD COLUMN A2 TEXT (Ok)"), finished, {}},
         "A2"},
        {"block without END runs to the end of the file",
         "TableEmpty(PROFILES)\rSqlExe{ALTER TABLE PEOPLE ADD COLUMN A3 TEXT}\r",
         {QStringLiteral("SQL:ALTER TABLE PEOPLE ADD COLUMN A3 TEXT (Ok)"), finished, {}},
         "A3"},
        {"skipped block without END ends the script",
         "TableExists(NOPE)\nSqlExe{ALTER TABLE PEOPLE ADD COLUMN A4 TEXT}\n",
         {kDone, finished, {}},
         "-A4"},
        {"field type",
         "NotFieldType(PEOPLE.Name,ftWideString)\nSqlExe{X1}\nEND\nNotFieldType(PEOPLE.Name,ftMemo)\nEND\n",
         {kDone, finished, {}},
         nullptr},
        {"type names are case-sensitive",
         "NotFieldType(PEOPLE.Id,ftautoinc)\nSqlExe{SELECT 1}\nEND\n",
         {QStringLiteral("SQL:SELECT 1 (Ok)"), finished, {}},
         nullptr},
        {"failed statement goes on",
         "SqlExe{DROP TABLE NOPE}\nSqlExe{ALTER TABLE PEOPLE ADD COLUMN A5 TEXT}\n",
         {QStringLiteral("SQL:DROP TABLE NOPE (error : no such table: NOPE)"),
          QStringLiteral("SQL:ALTER TABLE PEOPLE ADD COLUMN A5 TEXT (Ok)"),
          finished,
          {}},
         "A5"},
        {"no line at all", "", {finished, {}}, nullptr},
        {"statement contains a test name",
         "SqlExe{ALTER TABLE PEOPLE ADD COLUMN FieldExists TEXT}\n",
         {},
         "-FieldExists"},
    };
    for (const auto& c : cases) {
        QFile::remove(db::UpdateLogPath());
        SCOPED_TRACE(c.name);
        if (QByteArray(c.name) == "statement contains a test name") {
            // Read as FieldExists(…) with no "(": the test fails and stops the script.
            EXPECT_THROW(run(c.script), db::DbError);
            EXPECT_FALSE(hasColumn(QStringLiteral("PEOPLE"), QStringLiteral("FieldExists")));
            continue;
        }
        run(c.script);
        EXPECT_EQ(logMessages(), c.log);
        if (c.column) {
            const QString col = QString::fromLatin1(c.column);
            if (col.startsWith(QLatin1Char('-')))
                EXPECT_FALSE(hasColumn(QStringLiteral("PEOPLE"), col.mid(1)));
            else
                EXPECT_TRUE(hasColumn(QStringLiteral("PEOPLE"), col));
        }
    }
}

TEST_F(UpdateScriptTest, FailingTestStopsAndKeepsTheScript)
{
    RecordingFeedback feedback;
    feedback.answer = false;
    EXPECT_THROW(run("SqlExe{ALTER TABLE PEOPLE ADD COLUMN B1 TEXT}\nFieldExists(NOPE.X)\nEND\n", &feedback, true),
                 db::DbError);
    EXPECT_TRUE(QFile::exists(sandbox->root() + QStringLiteral("T.maj")));
    EXPECT_EQ(feedback.begun, 1);
    EXPECT_EQ(feedback.ended, 1);
    EXPECT_TRUE(logMessages().last().startsWith(QStringLiteral("FieldExists(NOPE.X) (error : ")));
    // Run again once the cause is gone: the finished part is not redone.
    connection->exec(QStringLiteral("CREATE TABLE NOPE (X TEXT)"));
    EXPECT_NO_THROW(run("NotFieldExists(PEOPLE.B1)\nSqlExe{ALTER TABLE PEOPLE ADD COLUMN B1 TEXT}\nEND\n"
                        "FieldExists(NOPE.X)\nEND\n",
                        &feedback, true));
    EXPECT_FALSE(QFile::exists(sandbox->root() + QStringLiteral("T.maj")));
}

TEST_F(UpdateScriptTest, ProgressStatusAndSafetyCopy)
{
    RecordingFeedback feedback;
    feedback.answer = true;
    run("// a\nNotTableExists(PEOPLE)\nEND\nSqlExe{SELECT 1}\n", &feedback, true);
    EXPECT_EQ(feedback.maximum, 3);
    EXPECT_EQ(feedback.advanced, 3);  // the skipped END line is not counted
    EXPECT_EQ(feedback.questions,
              QStringList{QStringLiteral(
                  "Souhaitez-vous effectuer une sauvegarde de la base de données avant la mise à jour ?")});
    EXPECT_EQ(feedback.texts,
              (QStringList{QStringLiteral("MISE A JOUR (Sauvegarde)"), dataDir + QStringLiteral("Access/PLANNING.MDB"),
                           QStringLiteral("MISE A JOUR (Base de données)")}));
    EXPECT_EQ(
        feedback.statuses,
        (QStringList{QStringLiteral("Mise à jour (préparation) ..."), QStringLiteral("Test de la mise à jour ..."),
                     QStringLiteral("Mise à jour de la base de données ...")}));
    const QString copy = sandbox->root() + QStringLiteral("Backup/Maj/PLANNING_ACCESS_BACKUP_MAJ_05032008140209.bkp");
    EXPECT_TRUE(QFile::exists(copy));
    EXPECT_TRUE(connection->isOpen());
    EXPECT_FALSE(QFile::exists(sandbox->root() + QStringLiteral("T.maj")));

    // Declined: no copy, the script still runs.
    QFile::remove(copy);
    feedback.answer = false;
    run("SqlExe{ALTER TABLE PEOPLE ADD COLUMN C1 TEXT}\n", &feedback, true);
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_TRUE(hasColumn(QStringLiteral("PEOPLE"), QStringLiteral("C1")));
}

TEST_F(UpdateScriptTest, CompactDataBaseCommand)
{
    connection->exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Garde')"));
    run("CompactDataBase(PLANNING.MDB)\nCompactDataBase(NOPE.MDB)\nCompactDataBase(../Access/PLANNING.MDB\n");
    const QStringList log = logMessages();
    ASSERT_GE(log.size(), 3);
    EXPECT_EQ(log.at(0), QStringLiteral("Compactage de la base de données (Ok)"));
    EXPECT_TRUE(log.at(1).startsWith(QStringLiteral("Compactage de la base de données (error : ")))
        << log.at(1).toStdString();
    EXPECT_TRUE(log.at(2).startsWith(QStringLiteral("Compactage de la base de données (error : ")));
    EXPECT_TRUE(connection->isOpen());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES")), 1);
    EXPECT_FALSE(QFile::exists(dataDir + QStringLiteral("Access/PLANNING~.MDB")));
}

TEST_F(UpdateScriptTest, HostileScriptsLeaveTheDatabaseIntact)
{
    connection->exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Garde')"));
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(static_cast<char>((i * 7919) % 256));
    // Bytes that are no Windows-1252 text are refused before any line runs.
    EXPECT_THROW(run(junk), db::DbError);
    const QByteArray scripts[] = {
        QByteArray(1 << 20, 'x') + "SqlExe{" + QByteArray(1 << 20, 'y') + "}",
        "SqlExe{{{}}}\nSqlExe}}{\nConvertStatScript}{\nExtractJpegImage(\nResizeBitmapInDataBase('A','B','0','99999999'"
        ")\n",
        "SqlExe{CREATE TABLE LONG_ONE (A TEXT, " + QByteArray(300, 'B') + " TEXT)}\n",
        "CompactDataBase(MISSING.MDB)\n",
        "ExtractImageToJpeg('PEOPLE','Img1','../../x')\nConvertBitmapToJpegInDataBase('NOPE','X')\n",
    };
    for (const QByteArray& s : scripts) {
        EXPECT_NO_THROW(run(s));
        EXPECT_TRUE(connection->isOpen());
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES")), 1);
        EXPECT_EQ(connection->scalar(QStringLiteral("PRAGMA integrity_check"))->toString(), QStringLiteral("ok"));
    }
    EXPECT_FALSE(connection->tableInfo(QStringLiteral("LONG_ONE")));
}

// A run in which changing commands failed says how many, once, with the
// log's place; a test naming no plain table, or a script in UTF-16, runs
// nothing and says why.
TEST_F(UpdateScriptTest, FailuresAreToldNotHidden)
{
    struct Recorder : core::ScriptFeedback {
        bool confirm(const QString&) override { return false; }
        void beginProgress(int, int) override { }
        void setProgressText(const QString&) override { }
        void advanceProgress() override { }
        void endProgress() override { }
        void setStatus(const QString&) override { }
        void pump() override { }
        void reportFailures(int n, const QString& log) override { reports << std::pair{n, log}; }
        QList<std::pair<int, QString>> reports;
    };
    const QString dir = sandbox->root();
    const auto runWith = [&](const QByteArray& text, Recorder& r) {
        Sandbox::writeFile(dir + QStringLiteral("F.maj"), text);
        return db::RunScript(*connection, dir, QStringLiteral("F.maj"), false, &r);
    };
    Recorder ok;
    EXPECT_EQ(runWith("SqlExe{CREATE TABLE T1 (id INTEGER)}\r\n", ok), 0);
    EXPECT_TRUE(ok.reports.isEmpty());
    Recorder bad;
    EXPECT_EQ(runWith("SqlExe{DROP TABLE NOPE}\r\nSqlExe{CREATE TABLE T2 (id INTEGER)}\r\n"
                      "CompactDataBase(NOPE.MDB)\r\n",
                      bad),
              2);
    ASSERT_EQ(bad.reports.size(), 1);
    EXPECT_EQ(bad.reports.first().first, 2);
    EXPECT_EQ(bad.reports.first().second, db::UpdateLogPath());
    EXPECT_TRUE(connection->tableInfo(QStringLiteral("T2")));

    Recorder refused;
    const QString utf16 = QStringLiteral("\uFEFFSqlExe{DROP TABLE PROFILES}\r\n");
    for (const QByteArray& text :
         {QByteArray("TableEmpty(PEOPLE; DROP TABLE PLANNING)\r\nSqlExe{DROP TABLE PROFILES}\r\nEND\r\n"),
          QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2)}) {
        try {
            runWith(text, refused);
            ADD_FAILURE() << text.toStdString();
        } catch (const db::DbError& e) {
            EXPECT_FALSE(e.message().contains(QStringLiteral("not an error"))) << e.message().toStdString();
        }
        EXPECT_TRUE(connection->tableInfo(QStringLiteral("PLANNING")));
        EXPECT_TRUE(connection->tableInfo(QStringLiteral("PROFILES")));
        EXPECT_TRUE(QFile::exists(dir + QStringLiteral("F.maj")));
    }
}
