#include "DbFixture.h"

#include "db/DbError.h"
#include "db/FieldType.h"
#include "db/QueryHelpers.h"

#include <QDate>

using db::Dataset;

class DatasetTest : public DbTest { };

TEST_F(DatasetTest, BrowseNavigationAndEmptiness)
{
    Dataset people(connection.get());
    people.setSQL({QStringLiteral("SELECT *"), QStringLiteral("FROM PEOPLE"), QStringLiteral("WHERE ID_FILE=-1"),
                   QStringLiteral("ORDER BY Name")});
    people.Open();
    EXPECT_TRUE(people.Bof());
    EXPECT_TRUE(people.Eof());
    EXPECT_TRUE(people.IsEmpty());
    EXPECT_EQ(people.RecordCount(), 0);
    EXPECT_TRUE(people.FieldByName(QStringLiteral("name")).IsNull());
    people.Close();

    for (const char* n : {"Carla", "Alice", "Bruno"})
        connection->exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name) VALUES (3, ?)"), {QString::fromLatin1(n)});
    people.SQL()[2] = QStringLiteral("WHERE ID_FILE=3");
    people.Open();
    EXPECT_EQ(people.RecordCount(), 3);
    EXPECT_TRUE(people.Bof());
    EXPECT_FALSE(people.Eof());
    QStringList names;
    while (!people.Eof()) {
        names << people.FieldByName(QStringLiteral("NAME")).AsString();
        people.Next();
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Alice"), QStringLiteral("Bruno"), QStringLiteral("Carla")}));
    EXPECT_EQ(people.FieldByName(QStringLiteral("Name")).AsString(), QStringLiteral("Carla"));  // stays on the last
    people.Prior();
    EXPECT_EQ(people.FieldByName(QStringLiteral("Name")).AsString(), QStringLiteral("Bruno"));
    people.First();
    people.Prior();
    EXPECT_TRUE(people.Bof());
    EXPECT_TRUE(people.Locate(QStringLiteral("name"), QStringLiteral("Carla")));
    EXPECT_EQ(people.RecNo(), 3);
    EXPECT_FALSE(people.Locate(QStringLiteral("Name"), QStringLiteral("Zoé")));
    EXPECT_EQ(people.RecNo(), 3);
    EXPECT_THROW(people.FieldByName(QStringLiteral("Nope")), db::DbError);
}

TEST_F(DatasetTest, OnlyAnEmptySetIsEmptyAfterAWalk)
{
    connection->exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name) VALUES (4, 'Alice')"));
    Dataset one(connection.get());
    one.setSQL({QStringLiteral("SELECT *"), QStringLiteral("FROM PEOPLE"), QStringLiteral("WHERE ID_FILE=4")});
    Dataset none(connection.get());
    none.setSQL({QStringLiteral("SELECT *"), QStringLiteral("FROM PEOPLE"), QStringLiteral("WHERE ID_FILE=5")});
    const struct {
        const char* walk;
        bool bof, eof;
    } cases[] = {{"", true, false},     {"N", false, true}, {"NN", false, true}, {"LP", true, false},
                 {"LPN", false, true},  {"P", true, false}, {"NP", true, false}, {"FN", false, true},
                 {"NNPP", true, false}, {"L", false, true}};
    for (const auto& c : cases) {
        for (Dataset* d : {&one, &none}) {
            d->Close();
            d->Open();
            for (const char* s = c.walk; *s; ++s) {
                switch (*s) {
                case 'N': d->Next(); break;
                case 'P': d->Prior(); break;
                case 'F': d->First(); break;
                case 'L': d->Last(); break;
                }
            }
            const bool empty = d == &none;
            EXPECT_EQ(d->IsEmpty(), empty) << c.walk;
            EXPECT_EQ(db::IsEmpty(*d), empty) << c.walk;
            EXPECT_EQ(d->Bof(), empty || c.bof) << c.walk;
            EXPECT_EQ(d->Eof(), empty || c.eof) << c.walk;
            if (!empty) {
                EXPECT_EQ(d->FieldByName(QStringLiteral("Name")).AsString(), QStringLiteral("Alice")) << c.walk;
            }
        }
    }
}

