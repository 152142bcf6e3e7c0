#include "dossiers/DossierCommands.h"

#include "core/Globals.h"
#include "db/Compaction.h"
#include "db/DbError.h"
#include "db/QueryHelpers.h"
#include "db/TDataModule1.h"
#include "dossiers/DossierDialogs.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"
#include "ui/TWait.h"

#include <QStringList>
#include <QWidget>

#include <memory>

namespace dossiers {

DossierCommands::DossierCommands(db::TDataModule1& dataModule, DossierDisplay& display)
    : m_dm(dataModule), m_display(display)
{ }

void DossierCommands::Popup_File_AddClick()
{
    EditDossier(-1, true);
}

void DossierCommands::Popup_File_EditClick()
{
    EditDossier(m_display.OpenDossierNumber(), false);
}

void DossierCommands::Popup_File_CloseClick()
{
    m_display.CloseDossierDisplay(true);
}

bool DossierCommands::HasDossiers()
{
    db::Dataset& q = m_dm.MainFile;
    const bool wasOpen = q.IsOpen();
    if (!wasOpen)
        q.Open();
    const bool any = !db::IsEmpty(q);
    if (!wasOpen)
        q.Close();
    return any;
}

void DossierCommands::EditDossier(int number, bool isNew)
{
    db::Dataset& q = m_dm.MainFile;
    q.Open();
    if (isNew) {
        q.Append();
    } else if (!q.Locate(QStringLiteral("ID"), number)) {
        q.Close();
        m_display.UpdateMenus();
        return;
    } else {
        q.Edit();
    }
    bool opened = false;
    {
        TEnterFile dialog(q, isNew, m_display.displayWindow());
        const int result = ui::prompt().exec(&dialog);
        if (result != QDialog::Accepted && q.Editing())
            q.Cancel();
        if (result == QDialog::Accepted && isNew) {
            q.Edit();
            q.FieldByName(QStringLiteral("PlanningMode")).SetValue(dialog.orientation());
            q.Post();
            const int id = q.FieldByName(QStringLiteral("ID")).AsInteger();
            const int mode = q.FieldByName(QStringLiteral("PlanningMode")).AsInteger();
            const QString name = q.FieldByName(QStringLiteral("LoginName")).AsString();
            q.Close();
            // A new dossier opens at once, without its password.
            if (m_display.OpenDossierNumber() != -1)
                m_display.CloseDossierDisplay(true);
            m_display.OpenDossierDisplay(id, mode, name);
            opened = true;
        }
    }
    q.Close();
    // Opening the display has brought the menus up to date.
    if (!opened)
        m_display.UpdateMenus();
}

void DossierCommands::OpenDossierCommand()
{
    int number;
    QString name;
    {
        TFileList list(m_dm.MainFile, m_display.displayWindow());
        if (ui::prompt().exec(&list) != QDialog::Accepted || list.chosenId() < 0)
            return;
        number = list.chosenId();
        name = list.chosenName();
    }
    if (m_display.OpenDossierNumber() != -1)
        m_display.CloseDossierDisplay(true);

    db::Dataset& q = m_dm.MainFile;
    q.Close();
    q.SQL().append(QStringLiteral("WHERE Id=%1").arg(number));
    QString password;
    int mode = 0;
    bool found = false;
    try {
        q.Open();
        found = !db::IsEmpty(q);
        if (found) {
            password = q.FieldByName(QStringLiteral("LoginPassword")).AsString();
            mode = q.FieldByName(QStringLiteral("PlanningMode")).AsInteger();
        }
    } catch (...) {
        q.Close();
        q.SQL().removeLast();
        throw;
    }
    q.Close();
    q.SQL().removeLast();
    if (found && (password.isEmpty() || AskDossierPassword(password, m_display.displayWindow())))
        m_display.OpenDossierDisplay(number, mode, name);
    else
        m_display.UpdateMenus();
}

void DossierCommands::DeleteDossier()
{
    if (!ui::confirm(QStringLiteral("Confirmez-vous la suppression de ce dossier ?"), m_display.displayWindow()))
        return;
    const int number = m_display.OpenDossierNumber();
    QString copyFailure;
    QString deleteFailure;
    {
        ui::HourglassCursor hourglass;
        auto wait = std::make_unique<ui::TWait>();
        wait->centerOn(m_display.displayWindow());
        wait->setTask(QStringLiteral("Sauvegarde de la base"));
        wait->setMessage(QStringLiteral("Quelques instants, SVP ..."));
        wait->showAndPump();
        QWidget* main = m_display.displayWindow();
        if (main)
            main->setEnabled(false);

        m_dm.ADOConnection1.close();
        const QString access = core::globals().dataDir + QStringLiteral("Access/");
        try {
            db::CompactDatabaseFile(access + QStringLiteral("PLANNING.MDB"), access + QStringLiteral("DEL_BACKUP.MDB"));
        } catch (const db::DbError& e) {
            copyFailure = e.message();
        }
        const QString reopen = m_dm.OpenMainConnection();
        wait->setTask(QStringLiteral("Suppression du dossier"));
        wait->showAndPump();
        bool deleted = false;
        if (reopen.isEmpty()) {
            try {
                db::Dataset& q = m_dm.MainFile;
                q.Open();
                if (q.Locate(QStringLiteral("ID"), number)) {
                    q.Delete();
                    deleted = true;
                }
                q.Close();
            } catch (const db::DbError& e) {
                m_dm.MainFile.Close();
                deleteFailure = e.message();
            }
        } else {
            deleteFailure = reopen;
        }
        // The preferences of a deleted dossier are not written back: they
        // would be rows of a dossier that no longer exists. Without a
        // connection they cannot be: that failure is already the reopen's.
        m_display.CloseDossierDisplay(!deleted && m_dm.ADOConnection1.isOpen());
        if (main)
            main->setEnabled(true);
    }
    // One box, even when the copy and the deletion both failed.
    QStringList failures;
    for (const QString& f : {deleteFailure, copyFailure}) {
        if (!f.isEmpty())
            failures << f;
    }
    if (!failures.isEmpty())
        ui::showError(failures.join(QStringLiteral("\r\r")), m_display.displayWindow());
}

bool DossierCommands::AutoOpenFirstDossier()
{
    db::Dataset& q = m_dm.MainFile;
    q.Open();
    bool opened = false;
    if (!db::IsEmpty(q) && q.FieldByName(QStringLiteral("LoginPassword")).AsString().isEmpty()) {
        const int id = q.FieldByName(QStringLiteral("ID")).AsInteger();
        const int mode = q.FieldByName(QStringLiteral("PlanningMode")).AsInteger();
        const QString name = q.FieldByName(QStringLiteral("LoginName")).AsString();
        q.Close();
        m_display.OpenDossierDisplay(id, mode, name);
        opened = true;
    }
    q.Close();
    return opened;
}

}  // namespace dossiers
