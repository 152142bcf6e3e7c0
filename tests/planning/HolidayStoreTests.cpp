// The dossier's holiday choices in the object store.
#include "db/DbError.h"
#include "db/TDataModuleObject.h"
#include "planning/HolidayStore.h"

#include "PlanningDbFixture.h"

using namespace planning_test;

namespace {

class HolidayStoreTest : public PlanningDbTest {
protected:
    int rows(const char* table, int owner)
    {
        return connection
            .scalar(
                QStringLiteral("SELECT count(*) FROM %1 WHERE USERID=%2").arg(QString::fromLatin1(table)).arg(owner))
            ->toInt();
    }
};

HolidaySettings sample()
{
    HolidaySettings s;
    s.showInPlanning = true;
    s.alsaceMoselle = true;
    s.setOn(Holiday::WhitMonday, false);
    s.closures = {
        {QDate(2024, 8, 5), QDate(2024, 8, 23), DayPart::WholeDay, QStringLiteral("Fermeture annuelle")},
        {QDate(2024, 12, 24), QDate(2024, 12, 24), DayPart::Afternoon, QStringLiteral("24 décembre après-midi")}};
    return s;
}

}  // namespace

TEST_F(HolidayStoreTest, KeptPerDossierOneRowPerValue)
{
    db::TDataModuleObject store(connection);
    // A dossier that never stored them reads the defaults: nothing shown.
    EXPECT_EQ(ReadHolidaySettings(store, 1), HolidaySettings{});
    HolidaySettings other;
    other.closures = {{QDate(2025, 5, 30), QDate(2025, 5, 30), DayPart::WholeDay, QStringLiteral("Pont")}};
    WriteHolidaySettings(store, 2, other);
    WriteHolidaySettings(store, 1, HolidaySettings{});
    WriteHolidaySettings(store, 1, sample());
    EXPECT_EQ(ReadHolidaySettings(store, 1), sample());
    EXPECT_EQ(ReadHolidaySettings(store, 2), other);
    EXPECT_EQ(rows("OBJECT_VAL_BIT", 1), 2);
    EXPECT_EQ(rows("OBJECT_VAL_INT", 1), 1);
    EXPECT_EQ(rows("OBJECT_VAL_MEMO", 1), 1);
    // Classes of their own, beside the design's PlanningType and ShowDayNumber.
    for (const char* name : {"PlanningType", "ShowDayNumber"})
        EXPECT_EQ(
            connection
                .scalar(QStringLiteral("SELECT count(*) FROM OBJECT_CLASS WHERE Name=?"), {QString::fromLatin1(name)})
                ->toInt(),
            0);
}

TEST_F(HolidayStoreTest, AFailedWriteKeepsTheStoredSettings)
{
    db::TDataModuleObject store(connection);
    WriteHolidaySettings(store, 1, sample());
    exec("DROP TABLE OBJECT_VAL_MEMO");
    HolidaySettings changed;
    EXPECT_THROW(WriteHolidaySettings(store, 1, changed), db::DbError);
    EXPECT_FALSE(connection.inTransaction());
    // The booleans written before the failure were rolled back with it.
    EXPECT_TRUE(store.ReadBoolean(1, QStringLiteral("ShowHolidays"), QStringLiteral("Logical"), false));
    EXPECT_TRUE(store.ReadBoolean(1, QStringLiteral("HolidaysAlsaceMoselle"), QStringLiteral("Logical"), false));
}
