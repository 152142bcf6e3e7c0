#pragma once

#include "archive/Cabinet.h"
#include "maintenance/Backup.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace core {
class ScriptFeedback;
}
namespace db {
class Connection;
}

namespace maintenance {

// What a restore tells its window while it works.
struct RestoreProgress {
    std::function<void(const QString& task)> task;
    archive::ProgressFn unpacking;  // while the archive is extracted
    archive::ProgressFn keeping;    // while the safety archive is written
};

struct RestoreOptions {
    // Off only to time the unpacking, checks and swap on their own.
    bool keepReplacedData = true;
};

struct RestoreOutcome {
    QString safetyArchive;  // the archive of the replaced data, in DataPaths::safetyDir()
    int leftOut = 0;        // entries neither the database, a picture nor an attached file
};

// Empty when the database file at path can serve as the program's database;
// otherwise what is wrong with it, in French ("est endommagée : ...").
QString CheckRestoredDatabase(const QString& path);

// The restore's bar counts entries: its maximum is their number, it stands
// one step past the entry being unpacked and one past the maximum once the
// archive has been read.
int RestoreGaugeMaximum(const archive::Progress& at);
int RestoreGaugePosition(const archive::Progress& at);

// "PLANNING_ACCESS_AVANT_RESTAURATION_05_03_2009_14_07_59.bkp"
QString SafetyArchiveName(const QDateTime& when);

// Puts a backup archive in place of the database, the pictures (*.jpg) and
// the attached files (*.f); any other entry is left out, never extracted.
// The caller has closed the connection.
//
// Nothing is replaced until the archive has been extracted completely into a
// private directory under Backup/, the database in it has passed
// CheckRestoredDatabase (quick_check and the program's
// tables) and the current data has been written to a safety
// archive. The swap then follows a commit mark, so that a crash at any point
// leaves the old data or, once FinishInterruptedRestore has run, the new.
// Refusals and failures throw MaintenanceError or ArchiveError, with nothing
// replaced; a failure after the mark throws RestorePendingError, and the
// caller must then leave the data closed until the next start.
RestoreOutcome RestoreArchive(const QString& archivePath, const DataPaths& paths, const RestoreProgress& progress = {},
                              const RestoreOptions& options = {});

// A finished restore deletes the data it replaced on a worker thread; this
// waits until that is done (the next restore and the program's end do too).
void FinishBackgroundRemoval();

// Completes a swap interrupted after its commit mark, or discards a staged
// one interrupted before; run before the database is opened. Answers an
// empty text, or what could not be done.
QString FinishInterruptedRestore(const DataPaths& paths);

// Brings a restored database of an older version up to the program's with
// the installation's update script, and stamps it; a newer one is refused
// (DbError). Runs over the reopened main connection.
void UpdateRestoredDatabase(db::Connection& connection, core::ScriptFeedback* feedback);

}  // namespace maintenance
