#include "records/RecordCommands.h"

#include "db/DbError.h"
#include "db/TDataModule1.h"
#include "records/TEnterRecord.h"
#include "ui/Prompt.h"

#include <QDialog>

namespace records {

RecordDialogs DefaultRecordDialogs(db::TDataModule1& dm)
{
    RecordDialogs dialogs;
    dialogs.person = [&dm](db::Dataset&, bool isNew, QWidget* parent) {
        TEnterPeople dialog(dm.DSPeople, dm.People, parent);
        dialog.IsNewRecord = isNew;
        return ui::prompt().exec(&dialog);
    };
    dialogs.project = [&dm](db::Dataset&, bool isNew, QWidget* parent) {
        TEnterProject dialog(dm.DSProject, dm.Project, parent);
        dialog.IsNewRecord = isNew;
        return ui::prompt().exec(&dialog);
    };
    return dialogs;
}

RecordCommands::RecordCommands(db::TDataModule1& dataModule, RecordDialogs dialogs)
    : m_dm(dataModule), m_dialogs(std::move(dialogs))
{ }

bool RecordCommands::canEdit(bool person) const
{
    return static_cast<bool>(person ? m_dialogs.person : m_dialogs.project);
}

int RecordCommands::EditRecord(bool person, int id, bool isNew, QWidget* parent)
{
    const auto& dialog = person ? m_dialogs.person : m_dialogs.project;
    if (!dialog)
        return -1;
    db::Dataset& q = person ? m_dm.People : m_dm.Project;
    q.Open();
    if (isNew) {
        q.Insert();
    } else if (q.Locate(QStringLiteral("Id"), id)) {
        q.Edit();
    } else {
        q.Close();
        return -1;
    }
    int stored = -1;
    if (dialog(q, isNew, parent) == QDialog::Accepted)
        stored = q.FieldByName(QStringLiteral("Id")).AsInteger();
    q.Close();
    return stored;
}

bool RecordCommands::DeleteRecord(bool person, int id, QWidget* parent)
{
    db::Dataset& q = person ? m_dm.People : m_dm.Project;
    bool deleted = false;
    try {
        q.Open();
        if (q.Locate(QStringLiteral("Id"), id)
            && ui::confirm(person ? QStringLiteral("Désirez-vous supprimer cette personne ?")
                                  : QStringLiteral("Désirez-vous supprimer ce projet ?"),
                           parent)) {
            q.Delete();
            deleted = true;
        }
    } catch (const db::DbError& e) {
        ui::showError(e.message(), parent);
    }
    q.Close();
    return deleted;
}

}  // namespace records
