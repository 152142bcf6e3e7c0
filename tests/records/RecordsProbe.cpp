// Runs one photo operation in its own process, so that tests can kill it at
// chosen points (database in DATADIR/Access/PLANNING.MDB, dossier 3):
//   records_probe store-photo DATADIR ID SOURCE
//   records_probe attach-file DATADIR OWNER SOURCE
//   records_probe recover DATADIR   (what start-up does for attachments)
#include "core/Globals.h"
#include "db/DbError.h"
#include "db/TDataModule1.h"
#include "images/ImageRoutines.h"
#include "records/DocumentStore.h"
#include "records/PhotoStorage.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    core::Globals& g = core::globals();
    g.dataDir = QString::fromLocal8Bit(argv[2]);
    try {
        db::TDataModule1 dm;
        dm.setDossierSource([] { return 3; });
        const QString failure = dm.OpenMainConnection();
        if (!failure.isEmpty())
            throw db::DbError(failure);
        if (argc == 5 && std::strcmp(argv[1], "store-photo") == 0) {
            const int id = std::atoi(argv[3]);
            dm.People.SQL()[2] = QStringLiteral("WHERE ID_FILE=3");
            dm.People.Open();
            if (!dm.People.Locate(QStringLiteral("Id"), id))
                return 3;
            dm.People.Edit();
            records::StorePhotoFromFile(dm.DSPeople, dm.People, QStringLiteral("ImgMini1"), 105, 105,
                                        QString::fromLocal8Bit(argv[4]),
                                        g.dataDir + QStringLiteral("Images/People%1.jpg").arg(id));
            return 0;
        }
        if (argc == 5 && std::strcmp(argv[1], "attach-file") == 0) {
            records::DocumentStore store(dm, db::kOwnerPerson);
            const int owner = std::atoi(argv[3]);
            store.OpenDocumentFiles(owner);
            store.AttachFile(3, owner, records::ReadChosenFile(QString::fromLocal8Bit(argv[4])));
            return 0;
        }
        if (argc == 3 && std::strcmp(argv[1], "recover") == 0) {
            records::RemoveUnreferencedDocumentFiles(dm.ADOConnection1, g.dataDir + QStringLiteral("Files/"));
            return 0;
        }
    } catch (const records::DocumentError& e) {
        std::fprintf(stderr, "%s\n", e.message().toLocal8Bit().constData());
        return 1;
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    } catch (const images::ImageError& e) {
        std::fprintf(stderr, "%s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    return 2;
}
