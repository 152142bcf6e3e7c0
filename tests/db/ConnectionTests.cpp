#include "DbFixture.h"

#include "db/DbError.h"
#include "db/OdbcSetup.h"
#include "db/TDataModule1.h"
#include "db/TDataModuleObject.h"

#include <QFile>

using namespace db;

TEST_F(DbTest, MainConnectionThroughOleDbTemplate)
{
    core::globals().db = core::DatabaseLocation{};
    EXPECT_TRUE(DatabaseFileExists());
    TDataModule1 dm;
    EXPECT_EQ(dm.OpenMainConnection(), QString());
    EXPECT_TRUE(dm.ADOConnection1.isOpen());
    EXPECT_TRUE(dm.ADOConnection1.connectionString().startsWith(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + dbPath + QStringLiteral(";Mode=ReadWrite;")));
    EXPECT_EQ(dm.ADOConnection1.scalar(QStringLiteral("PRAGMA journal_mode"))->toString(), QStringLiteral("delete"));
    EXPECT_EQ(dm.ADOConnection1.scalar(QStringLiteral("PRAGMA synchronous"))->toInt(), 2);
    // Closing finishes the open queries; reopening works.
    dm.People.SQL()[2] = QStringLiteral("WHERE ID_FILE=1");
    dm.People.Open();
    dm.ADOConnection1.close();
    EXPECT_FALSE(dm.People.IsOpen());
    EXPECT_EQ(dm.OpenMainConnection(), QString());
    dm.People.Open();
    EXPECT_TRUE(dm.People.IsOpen());
}

TEST_F(DbTest, MissingOrDamagedFileIsReportedNotOverwritten)
{
    core::globals().db = core::DatabaseLocation{};
    connection->close();
    {
        TDataModule1 dm;
        QFile::rename(dbPath, dbPath + QStringLiteral(".away"));
        EXPECT_FALSE(DatabaseFileExists());
        EXPECT_EQ(dm.OpenMainConnection(), QString());  // nothing to open: stays closed
        EXPECT_FALSE(dm.ADOConnection1.isOpen());
        EXPECT_FALSE(QFile::exists(dbPath));
    }
    const QByteArray junk("This is not a database at all, just some text that fills a page. ");
    testing_support::Sandbox::writeFile(dbPath, junk.repeated(100));
    TDataModule1 dm;
    const QString message = dm.OpenMainConnection();
    EXPECT_FALSE(message.isEmpty());
    EXPECT_TRUE(message.contains(QStringLiteral("not a database"))) << message.toStdString();
    EXPECT_FALSE(dm.ADOConnection1.isOpen());
    EXPECT_EQ(testing_support::Sandbox::readFile(dbPath), junk.repeated(100));
}

TEST_F(DbTest, OdbcProviderOpensARegisteredDataSource)
{
    connection->exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Par ODBC')"));
    connection->close();
    ASSERT_TRUE(RegisterOdbcDataSource(QStringLiteral("QUILLMARK_PLANNING_TEST"), QStringLiteral("SQLite3"), dbPath));
    const QByteArray ini = testing_support::Sandbox::readFile(sandbox->home() + QStringLiteral(".odbc.ini"));
    EXPECT_TRUE(ini.contains("[QUILLMARK_PLANNING_TEST]"));
    EXPECT_TRUE(ini.contains(dbPath.toUtf8()));

    core::globals().db = core::DatabaseLocation{};
    core::globals().db.provider = QStringLiteral("ODBC");
    core::globals().db.odbcName = QStringLiteral("QUILLMARK_PLANNING_TEST");
    TDataModule1 dm;
    const QString failure = dm.OpenMainConnection();
    ASSERT_EQ(failure.toStdString(), std::string());
    EXPECT_TRUE(dm.ADOConnection1.isOdbc());
    EXPECT_EQ(dm.ADOConnection1.connectionString(),
              QStringLiteral(
                  "Provider=MSDASQL.1;Data Source=QUILLMARK_PLANNING_TEST;Persist Security Info=True;Mode=ReadWrite"));
    dm.MainFile.Open();
    ASSERT_EQ(dm.MainFile.RecordCount(), 1);
    EXPECT_EQ(dm.MainFile.FieldByName(QStringLiteral("LoginName")).AsString(), QStringLiteral("Par ODBC"));
    dm.MainFile.Edit();
    dm.MainFile.FieldByName(QStringLiteral("FullName")).SetValue(QStringLiteral("Propriétaire"));
    dm.MainFile.Post();
    dm.MainFile.Append();
    dm.MainFile.FieldByName(QStringLiteral("LoginName")).SetValue(QStringLiteral("Deuxième"));
    dm.MainFile.Post();
    EXPECT_EQ(dm.MainFile.FieldByName(QStringLiteral("ID")).AsInteger(), 2);
    // Bound names and the typed store work over ODBC too.
    db::TDataModuleObject store(dm.ADOConnection1);
    store.WriteInteger(2, QStringLiteral("PlanningType"), QStringLiteral("Integer"), 1);
    EXPECT_EQ(store.ReadInteger(2, QStringLiteral("PlanningType"), QStringLiteral("Integer"), 0), 1);
    // The driver's connection takes no collation of ours: the standing
    // queries still run and sort without regard to case.
    EXPECT_EQ(dm.ADOConnection1.orderCollation(), QStringLiteral("NOCASE"));
    for (const char* n : {"Bruno", "alice", "Carl"})
        dm.ADOConnection1.exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name) VALUES (2, ?)"),
                               {QString::fromLatin1(n)});
    dm.People.SQL()[2] = QStringLiteral("WHERE ID_FILE=2");
    dm.People.Open();
    QStringList names;
    for (; !dm.People.Eof(); dm.People.Next())
        names << dm.People.FieldByName(QStringLiteral("Name")).AsString();
    EXPECT_EQ(names.join(QLatin1Char(',')), QStringLiteral("alice,Bruno,Carl"));
    dm.ADOConnection1.close();

    connection->open();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES WHERE FullName='Propriétaire'")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES")), 2);
}
