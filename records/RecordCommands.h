#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace db {
class Dataset;
class TDataModule1;
}  // namespace db

namespace records {

// The entry dialogs of persons and projects: they edit the current row of
// the query and answer the dialog's result. Empty: the kind cannot be edited.
struct RecordDialogs {
    std::function<int(db::Dataset& query, bool isNew, QWidget* parent)> person;
    std::function<int(db::Dataset& query, bool isNew, QWidget* parent)> project;
};

// TEnterPeople and TEnterProject over the data module's standing queries.
RecordDialogs DefaultRecordDialogs(db::TDataModule1& dataModule);

// Adding, editing and deleting persons and projects through the standing
// queries of the data module. The caller reloads its lists afterwards.
class RecordCommands {
public:
    RecordCommands(db::TDataModule1& dataModule, RecordDialogs dialogs);

    bool canEdit(bool person) const;
    // Opens the entry dialog on the record id (a new record when isNew);
    // answers the id of the stored record, -1 when cancelled or not found.
    // Database errors reach the caller as DbError.
    int EditRecord(bool person, int id, bool isNew, QWidget* parent);
    // Asks "Désirez-vous supprimer ...", then deletes the record with what
    // depends on it; answers true when it was deleted. A database error is
    // shown in the French box and answers false.
    bool DeleteRecord(bool person, int id, QWidget* parent);

private:
    db::TDataModule1& m_dm;
    RecordDialogs m_dialogs;
};

}  // namespace records
