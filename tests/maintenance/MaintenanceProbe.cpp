// Runs one maintenance operation in its own process, so that tests can kill
// it, or make its system calls fail, at chosen points:
//   maintenance_probe restore DATAROOT ARCHIVE | recover DATAROOT
//   maintenance_probe restore-command DATAROOT ARCHIVE
// with the database in DATAROOT/Data/Access/PLANNING.MDB. restore-command
// runs the menu command on an offscreen window and prints what it left:
// "connection=open|closed window=enabled|disabled quit=0|1", then each
// message shown on a line of its own.
#include "core/Globals.h"
#include "db/TDataModule1.h"
#include "dossiers/DossierCommands.h"
#include "maintenance/MaintenanceCommands.h"
#include "maintenance/MaintenanceError.h"
#include "maintenance/Restore.h"
#include "ui/ScriptedPrompt.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <cstring>

namespace {

class ProbeDisplay : public dossiers::DossierDisplay {
public:
    void OpenDossierDisplay(int, int, const QString&) override { }
    void CloseDossierDisplay(bool) override { }
    void UpdateMenus() override { }
    QWidget* displayWindow() override { return &window; }
    int OpenDossierNumber() const override { return -1; }
    QWidget window;
};

int restoreCommand(const QString& root, const QString& archive)
{
    core::Globals& g = core::globals();
    g.dataRoot = root;
    g.dataDir = root + QStringLiteral("Data/");
    g.databaseFile = QStringLiteral("Access/PLANNING.MDB");
    db::TDataModule1 dm;
    const QString failure = dm.OpenMainConnection();
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", failure.toLocal8Bit().constData());
        return 1;
    }
    ProbeDisplay display;
    ui::ScriptedPrompt prompt;
    prompt.setNextFileName(archive);
    maintenance::MaintenanceCommands commands(dm, display);
    bool quit = false;
    commands.setQuitProgram([&quit] { quit = true; });
    commands.Popup_Tools_DataBase_restoreClick();
    std::printf("connection=%s window=%s quit=%d\n", dm.ADOConnection1.isOpen() ? "open" : "closed",
                display.window.isEnabled() ? "enabled" : "disabled", quit ? 1 : 0);
    for (const auto& m : prompt.messages())
        std::printf("%s\n", m.text.toUtf8().replace('\r', ' ').constData());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "restore-command") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return restoreCommand(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
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
