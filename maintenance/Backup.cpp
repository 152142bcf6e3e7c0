#include "maintenance/Backup.h"

#include "core/Clock.h"
#include "core/Globals.h"
#include "db/Dataset.h"
#include "maintenance/FileOps.h"
#include "maintenance/MaintenanceError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace maintenance {

DataPaths DataPaths::current()
{
    const core::Globals& g = core::globals();
    return {core::databaseFilePath(), g.dataDir, g.dataRoot + QStringLiteral("Backup/")};
}

QString ProposedBackupName(const QDate& day)
{
    return QStringLiteral("PLANNING_ACCESS_BACKUP_") + day.toString(QStringLiteral("dd_MM_yyyy"))
        + QStringLiteral(".bkp");
}

QStringList BackupFileList(const DataPaths& paths)
{
    QStringList files{paths.databasePath};
    const auto add = [&files](const QString& dir, const QStringList& masks) {
        QDir d(dir);
        d.setNameFilters(masks);
        d.setFilter(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
        d.setSorting(QDir::Name | QDir::IgnoreCase);
        for (const QString& name : d.entryList())
            files << d.filePath(name);
    };
    add(paths.dataDir + QStringLiteral("Images/"), {QStringLiteral("*")});
    add(paths.dataDir + QStringLiteral("Files/"), {QStringLiteral("*.f")});
    return files;
}

void WriteBackupArchive(const QStringList& files, const DataPaths& paths, const QString& target,
                        const archive::ProgressFn& progress)
{
    QDir().mkpath(paths.backupDir);
    const QString temp = paths.tempCabinet();
    QFile::remove(temp);
    try {
        archive::WriteCabinet(temp, files, progress);
        // The cabinet is read back: every file under its name with its size.
        const archive::CabinetReader check(temp);
        bool same = check.entries().size() == files.size();
        for (qsizetype i = 0; same && i < files.size(); ++i) {
            const QFileInfo info(files.at(i));
            same = check.entries().at(i).name == info.fileName() && check.entries().at(i).size == info.size();
        }
        if (!same)
            throw MaintenanceError(QStringLiteral("L'archive « %1 » relue ne correspond pas aux fichiers "
                                                  "sauvegardés.")
                                       .arg(temp));
        files::moveFile(temp, target);
        files::syncDirectory(QFileInfo(target).absolutePath());
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
}

void AddBackupHistory(db::Dataset& query, const QString& description, const QString& path)
{
    const QDateTime now = core::now();
    query.Open();
    try {
        query.Append();
        query.FieldByName(QStringLiteral("DateSav")).SetValue(now.date().toString(QStringLiteral("dd/MM/yyyy")));
        query.FieldByName(QStringLiteral("TimeSav")).SetValue(now.time().toString(QStringLiteral("hh:mm:ss")).left(5));
        query.FieldByName(QStringLiteral("Description")).SetValue(description.left(128));
        query.FieldByName(QStringLiteral("Path")).SetValue(path.left(255));  // the column holds 255 characters
        query.Post();
    } catch (...) {
        if (query.Editing())
            query.Cancel();
        query.Close();
        throw;
    }
    query.Close();
}

}  // namespace maintenance
