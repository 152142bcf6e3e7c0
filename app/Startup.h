#pragma once

#include "app/Directories.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace db {
class TDataModule1;
class TDataModuleObject;
}  // namespace db

namespace app {

struct StartupOptions {
    // The program directory; empty means the current directory.
    QString programDir;
    SystemPaths paths = SystemPaths::current();
    std::optional<bool> recentSystem;  // forced by tests; else from the kernel
    // Creates the main window of step 19; the application's loop then runs
    // until it closes. Without one the sequence ends after the splash.
    std::function<std::unique_ptr<QWidget>(db::TDataModule1&, db::TDataModuleObject&)> createMainWindow;
    int splashLingerMs = 0;  // how long the splash stays when there is no main window
};

// The whole start-up sequence. Answers 0 when the program ran and closed
// normally, 1 when a step stopped it.
int RunStartup(const StartupOptions& options);

// The running kernel's major release number is above 5.
bool IsRecentSystem();
int KernelMajorVersion(const QString& release);

// Writes a file holding "admin" and deletes it again; on failure shows the
// refusal box and answers false.
bool TestWriteAccess(const QString& title, const QString& fileName);

// First four characters, decimal comma as point, a number not below 2.5.
bool DataAccessVersionOk(const QString& versionText);
// The SQLite library's version passes, and the Qt SQLite driver is present.
bool DataAccessComponentsOk();

// A connection object of the data-access layer can be created; error gets
// the layer's message when not.
bool DataAccessAvailable(QString* error = nullptr);

// Why the database file of the process-wide location cannot be used (an
// unknown provider, a missing, empty, read-only or damaged file), in French;
// empty when it can. Changes nothing.
QString DatabaseFileProblem();

// Completes what a crash cut short before anything opens the database: a
// compaction's leftovers and a committed restore. Shows a French message
// naming the folder and answers false when the data cannot be made whole;
// the program must then stop without opening it.
bool FinishInterruptedWork();

// Used by the main window on recent systems.
void AdaptWindowFont(QWidget* window);

// "planning" and "Planning.exe" both give "planning.ini".
QString SettingsFileNameFor(const QString& executableFileName);

// The step 10 refusal text for a title and a directory (with its "/").
QString WriteAccessRefusalText(const QString& title, const QString& directory);

}  // namespace app
