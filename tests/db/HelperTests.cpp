#include "DbFixture.h"

#include "db/DbError.h"
#include "db/QueryHelpers.h"
#include "db/SqlScan.h"
#include "db/TDataModule1.h"

#include <QFile>

using namespace db;

TEST(ClauseLines, FindersAreCaseInsensitiveAndAnswerFirstLine)
{
    const QStringList people{QStringLiteral("SELECT *"), QStringLiteral("FROM PEOPLE"),
                             QStringLiteral("WHERE ID_FILE=-1"), QStringLiteral("ORDER BY Name")};
    EXPECT_EQ(FindFromLine(people), 1);
    EXPECT_EQ(FindWhereLine(people), 2);
    EXPECT_EQ(FindOrderByLine(people), 3);
    EXPECT_EQ(FindHavingLine(people), -1);
    const QStringList oneLine{QStringLiteral("select * from people where id_file=3")};
    EXPECT_EQ(FindFromLine(oneLine), 0);
    EXPECT_EQ(FindWhereLine(oneLine), 0);
    EXPECT_EQ(FindOrderByLine(oneLine), -1);
    EXPECT_EQ(FindWhereLine({}), -1);
    EXPECT_EQ(FindOrderByLine({QStringLiteral("ORDER"), QStringLiteral("BY x")}), -1);
}

class TemplateTest : public DbTest {
protected:
    QString writeTemplate(const QByteArray& text)
    {
        const QString path = sandbox->root() + QStringLiteral("t.sql");
        testing_support::Sandbox::writeFile(path, text);
        return path;
    }
};

TEST_F(TemplateTest, BuildsFromTemplate)
{
    const QString path =
        writeTemplate("-- first line\r\nSELECT *\r\nFROM X\r\nWHERE 1=1\r\nGROUP BY Name\r\nORDER BY Name\r\n");
    EXPECT_EQ(
        BuildQueryFromTemplate(path, true, QStringLiteral("PEOPLE"), QStringLiteral("Id_File=3"),
                               QStringLiteral("count(*)>1"), QStringLiteral("City")),
        QStringLiteral("SELECT *\nFROM PEOPLE\nWHERE Id_File=3\nGROUP BY Name\nHAVING count(*)>1\nORDER BY City"));
    // Empty texts keep the template's lines; HAVING goes last without ORDER BY.
    const QString noOrder = writeTemplate("SELECT *\nFROM X\nHAVING old\n");
    EXPECT_EQ(BuildQueryFromTemplate(noOrder, false, {}, {}, QStringLiteral("new"), {}),
              QStringLiteral("SELECT *\nFROM X\nHAVING new"));
    const QString plain = writeTemplate("SELECT *\nFROM X");
    EXPECT_EQ(BuildQueryFromTemplate(plain, false, {}, {}, QStringLiteral("h"), {}),
              QStringLiteral("SELECT *\nFROM X\nHAVING h"));
    EXPECT_THROW(BuildQueryFromTemplate(plain, false, {}, QStringLiteral("a=1"), {}, {}), DbError);
    EXPECT_THROW(BuildQueryFromTemplate(sandbox->root() + QStringLiteral("missing.sql"), false, {}, {}, {}, {}),
                 DbError);
}