TEST_F(DatasetTest, TypesNullsDatesBooleansAndBlobs)
{
    Dataset q(connection.get());
    q.setSQL({QStringLiteral("SELECT * FROM EVENT")});
    q.Open();
    q.Append();
    q.FieldByName(QStringLiteral("Date_Event")).SetValue(QDate(2009, 3, 5));
    q.FieldByName(QStringLiteral("Description")).SetValue(QStringLiteral("007"));
    q.FieldByName(QStringLiteral("Id_Ref")).SetValue(QStringLiteral("12"));
    q.Post();
    q.Append();
    q.FieldByName(QStringLiteral("Date_Event")).SetValue(QStringLiteral("25/12/2010"));
    q.Post();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM EVENT WHERE Date_Event='2009-03-05'")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM EVENT WHERE Date_Event='2010-12-25'")), 1);

    q.Close();
    q.Open();
    EXPECT_EQ(q.FieldByName(QStringLiteral("Date_Event")).AsDate(), QDate(2009, 3, 5));
    EXPECT_EQ(q.FieldByName(QStringLiteral("Date_Event")).AsString(), QStringLiteral("05/03/2009"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("Description")).AsString(), QStringLiteral("007"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("Id_Ref")).AsInteger(), 12);
    EXPECT_EQ(q.FieldByName(QStringLiteral("Date_Event")).Type(), db::FieldType::DateTime);
    EXPECT_EQ(q.FieldByName(QStringLiteral("Description")).Size(), 255);
    q.Next();
    EXPECT_TRUE(q.FieldByName(QStringLiteral("Description")).IsNull());
    EXPECT_EQ(q.FieldByName(QStringLiteral("Description")).AsString(), QString());
    EXPECT_EQ(q.FieldByName(QStringLiteral("Id_Ref")).AsInteger(), 0);

    // Memo text that looks like a number stays text; blobs and booleans round-trip.
    Dataset profiles(connection.get());
    profiles.setSQL(
        {QStringLiteral("SELECT ID, FullName, LoginName, LoginPassword, Administrator, Image, PlanningMode, "
                        "Comment as [Color], Custom00144243 as [Size] FROM PROFILES")});
    profiles.Open();
    profiles.Append();
    const QByteArray blob("\x00\x01\xFF binary", 10);
    profiles.FieldByName(QStringLiteral("Image")).SetValue(blob);
    profiles.FieldByName(QStringLiteral("Administrator")).SetValue(true);
    profiles.FieldByName(QStringLiteral("Color")).SetValue(QStringLiteral("0012"));
    profiles.FieldByName(QStringLiteral("Size")).SetValue(QStringLiteral("grand"));
    profiles.Post();
    EXPECT_EQ(profiles.FieldByName(QStringLiteral("ID")).AsInteger(), 1);  // the counter is readable at once
    profiles.Close();
    profiles.Open();
    EXPECT_EQ(profiles.FieldByName(QStringLiteral("Image")).AsBlob(), blob);
    EXPECT_TRUE(profiles.FieldByName(QStringLiteral("Administrator")).AsBoolean());
    EXPECT_EQ(profiles.FieldByName(QStringLiteral("Administrator")).Type(), db::FieldType::Boolean);
    EXPECT_EQ(profiles.FieldByName(QStringLiteral("Color")).AsString(), QStringLiteral("0012"));
    EXPECT_EQ(profiles.FieldByName(QStringLiteral("Color")).Type(), db::FieldType::WideMemo);
    EXPECT_EQ(profiles.FieldByName(QStringLiteral("ID")).Type(), db::FieldType::AutoInc);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES WHERE Comment='0012' AND Custom00144243='grand'")),
              1);
}

TEST_F(DatasetTest, StatesEditCancelAndErrors)
{
    connection->exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name) VALUES (1, 'Alice')"));
    Dataset q(connection.get());
    q.setSQL({QStringLiteral("SELECT * FROM PEOPLE")});
    EXPECT_EQ(q.state(), Dataset::State::Inactive);
    q.Open();
    EXPECT_EQ(q.state(), Dataset::State::Browse);
    EXPECT_THROW(q.FieldByName(QStringLiteral("Name")).SetValue(QStringLiteral("x")), db::DbError);
    q.Edit();
    EXPECT_EQ(q.state(), Dataset::State::Edit);
    q.FieldByName(QStringLiteral("Name")).SetValue(QStringLiteral("Alicia"));
    EXPECT_TRUE(q.Modified());
    // The other fields of the edited row stay readable.
    EXPECT_EQ(q.FieldByName(QStringLiteral("Id_File")).AsInteger(), 1);
    EXPECT_GT(q.FieldByName(QStringLiteral("Id")).AsInteger(), 0);
    q.Cancel();
    EXPECT_EQ(q.FieldByName(QStringLiteral("Name")).AsString(), QStringLiteral("Alice"));
    q.Insert();
    EXPECT_EQ(q.state(), Dataset::State::Insert);
    EXPECT_EQ(q.RecordCount(), 2);
    q.Cancel();
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE")), 1);
    // A value that does not fit its small-integer column is refused.
    q.Edit();
    EXPECT_THROW(q.FieldByName(QStringLiteral("Id_File")).SetValue(40000), db::DbError);
    q.Cancel();
    // Moving away from an edited record stores it.
    q.Edit();
    q.FieldByName(QStringLiteral("City")).SetValue(QStringLiteral("Nantes"));
    q.First();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE WHERE City='Nantes'")), 1);
    // Joins are read-only; a bad statement raises the layer's message.
    Dataset join(connection.get());
    join.setSQL({QStringLiteral("SELECT PEOPLE.Name FROM PEOPLE, PROJECT")});
    join.Open();
    EXPECT_THROW(join.Append(), db::DbError);
    Dataset bad(connection.get());
    bad.setSQL({QStringLiteral("SELECT * FROM NOTABLE")});
    try {
        bad.Open();
        FAIL();
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("no such table")));
    }
}

