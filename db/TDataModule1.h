#pragma once

#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/QueryHelpers.h"

#include <QString>

#include <functional>

namespace db {

// Connection-string templates; placeholders are replaced everywhere they occur.
inline constexpr const char* kOdbcConnectionTemplate =
    "Provider=MSDASQL.1;Data Source=%DATASOURCE%;Persist Security Info=True;Mode=ReadWrite";
inline constexpr const char* kOleDbConnectionTemplate =
    "Provider=%PROVIDER%;Data Source=%DATASOURCE%;Mode=ReadWrite;Jet OLEDB:Engine Type=5;"
    "Jet OLEDB:Database Locking Mode=1;Jet OLEDB:Global Partial Bulk Ops=2;Jet OLEDB:Global Bulk Transactions=1;"
    "Jet OLEDB:Create System Database=False;Jet OLEDB:Encrypt Database=False;"
    "Jet OLEDB:Don't Copy Locale on Compact=False;Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False";

// Owner kinds of attached documents.
inline constexpr int kOwnerPerson = 1;
inline constexpr int kOwnerProject = 2;

// True when data directory + the OLE DB FileName exists, whatever the provider.
bool DatabaseFileExists();

// The main data module: the one connection and the standing queries, one per
// main table, for the life of the process. The standing queries filter on -1
// and so match nothing until a dossier rescopes them. The record rules
// (defaults of new persons and projects, cascading deletes) are attached here
// so that they hold wherever rows are created or deleted through them.
class TDataModule1 {
public:
    TDataModule1();
    ~TDataModule1();
    TDataModule1(const TDataModule1&) = delete;
    TDataModule1& operator=(const TDataModule1&) = delete;

    // The instance created at start-up; nullptr before.
    static TDataModule1* instance();

    // Does nothing when the database file is missing. Otherwise builds the
    // connection string from the provider's template and opens it. Answers
    // the layer's message on failure, empty on success.
    QString OpenMainConnection();

    // Where new persons and projects take their Id_File: the owner of the
    // open dossier (the main window) installs it; -1 without one.
    void setDossierSource(std::function<int()> source) { m_dossierSource = std::move(source); }
    int currentDossier() const { return m_dossierSource ? m_dossierSource() : -1; }

    void DeleteDocumentFiles(int owner, int kind);
    void DeleteDocumentImages(int owner, int kind);

    Connection ADOConnection1;

    Dataset MainFile;
    Dataset People;
    Dataset Project;
    Dataset ComboItems;
    Dataset CustomLabel;
    Dataset DocumentImg;
    Dataset DocumentFile;
    Dataset Backup;
    Dataset Event;
    Dataset Query;

    DataSource DSMainFile{&MainFile};
    DataSource DSPeople{&People};
    DataSource DSProject{&Project};
    DataSource DSComboItems{&ComboItems};
    DataSource DSCustomLabel{&CustomLabel};
    DataSource DSDocumentImg{&DocumentImg};
    DataSource DSDocumentFile{&DocumentFile};
    DataSource DSBackup{&Backup};
    DataSource DSEvent{&Event};

private:
    void setUpQueries();
    void attachRules();
    void personOrProjectDefaults(Dataset& ds);
    void cascadeObject(Dataset& ds, const QString& imagePrefix, const QString& planningColumn, int kind);
    void cascadeDossier(Dataset& ds);
    void removeDataFileAfterCommit(const QString& relativePath);

    std::function<int()> m_dossierSource;
};

// The file names of the stores under the data directory.
QString personImageFile(int id);
QString projectImageFile(int id);
QString documentImageFile(int id);
QString storedDocumentFile(int id);

}  // namespace db
