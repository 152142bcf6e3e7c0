#include "DbFixture.h"

#include "db/DbError.h"
#include "db/TDataModule1.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

using namespace db;

namespace {
void touch(const QString& path)
{
    testing_support::Sandbox::writeFile(path, "data");
}
}  // namespace

class RecordRuleTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        core::globals().db = core::DatabaseLocation{};
        dm = std::make_unique<TDataModule1>();
        ASSERT_EQ(dm->OpenMainConnection(), QString());
        dm->setDossierSource([] { return 4; });
        for (Dataset* q : {&dm->People, &dm->Project})
            q->SQL()[2] = QStringLiteral("WHERE ID_FILE=4");
    }
    void TearDown() override
    {
        dm.reset();
        DbTest::TearDown();
    }
    int newPerson(const QString& name)
    {
        dm->People.Open();
        dm->People.Append();
        dm->People.FieldByName(QStringLiteral("Name")).SetValue(name);
        dm->People.Post();
        const int id = dm->People.FieldByName(QStringLiteral("Id")).AsInteger();
        dm->People.Close();
        return id;
    }
    std::unique_ptr<TDataModule1> dm;
};

TEST_F(RecordRuleTest, NewPersonAndProjectAreStoredWithDefaultsAndCancelLeavesNothing)
{
    for (Dataset* q : {&dm->People, &dm->Project}) {
        q->Open();
        q->Append();
        EXPECT_EQ(q->state(), Dataset::State::Edit);  // stored, back in edit mode
        const int id = q->FieldByName(QStringLiteral("Id")).AsInteger();
        EXPECT_GT(id, 0);
        const QString table = q->baseTable();
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM %1 WHERE Id=%2 AND Id_File=4 AND PenColor=255 AND "
                                       "BrushColor=255 AND BrushStyle=0")
                            .arg(table)
                            .arg(id)),
                  1);
        // The dialog's cancel deletes the new row again.
        q->Cancel();
        q->Delete();
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM %1").arg(table)), 0);
        q->Close();
    }
}

TEST_F(RecordRuleTest, PersonCascadeRemovesFilesRowsAndPlanning)
{
    const int alice = newPerson(QStringLiteral("Alice"));
    const int bruno = newPerson(QStringLiteral("Bruno"));
    touch(personImageFile(alice));
    touch(personImageFile(bruno));
    for (int i = 0; i < 2; ++i) {
        connection->exec(QStringLiteral("INSERT INTO DOCUMENTIMG (Id_Ref, DoType, Title) VALUES (?, 1, 'img')"),
                         {alice});
        touch(documentImageFile(i + 1));
    }
    connection->exec(QStringLiteral("INSERT INTO DOCUMENTIMG (Id_Ref, DoType, Title) VALUES (?, 2, 'project doc')"),
                     {alice});
    touch(documentImageFile(3));
    connection->exec(QStringLiteral("INSERT INTO DOCUMENTFILE (Id_File, Id_Ref, DoType) VALUES (4, ?, 1)"), {alice});
    touch(storedDocumentFile(1));
    for (int who : {alice, bruno})
        connection->exec(QStringLiteral("INSERT INTO PLANNING VALUES (4, ?, 1, '2009-01-05', 1)"), {who});

    dm->People.Open();
    ASSERT_TRUE(dm->People.Locate(QStringLiteral("Id"), alice));
    dm->People.Delete();
    dm->People.Close();

    EXPECT_FALSE(QFile::exists(personImageFile(alice)));
    EXPECT_FALSE(QFile::exists(documentImageFile(1)));
    EXPECT_FALSE(QFile::exists(documentImageFile(2)));
    EXPECT_FALSE(QFile::exists(storedDocumentFile(1)));
    EXPECT_TRUE(QFile::exists(personImageFile(bruno)));
    EXPECT_TRUE(QFile::exists(documentImageFile(3)));  // a project's document of the same number
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM DOCUMENTIMG")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM DOCUMENTFILE")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_People=%1").arg(alice)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING WHERE Id_People=%1").arg(bruno)), 1);
}

TEST_F(RecordRuleTest, FailingCascadeKeepsWhatWasDeletedAndTheRow)
{
    const int alice = newPerson(QStringLiteral("Alice"));
    touch(personImageFile(alice));
    connection->exec(QStringLiteral("INSERT INTO PLANNING VALUES (4, ?, 1, '2009-01-05', 1)"), {alice});
    connection->exec(QStringLiteral("INSERT INTO DOCUMENTFILE (Id_File, Id_Ref, DoType) VALUES (4, ?, 1)"), {alice});
    // The image documents are the last step: make that step fail.
    dm->ADOConnection1.exec(QStringLiteral("ALTER TABLE DOCUMENTIMG RENAME TO DOCUMENTIMG_GONE"));
    dm->People.Open();
    try {
        dm->People.Delete();
        FAIL() << "the cascade should fail";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("DOCUMENTIMG")));
    }
    EXPECT_EQ(dm->People.RecordCount(), 1);
    dm->People.Close();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM DOCUMENTFILE")), 0);
    EXPECT_FALSE(QFile::exists(personImageFile(alice)));
}

