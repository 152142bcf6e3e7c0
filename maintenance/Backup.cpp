#include "maintenance/Backup.h"

#include "core/Clock.h"
#include "core/Globals.h"
#include "db/Dataset.h"
#include "maintenance/FileOps.h"
#include "maintenance/MaintenanceError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

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

QStringList BackupFileList(const DataPaths& paths, QStringList* leftOut)
{
    QStringList files{paths.databasePath};
    QSet<QString> taken{QFileInfo(paths.databasePath).fileName().toLower()};
    const auto add = [&](const QString& dir, const QString& mask) {
        QDir d(dir);
        d.setNameFilters({mask});
        d.setFilter(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
        d.setSorting(QDir::Name | QDir::IgnoreCase);
        const QStringList names = d.entryList();
        // Of names alike but for case, the one the program writes (capital
        // first) is kept.
        QHash<QString, QString> preferred;
        for (const QString& name : names) {
            auto it = preferred.find(name.toLower());
            if (it == preferred.end())
                preferred.insert(name.toLower(), name);
            else if (name < *it)
                *it = name;
        }
        for (const QString& name : names) {
            if (archive::SafeEntryName(name).isEmpty() || taken.contains(name.toLower())
                || preferred.value(name.toLower()) != name) {
                if (leftOut)
                    *leftOut << d.filePath(name);
                continue;
            }
            taken.insert(name.toLower());
            files << d.filePath(name);
        }
    };
    add(paths.dataDir + QStringLiteral("Images/"), QStringLiteral("*.jpg"));
    add(paths.dataDir + QStringLiteral("Files/"), QStringLiteral("*.f"));
    return files;
}

QString BackupTargetProblem(const DataPaths& paths, const QString& target)
{
    const auto resolved = [](const QString& path) {
        // The folder may not exist yet; the nearest existing one decides.
        QFileInfo info(path);
        QString tail = info.fileName();
        QString dir = info.absolutePath();
        while (!QFileInfo(dir).exists() && dir != QDir::rootPath()) {
            tail = QFileInfo(dir).fileName() + QLatin1Char('/') + tail;
            dir = QFileInfo(dir).absolutePath();
        }
        const QString canonical = QFileInfo(dir).canonicalFilePath();
        return QDir::cleanPath((canonical.isEmpty() ? dir : canonical) + QLatin1Char('/') + tail);
    };
    const QString file = resolved(target);
    const QString data = resolved(paths.dataDir + QStringLiteral("x"));
    const QString dataDir = data.left(data.size() - 1);
    if (file.startsWith(dataDir, Qt::CaseInsensitive))
        return QStringLiteral("Une sauvegarde ne peut pas être enregistrée dans le dossier des données « %1 » : elle y "
                              "remplacerait la base, une image ou un document.\rChoisissez un autre emplacement.")
            .arg(paths.dataDir);
    if (file.compare(resolved(paths.tempCabinet()), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Le fichier « %1 » est le fichier de travail des sauvegardes : choisissez un autre nom.")
            .arg(paths.tempCabinet());
    return {};
}

void WriteBackupArchive(const QStringList& files, const DataPaths& paths, const QString& target,
                        const archive::ProgressFn& progress)
{
    const QString refused = BackupTargetProblem(paths, target);
    if (!refused.isEmpty())
        throw MaintenanceError(refused);
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
