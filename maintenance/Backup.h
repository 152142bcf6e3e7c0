#pragma once

#include "archive/Cabinet.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace db {
class Dataset;
}

namespace maintenance {

// Descriptions of the history rows.
inline constexpr const char* kBackupDescription = "Sauvagarde de la base de données";
inline constexpr const char* kRestoreDescription = "Restauration de la base de données";
inline constexpr const char* kCompactDescription = "Compactage de la base de données";
inline constexpr const char* kSafetyDescription = "Sauvegarde automatique avant restauration";

// Where the data lives; every directory ends with "/".
struct DataPaths {
    QString databasePath;  // the live database file
    QString dataDir;       // holds Images/ and Files/
    QString backupDir;     // data root + "Backup/": default place and work directory

    // From the process-wide values.
    static DataPaths current();
    QString tempCabinet() const { return backupDir + QStringLiteral("temp.cab"); }
    // The automatic archives of what a restore replaced, apart from the
    // user's own backups.
    QString safetyDir() const { return backupDir + QStringLiteral("Avant restauration/"); }
};

// "PLANNING_ACCESS_BACKUP_05_03_2009.bkp" for 5 March 2009.
QString ProposedBackupName(const QDate& day);

// The files of a backup in archive order: the database, every picture
// ("*.jpg") of Images/, every "*.f" of Files/ (masks without regard to case):
// the files a restore takes back. A file whose name an archive cannot carry
// (a backslash or a line break in it, or the same name as another but for
// case) is left out and, when leftOut is given, its path added there.
QStringList BackupFileList(const DataPaths& paths, QStringList* leftOut = nullptr);

// Empty when an archive may be written at target; otherwise why not, in
// French: the data directory and the work file temp.cab are never targets.
QString BackupTargetProblem(const DataPaths& paths, const QString& target);

// Builds the archive as Backup/temp.cab (a leftover one is deleted first),
// checks that it lists every file with its size, and only then moves it over
// target, so an existing target is never lost to a failed run. Throws
// ArchiveError or MaintenanceError (also for a target BackupTargetProblem
// refuses, before anything is written); temp.cab is gone afterwards in every
// case.
void WriteBackupArchive(const QStringList& files, const DataPaths& paths, const QString& target,
                        const archive::ProgressFn& progress = {});

// Appends one BACKUP row through query (the main data module's Backup):
// today as dd/mm/yyyy, the time as hh:mm. Throws DbError.
void AddBackupHistory(db::Dataset& query, const QString& description, const QString& path);

}  // namespace maintenance
