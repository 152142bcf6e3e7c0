// Runs one data-layer operation in its own process, so that tests can kill
// it at chosen points:
//   db_probe compact-in-place FILE | compact FILE TARGET
//   db_probe delete-person DATADIR DOSSIER ID   (database in DATADIR/Access/PLANNING.MDB)
//   db_probe run-script DATAROOT DATADIR SCRIPTDIR SCRIPT   (same database)
#include "core/Globals.h"
#include "db/Compaction.h"
#include "db/DbError.h"
#include "db/TDataModule1.h"
#include "db/UpdateScript.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        if (argc == 3 && std::strcmp(argv[1], "compact-in-place") == 0) {
            db::CompactInPlace(QString::fromLocal8Bit(argv[2]));
            return 0;
        }
        if (argc == 4 && std::strcmp(argv[1], "compact") == 0) {
            db::CompactDatabaseFile(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
            return 0;
        }
        if (argc == 5 && std::strcmp(argv[1], "delete-person") == 0) {
            core::globals().dataDir = QString::fromLocal8Bit(argv[2]);
            const int dossier = std::atoi(argv[3]);
            db::TDataModule1 dm;
            dm.setDossierSource([dossier] { return dossier; });
            const QString failure = dm.OpenMainConnection();
            if (!failure.isEmpty())
                throw db::DbError(failure);
            dm.People.SQL()[2] = QStringLiteral("WHERE ID_FILE=") + QString::fromLocal8Bit(argv[3]);
            dm.People.Open();
            if (!dm.People.Locate(QStringLiteral("Id"), std::atoi(argv[4])))
                return 3;
            dm.People.Delete();
            return 0;
        }
        if (argc == 6 && std::strcmp(argv[1], "run-script") == 0) {
            core::globals().dataRoot = QString::fromLocal8Bit(argv[2]);
            core::globals().dataDir = QString::fromLocal8Bit(argv[3]);
            db::Connection c;
            c.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=")
                                  + core::globals().dataDir + QStringLiteral("Access/PLANNING.MDB"));
            c.open();
            db::RunScript(c, QString::fromLocal8Bit(argv[4]), QString::fromLocal8Bit(argv[5]), false, nullptr);
            return 0;
        }
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: db_probe compact-in-place FILE | compact FILE TARGET\n");
    return 2;
}