TEST_F(DbTest, ReopenKeepingRecordAndGuards)
{
    for (int i = 1; i <= 14; ++i)
        connection->exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name) VALUES (1, ?)"),
                         {QStringLiteral("P%1").arg(i, 2, 10, QLatin1Char('0'))});
    Dataset q(connection.get());
    q.setSQL({QStringLiteral("SELECT *"), QStringLiteral("FROM PEOPLE"), QStringLiteral("WHERE ID_FILE=1"),
              QStringLiteral("ORDER BY Name")});
    int changes = 0;
    q.OnDataChange = [&changes](Dataset&) { ++changes; };
    q.Open();
    ASSERT_TRUE(q.Locate(QStringLiteral("Id"), 12));
    changes = 0;
    connection->exec(QStringLiteral("UPDATE PEOPLE SET Name='P00' WHERE Id=12"));
    ReopenKeepingRecord(q);
    EXPECT_EQ(q.FieldByName(QStringLiteral("Id")).AsInteger(), 12);
    EXPECT_EQ(q.RecNo(), 1);
    EXPECT_EQ(changes, 1);
    q.Locate(QStringLiteral("Id"), 7);
    connection->exec(QStringLiteral("DELETE FROM PEOPLE WHERE Id=7"));
    ReopenKeepingRecord(q);
    EXPECT_EQ(q.RecNo(), 1);
    EXPECT_EQ(q.FieldByName(QStringLiteral("Id")).AsInteger(), 12);

    DataSource source(&q);
    EnsureEditing(source, q);
    EXPECT_EQ(q.state(), Dataset::State::Edit);
    EnsureEditing(source, q);  // already editing: unchanged
    q.FieldByName(QStringLiteral("City")).SetValue(QStringLiteral("Brest"));
    PostIfEditing(source, q);
    EXPECT_EQ(q.state(), Dataset::State::Browse);
    PostIfEditing(source, q);  // nothing to do
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE WHERE City='Brest'")), 1);
    EXPECT_FALSE(IsEmpty(q));

    ExecSql(q, QStringLiteral("DELETE FROM PEOPLE WHERE Id>10"));
    EXPECT_FALSE(q.IsOpen());
    EXPECT_EQ(q.SQL(), QStringList{QStringLiteral("DELETE FROM PEOPLE WHERE Id>10")});
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE")), 9);
    EXPECT_THROW(ExecSql(q, QStringLiteral("DELETE FROM NOWHERE")), DbError);
}

TEST_F(DbTest, StandingQueriesMatchNothingUntilRescoped)
{
    core::globals().db = core::DatabaseLocation{};
    TDataModule1 dm;
    ASSERT_EQ(dm.OpenMainConnection(), QString());
    connection->exec(QStringLiteral("INSERT INTO PROFILES (LoginName) VALUES ('Dossier')"));
    connection->exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name) VALUES (1, 'Alice')"));
    connection->exec(QStringLiteral("INSERT INTO PROJECT (Id_File, Title) VALUES (1, 'Pont')"));
    connection->exec(QStringLiteral("INSERT INTO DOCUMENTIMG (Id_File, Id_Ref, DoType) VALUES (1, 1, 1)"));
    connection->exec(QStringLiteral("INSERT INTO DOCUMENTFILE (Id_File, Id_Ref, DoType) VALUES (1, 1, 1)"));
    connection->exec(QStringLiteral("INSERT INTO CUSTOMLAB (Id_File) VALUES (1)"));
    for (Dataset* q : {&dm.People, &dm.Project, &dm.CustomLabel, &dm.DocumentImg, &dm.DocumentFile, &dm.Event}) {
        q->Open();
        EXPECT_TRUE(IsEmpty(*q)) << q->name().toStdString();
        q->Close();
    }
    dm.MainFile.Open();
    EXPECT_EQ(dm.MainFile.RecordCount(), 1);
    EXPECT_EQ(dm.MainFile.FieldByName(QStringLiteral("LoginName")).AsString(), QStringLiteral("Dossier"));
    EXPECT_TRUE(dm.MainFile.HasField(QStringLiteral("Color")));
    dm.People.SQL()[FindWhereLine(dm.People.SQL())] = QStringLiteral("WHERE ID_FILE=1");
    dm.People.Open();
    EXPECT_EQ(dm.People.RecordCount(), 1);
    EXPECT_TRUE(dm.DSPeople.state() == Dataset::State::Browse);
}

