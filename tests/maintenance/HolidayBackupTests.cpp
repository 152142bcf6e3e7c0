// The dossier's holidays travel in the database through a backup and a restore.
#include "MaintenanceFixture.h"

#include "db/TDataModuleObject.h"
#include "maintenance/Restore.h"
#include "planning/HolidayStore.h"

using namespace maintenance_tests;

TEST_F(MaintenanceTest, HolidaysSurviveABackupAndARestore)
{
    planning::HolidaySettings kept;
    kept.showInPlanning = true;
    kept.setOn(planning::Holiday::WhitMonday, false);
    kept.closures = {{QDate(2024, 12, 24), QDate(2024, 12, 24), planning::DayPart::Afternoon,
                      QStringLiteral("24 décembre après-midi")}};
    {
        db::TDataModuleObject store(dm->ADOConnection1);
        planning::WriteHolidaySettings(store, 1, kept);
    }
    const maintenance::DataPaths paths = maintenance::DataPaths::current();
    const QString archive = backupDir() + QStringLiteral("jours.bkp");
    dm->ADOConnection1.close();
    maintenance::WriteBackupArchive(maintenance::BackupFileList(paths), paths, archive);
    dm->ADOConnection1.open();
    {
        db::TDataModuleObject store(dm->ADOConnection1);
        planning::WriteHolidaySettings(store, 1, planning::HolidaySettings{});
        EXPECT_EQ(planning::ReadHolidaySettings(store, 1), planning::HolidaySettings{});
    }
    dm->ADOConnection1.close();
    maintenance::RestoreArchive(archive, paths);
    maintenance::FinishBackgroundRemoval();
    dm->ADOConnection1.open();
    db::TDataModuleObject store(dm->ADOConnection1);
    EXPECT_EQ(planning::ReadHolidaySettings(store, 1), kept);
}
