// Runs one maintenance operation in its own process, so that tests can kill
// it at chosen points:
//   maintenance_probe restore DATAROOT ARCHIVE | recover DATAROOT
// with the database in DATAROOT/Data/Access/PLANNING.MDB.
#include "core/Globals.h"
#include "maintenance/MaintenanceError.h"
#include "maintenance/Restore.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString root = QString::fromLocal8Bit(argv[2]);
    const maintenance::DataPaths paths{root + QStringLiteral("Data/Access/PLANNING.MDB"),
                                       root + QStringLiteral("Data/"), root + QStringLiteral("Backup/")};
    try {
        if (argc == 4 && std::strcmp(argv[1], "restore") == 0) {
            maintenance::RestoreArchive(QString::fromLocal8Bit(argv[3]), paths);
            return 0;
        }
        if (std::strcmp(argv[1], "recover") == 0) {
            const QString failure = maintenance::FinishInterruptedRestore(paths);
            if (!failure.isEmpty()) {
                std::fprintf(stderr, "%s\n", failure.toLocal8Bit().constData());
                return 1;
            }
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 2;
}