TEST(OrderCollation, AddedToTextColumnsOnly)
{
    // Text columns: Name, Title, P.Name; everything else is not.
    auto isText = [](const QString& qualifier, const QString& column) {
        const QString c = unquoteIdentifier(column).toUpper();
        return (c == QStringLiteral("NAME") || c == QStringLiteral("TITLE"))
            && (qualifier.isEmpty() || qualifier.toUpper() == QStringLiteral("P"));
    };
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"SELECT *\nFROM PEOPLE\nWHERE ID_FILE=3\nORDER BY Name",
         "SELECT *\nFROM PEOPLE\nWHERE ID_FILE=3\nORDER BY Name COLLATE X"},
        {"SELECT * FROM PEOPLE WHERE ID_FILE=3 ORDER BY NAME",
         "SELECT * FROM PEOPLE WHERE ID_FILE=3 ORDER BY NAME COLLATE X"},
        {"select * from people order by Name desc, Id, [Title] asc limit 3",
         "select * from people order by Name COLLATE X desc, Id, [Title] COLLATE X asc limit 3"},
        {"SELECT * FROM PEOPLE P ORDER BY P.Name, Q.Name", "SELECT * FROM PEOPLE P ORDER BY P.Name COLLATE X, Q.Name"},
        {"SELECT * FROM PEOPLE ORDER BY Name COLLATE BINARY", "SELECT * FROM PEOPLE ORDER BY Name COLLATE BINARY"},
        {"SELECT * FROM PEOPLE ORDER BY lower(Name), 1", "SELECT * FROM PEOPLE ORDER BY lower(Name), 1"},
        {"SELECT * FROM PEOPLE WHERE Name='ORDER BY Name'", "SELECT * FROM PEOPLE WHERE Name='ORDER BY Name'"},
        {"SELECT * FROM (SELECT * FROM PEOPLE ORDER BY Name) ORDER BY Id",
         "SELECT * FROM (SELECT * FROM PEOPLE ORDER BY Name) ORDER BY Id"},
        {"DELETE FROM PEOPLE ORDER BY Name", "DELETE FROM PEOPLE ORDER BY Name"},
        {"SELECT * FROM PEOPLE", "SELECT * FROM PEOPLE"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withOrderCollation(QString::fromLatin1(c.in), QStringLiteral("X"), isText),
                  QString::fromLatin1(c.out))
            << c.in;
    EXPECT_EQ(withOrderCollation(QStringLiteral("SELECT * FROM PEOPLE ORDER BY Name"), QString(), isText),
              QStringLiteral("SELECT * FROM PEOPLE ORDER BY Name"));
}

TEST_F(DbTest, TextSortsInFrenchOrderWithTheStandingSqlKept)
{
    for (const char* n : {"Zoé", "Élodie", "alice", "Bruno", "éric", "Eva"}) {
        connection->exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name, Function) VALUES (3, ?, ?)"),
                         {QString::fromUtf8(n), QString::fromUtf8(n)});
    }
    EXPECT_EQ(connection->orderCollation(), QStringLiteral("FRENCH"));
    const QStringList standing{QStringLiteral("SELECT *"), QStringLiteral("FROM PEOPLE"),
                               QStringLiteral("WHERE ID_FILE=3"), QStringLiteral("ORDER BY Name")};
    const char* const expected = "alice,Bruno,Élodie,éric,Eva,Zoé";
    const struct {
        QStringList sql;
        const char* order;
    } cases[] = {
        {standing, expected},
        {{QStringLiteral("SELECT * FROM PEOPLE WHERE ID_FILE=3 ORDER BY NAME DESC")},
         "Zoé,Eva,éric,Élodie,Bruno,alice"},
        {{QStringLiteral("SELECT Name AS Nom FROM PEOPLE P ORDER BY P.Function, Id")}, expected},
        {{QStringLiteral("SELECT Name, Function AS F FROM PEOPLE ORDER BY F")}, expected},
        {{QStringLiteral("SELECT Name FROM PEOPLE ORDER BY Id")}, "Zoé,Élodie,alice,Bruno,éric,Eva"},
    };
    for (const auto& c : cases) {
        Dataset q(connection.get());
        q.setSQL(c.sql);
        q.Open();
        QStringList names;
        for (; !q.Eof(); q.Next())
            names << q.FieldByName(q.HasField(QStringLiteral("Name")) ? QStringLiteral("Name") : QStringLiteral("Nom"))
                         .AsString();
        EXPECT_EQ(names.join(QLatin1Char(',')), QString::fromUtf8(c.order))
            << c.sql.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(q.SQL(), c.sql);  // the text as written
    }
    // Rows still write back through a collated query.
    Dataset q(connection.get());
    q.setSQL(standing);
    q.Open();
    q.Edit();
    q.FieldByName(QStringLiteral("Name")).SetValue(QStringLiteral("Aline"));
    q.Post();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE WHERE Name='Aline'")), 1);
}
