#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace db {
class TDataModule1;
}
namespace dossiers {
class DossierDisplay;
}

namespace maintenance {

// The commands of "&Outils" → "&Base de données". Each one disables the main
// window and closes the connection while it works, and restores both in
// every case; failures are told in French and never reported as success.
class MaintenanceCommands {
public:
    MaintenanceCommands(db::TDataModule1& dataModule, dossiers::DossierDisplay& display);

    void Popup_Tools_DataBase_BackupClick();
    void Popup_Tools_DataBase_restoreClick();
    void Popup_Tools_DataBase_HistoryClick();
    void Popup_Tools_DataBase_CompactClick();

    // Makes one backup into fileName; true when it was written.
    bool BackupDatabase(const QString& fileName, const QString& description);

    // What ends the program when a restore could not be completed and the
    // data must stay closed until the next start; by default the event loop
    // is left.
    void setQuitProgram(std::function<void()> quit);

private:
    db::TDataModule1& m_dm;
    dossiers::DossierDisplay& m_display;
    std::function<void()> m_quit;
    QStringList m_leftOut;  // files the last backup could not carry
};

}  // namespace maintenance