TEST_F(RecordRuleTest, DossierCascadeRemovesOnlyItsRows)
{
    connection->exec(QStringLiteral("INSERT INTO PROFILES (ID, LoginName) VALUES (4, 'Quatre')"));
    connection->exec(QStringLiteral("INSERT INTO PROFILES (ID, LoginName) VALUES (5, 'Cinq')"));
    const int alice = newPerson(QStringLiteral("Alice"));
    dm->Project.Open();
    dm->Project.Append();
    const int bridge = dm->Project.FieldByName(QStringLiteral("Id")).AsInteger();
    dm->Project.Post();
    dm->Project.Close();
    touch(projectImageFile(bridge));
    connection->exec(QStringLiteral("INSERT INTO PLANNING VALUES (4, ?, ?, '2009-01-05', 1)"), {alice, bridge});
    connection->exec(QStringLiteral("INSERT INTO PEOPLE (Id_File, Name) VALUES (5, 'Autre')"));
    connection->exec(QStringLiteral("INSERT INTO PLANNING VALUES (5, 99, 98, '2009-01-05', 1)"));
    for (const char* v : {"4", "5", "NULL"})
        connection->exec(QStringLiteral("INSERT INTO COMBOITEMS (Id_File) VALUES (%1)").arg(QString::fromLatin1(v)));
    connection->exec(QStringLiteral("INSERT INTO CUSTOMLAB (Id_File) VALUES (4)"));
    connection->exec(QStringLiteral("INSERT INTO CUSTOMLAB (Id_File) VALUES (5)"));
    for (const char* t : {"OBJECT_VAL_BIT", "OBJECT_VAL_INT", "OBJECT_VAL_MEMO", "OBJECT_VAL_OLE", "OBJECT_VAL_REAL",
                          "OBJECT_VAL_STR"}) {
        for (int owner : {4, 5})
            connection->exec(QStringLiteral("INSERT INTO %1 (ID_CLASS, ID_ATTRIBUTE, USERID) VALUES (1, 1, %2)")
                                 .arg(QString::fromLatin1(t))
                                 .arg(owner));
    }

    dm->MainFile.Open();
    ASSERT_TRUE(dm->MainFile.Locate(QStringLiteral("ID"), 4));
    dm->MainFile.Delete();
    dm->MainFile.Close();

    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROFILES")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PROJECT")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PLANNING")), 1);
    EXPECT_FALSE(QFile::exists(projectImageFile(bridge)));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM COMBOITEMS")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM COMBOITEMS WHERE Id_File IS NULL")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM CUSTOMLAB WHERE Id_File=5")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM CUSTOMLAB")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_VAL_INT WHERE USERID=4")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_VAL_OLE WHERE USERID=5")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_VAL_STR WHERE USERID=-99")), 1);
}

TEST_F(RecordRuleTest, KilledCascadeLeavesAllOrNothing)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is missing";
    const int alice = newPerson(QStringLiteral("Alice"));
    connection->exec(QStringLiteral("INSERT INTO DOCUMENTFILE (Id_File, Id_Ref, DoType) VALUES (4, ?, 1)"), {alice});
    connection->exec(QStringLiteral("INSERT INTO DOCUMENTIMG (Id_Ref, DoType) VALUES (?, 1)"), {alice});
    for (int d = 1; d <= 20; ++d)
        connection->exec(QStringLiteral("INSERT INTO PLANNING VALUES (4, ?, 1, ?, 1)"),
                         {alice, QStringLiteral("2009-01-%1").arg(d, 2, 10, QLatin1Char('0'))});
    dm.reset();
    connection->close();
    const QString original = sandbox->root() + QStringLiteral("original.mdb");
    QFile::copy(dbPath, original);
    bool sawBefore = false, sawAfter = false;
    for (int n : {1, 2, 3, 4, 6, 10, 20, 1000}) {
        QFile::remove(dbPath);
        QFile::copy(original, dbPath);
        touch(personImageFile(alice));
        QProcess p;
        p.start(strace,
                {QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-e"),
                 QStringLiteral("inject=write,pwrite64,fsync,fdatasync,unlink:signal=SIGKILL:when=%1").arg(n),
                 QStringLiteral(DB_PROBE), QStringLiteral("delete-person"), dataDir, QStringLiteral("4"),
                 QString::number(alice)});
        ASSERT_TRUE(p.waitForFinished(60000));
        connection->open();
        const int people = count(QStringLiteral("SELECT count(*) FROM PEOPLE"));
        const int planning = count(QStringLiteral("SELECT count(*) FROM PLANNING"));
        const int files = count(QStringLiteral("SELECT count(*) FROM DOCUMENTFILE"));
        const int images = count(QStringLiteral("SELECT count(*) FROM DOCUMENTIMG"));
        connection->close();
        if (people == 1) {
            sawBefore = true;
            EXPECT_EQ(planning, 20) << "killed at call " << n;
            EXPECT_EQ(files, 1) << "killed at call " << n;
            EXPECT_EQ(images, 1) << "killed at call " << n;
            EXPECT_TRUE(QFile::exists(personImageFile(alice))) << "killed at call " << n;
        } else {
            sawAfter = true;
            EXPECT_EQ(people, 0);
            EXPECT_EQ(planning + files + images, 0) << "killed at call " << n;
        }
    }
    EXPECT_TRUE(sawBefore);
    EXPECT_TRUE(sawAfter);
}
