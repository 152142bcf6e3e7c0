#pragma once

#include <QString>

#include <functional>

namespace app {

// What the data-root decision asks of the system; tests replace it.
struct SystemPaths {
    QString documentsDir;  // with a trailing "/"
    QString programFilesDir = QStringLiteral("/usr/");
    std::function<bool(const QString&)> isOnRemovableDrive;
    static SystemPaths current();
};

// True when the directory lies on a block device whose disk is removable.
bool IsOnRemovableDrive(const QString& dir);

// The executable's name as the installation files are named after it
// ("planning" for both "planning" and "Planning.exe").
QString ExecutableBaseName();

// Sets the data root and creates its sub-directories.
void ResolveDataRoot(const SystemPaths& paths = SystemPaths::current());

// Reads db.ini (creating it from the installation or the defaults), sets the
// provider values, the data directory and the database file, and registers the
// ODBC data source when that provider is chosen.
void ReadDatabaseLocation();

// First run: copies the database and its stores from the installation;
// copies SortList.def and the settings file when missing. False when no
// database can be found anywhere (after its message).
bool ProvideData(const QString& settingsFileName);

// Copies one installation file into the data root when it is not there yet.
void CopyInstallFileIfMissing(const QString& name);

// The lines of the two warning files.
QStringList MakerWarningLines();
QStringList ProductWarningLines();

}  // namespace app
