#include "DbFixture.h"

#include "db/TDataModuleObject.h"

using namespace db;

TEST_F(DbTest, ObjectStoreCreatesDefaultsAndKeepsOwnersApart)
{
    TDataModuleObject store(*connection);
    EXPECT_EQ(store.ReadInteger(1, QStringLiteral("PlanningType"), QStringLiteral("Integer"), 0), 0);
    EXPECT_FALSE(store.ReadBoolean(1, QStringLiteral("ShowDayNumber"), QStringLiteral("Logical"), false));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_CLASS")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_ATTRIBUTE WHERE Name='Integer' AND Type=1")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_ATTRIBUTE WHERE Name='Logical' AND Type=2")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_VAL_INT WHERE USERID=1 AND Value=0")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_VAL_BIT WHERE USERID=1 AND Value=0")), 1);

    store.WriteInteger(2, QStringLiteral("PlanningType"), QStringLiteral("Integer"), 1);
    store.WriteInteger(2, QStringLiteral("PlanningType"), QStringLiteral("Integer"), 1);
    store.WriteBoolean(2, QStringLiteral("ShowDayNumber"), QStringLiteral("Logical"), true);
    store.WriteBoolean(2, QStringLiteral("ShowDayNumber"), QStringLiteral("Logical"), false);
    store.WriteBoolean(2, QStringLiteral("ShowDayNumber"), QStringLiteral("Logical"), true);
    EXPECT_EQ(store.ReadInteger(1, QStringLiteral("PlanningType"), QStringLiteral("Integer"), 5), 0);
    EXPECT_EQ(store.ReadInteger(2, QStringLiteral("PlanningType"), QStringLiteral("Integer"), 5), 1);
    EXPECT_TRUE(store.ReadBoolean(2, QStringLiteral("ShowDayNumber"), QStringLiteral("Logical"), false));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_VAL_INT WHERE USERID=2")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_VAL_BIT WHERE USERID=2")), 1);
    // No class or attribute row is made twice, and the queries are left closed
    // with their texts as they were.
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_CLASS")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_ATTRIBUTE")), 2);
    EXPECT_FALSE(store.ObjectClass.IsOpen());
    EXPECT_EQ(store.ObjectClass.SQL().size(), 2);
    EXPECT_EQ(store.GetClassId(QStringLiteral("PlanningType")), 1);
    EXPECT_EQ(store.GetClassId(QStringLiteral("planningtype")), 3);  // names compare exactly

    // A NULL value reads as 0 / false.
    connection->exec(QStringLiteral("UPDATE OBJECT_VAL_INT SET Value=NULL WHERE USERID=2"));
    EXPECT_EQ(store.ReadInteger(2, QStringLiteral("PlanningType"), QStringLiteral("Integer"), 5), 0);
    // The version row stays where it is.
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM OBJECT_VAL_STR WHERE USERID=-99 AND Value='1.34'")), 1);
}
