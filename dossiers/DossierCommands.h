#pragma once

#include <QString>

class QWidget;

namespace db {
class TDataModule1;
}

namespace dossiers {

// What the dossier commands ask of the main window.
class DossierDisplay {
public:
    virtual ~DossierDisplay() = default;
    virtual void OpenDossierDisplay(int number, int planningMode, const QString& name) = 0;
    // storePreferences false when the dossier no longer exists (deleted).
    virtual void CloseDossierDisplay(bool storePreferences) = 0;
    virtual void UpdateMenus() = 0;
    virtual QWidget* displayWindow() = 0;
    // PROFILES.ID of the open dossier, -1 when none.
    virtual int OpenDossierNumber() const = 0;
    // The database was rewritten under the window (a restore, a compaction,
    // an update): the planning steps kept for undo no longer apply.
    virtual void ClearUndoHistory() { }
};

// The commands of the dossier menu; the display owns the open dossier.
class DossierCommands {
public:
    DossierCommands(db::TDataModule1& dataModule, DossierDisplay& display);

    void Popup_File_AddClick();
    void Popup_File_EditClick();
    void OpenDossierCommand();
    void Popup_File_CloseClick();
    void DeleteDossier();

    // The dossier dialog for a new dossier (number -1) or the open one.
    void EditDossier(int number, bool isNew);
    // At start: opens the first dossier when it has no password.
    bool AutoOpenFirstDossier();
    bool HasDossiers();

private:
    db::TDataModule1& m_dm;
    DossierDisplay& m_display;
};

}  // namespace dossiers