TEST_F(DatasetTest, WritesBackExactlyTheRowReadWithoutKeysAndWithDuplicates)
{
    for (int i = 0; i < 3; ++i)
        connection->exec(QStringLiteral("INSERT INTO PLANNING (Id_File, Id_People, Id_Project, DatePlanning, AmPm) "
                                        "VALUES (1, 7, 2, '2009-01-05', 1)"));
    Dataset q(connection.get());
    q.setSQL({QStringLiteral("SELECT * FROM PLANNING"), QStringLiteral("WHERE Id_File=1")});
    q.Open();
    ASSERT_EQ(q.RecordCount(), 3);
    q.Next();
    q.Edit();
    q.FieldByName(QStringLiteral("Id_Project")).SetValue(-1);
    q.Post();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_Project=-1")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_Project=2")), 2);
    q.Delete();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_Project=-1")), 0);

    // TEMP keeps its single row, rewritten in place.
    Dataset temp(connection.get());
    temp.setSQL({QStringLiteral("SELECT * FROM TEMP")});
    temp.Open();
    ASSERT_EQ(temp.RecordCount(), 1);
    temp.Edit();
    temp.FieldByName(QStringLiteral("Img1")).SetValue(QByteArray("BM..."));
    temp.Post();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM TEMP")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM TEMP WHERE Img1 IS NOT NULL")), 1);
}

TEST_F(DatasetTest, EventsRunOncePerMove)
{
    for (const char* n : {"A", "B", "C"})
        connection->exec(QStringLiteral("INSERT INTO PROJECT (Id_File, Title) VALUES (1, ?)"),
                         {QString::fromLatin1(n)});
    Dataset q(connection.get());
    q.setSQL({QStringLiteral("SELECT *"), QStringLiteral("FROM PROJECT"), QStringLiteral("WHERE ID_FILE=1"),
              QStringLiteral("ORDER BY Title")});
    QStringList log;
    q.OnDataChange = [&log](Dataset& d) {
        log << (d.IsEmpty() ? QStringLiteral("-") : d.FieldByName(QStringLiteral("Title")).AsString());
    };
    q.OnNewRecord = [&log](Dataset& d) {
        log << QStringLiteral("new");
        d.FieldByName(QStringLiteral("Title")).SetValue(QStringLiteral("N"));
    };
    q.BeforeDelete = [&log](Dataset& d) {
        log << QStringLiteral("del ") + d.FieldByName(QStringLiteral("Title")).AsString();
    };
    q.AfterPost = [&log](Dataset&) { log << QStringLiteral("posted"); };
    q.Open();    // A
    q.Next();    // B
    q.Next();    // C
    q.Next();    // at the end: no move
    q.Last();    // already there: no move
    q.First();   // A
    q.Append();  // new, N
    q.Post();    // posted
    q.Delete();  // del N, then the last record: C
    q.DisableControls();
    q.First();
    q.Next();
    q.EnableControls();  // one event for the moves meanwhile: B
    q.DisableControls();
    q.EnableControls();  // no move, no event
    EXPECT_EQ(log,
              (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("A"),
                           QStringLiteral("new"), QStringLiteral("N"), QStringLiteral("posted"),
                           QStringLiteral("del N"), QStringLiteral("C"), QStringLiteral("B")}));
}

TEST_F(DatasetTest, UserTextIsBound)
{
    Dataset q(connection.get());
    q.setSQL({QStringLiteral("SELECT * FROM PEOPLE"), QStringLiteral("WHERE Name=:name")});
    const QString tricky = QStringLiteral("O'Brien\"; DROP TABLE PEOPLE; --");
    q.bindValue(QStringLiteral(":name"), tricky);
    q.Open();
    EXPECT_TRUE(q.IsEmpty());
    q.Append();
    q.FieldByName(QStringLiteral("Name")).SetValue(tricky);
    q.Post();
    q.Close();
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName(QStringLiteral("Name")).AsString(), tricky);
}
