#include "maintenance/Restore.h"

#include "core/Clock.h"
#include "core/Globals.h"
#include "db/DatabaseCheck.h"
#include "db/DbError.h"
#include "db/DbVersion.h"
#include "db/UpdateScript.h"
#include "maintenance/FileOps.h"
#include "maintenance/MaintenanceError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <future>

#include <cstdio>
#include <fcntl.h>

namespace maintenance {

namespace {

// The swap is staged beside the stores, on their filesystem, and committed
// by writing the mark: before it the staging is thrown away, after it the
// swap is completed.
QString stagingDir(const DataPaths& p)
{
    return p.dataDir + QStringLiteral(".restauration/");
}

QString stagedDatabase(const DataPaths& p)
{
    return p.databasePath + QStringLiteral(".restauration");
}

QString commitMark(const DataPaths& p)
{
    return stagingDir(p) + QStringLiteral("EN_COURS");
}

const char* const kStores[] = {"Images", "Files"};
// The kind of file a restore replaces in each store.
const char* const kKept[] = {".jpg", ".f"};

bool hasSuffix(const QString& name, const char* suffix)
{
    return name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

struct Sqlite {
    sqlite3* db = nullptr;
    ~Sqlite()
    {
        if (db)
            sqlite3_close_v2(db);
    }
};

// A journal left by a crash belongs to the current database: opening it
// rolls the journal back, so the file is whole before it is archived.
void settleDatabase(const QString& path)
{
    const QString journal = path + QStringLiteral("-journal");
    if (!QFileInfo::exists(journal))
        return;
    {
        Sqlite h;
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &h.db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
            sqlite3_exec(h.db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    if (QFileInfo(journal).size() > 0)
        throw MaintenanceError(QStringLiteral("La base de données « %1 » a un journal de transaction en suspens ; "
                                              "la restauration n'a pas été faite.")
                                   .arg(path));
}

void removeTree(const QString& dir)
{
    if (QFileInfo::exists(dir))
        QDir(dir).removeRecursively();
}

// The replaced stores of a finished restore are deleted on a worker: freeing
// their blocks takes as long as unpacking the pictures. They are first
// renamed out of the staging's way; whatever a crash leaves of them is
// removed at the next start (oldStaging).
std::future<void>& pendingRemoval()
{
    static std::future<void> removal;
    return removal;
}

void waitForPendingRemoval()
{
    if (pendingRemoval().valid())
        pendingRemoval().wait();
}

QString oldStagingPrefix()
{
    return QStringLiteral(".restauration-achevee-");
}

void removeInBackground(const DataPaths& p, const QString& dir)
{
    waitForPendingRemoval();
    const QString aside =
        p.dataDir + oldStagingPrefix() + QString::number(QRandomGenerator::system()->generate64(), 16);
    if (std::rename(QFile::encodeName(dir).constData(), QFile::encodeName(aside).constData()) != 0) {
        removeTree(dir);
        return;
    }
    pendingRemoval() = std::async(std::launch::async, [aside] { removeTree(aside); });
}

QString uniqueSafetyPath(const DataPaths& paths)
{
    if (!QDir().mkpath(paths.safetyDir()))
        throw MaintenanceError(
            QStringLiteral("Impossible de créer le dossier « %1 ».\rLa restauration n'a pas été faite.")
                .arg(paths.safetyDir()));
    const QString base = paths.safetyDir() + SafetyArchiveName(core::now());
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = base.left(base.size() - 4) + QStringLiteral("_%1.bkp").arg(n);
    return candidate;
}

// The commit mark names a token; each staged store holds a file of that
// name, which tells the restored store from the replaced one wherever the
// directories have gone (inode numbers do not last across mounts on FAT).
// Marks of earlier versions name the stores' inodes instead.
struct Mark {
    QString token;
    ino_t store[2] = {0, 0};
    bool exchange = true;  // the stores are swapped as whole directories
};

QString tokenFile(const Mark& m)
{
    return QStringLiteral(".restauration-") + m.token;
}

QByteArray markText(const Mark& m)
{
    return QStringLiteral("Jeton %1\nEchange %2\n").arg(m.token).arg(m.exchange ? 1 : 0).toLatin1();
}

bool readMark(const QString& path, Mark* m)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = f.readAll().split('\n');
    if (!lines.isEmpty() && lines.first().startsWith("Jeton ")) {
        m->token = QString::fromLatin1(lines.first().mid(6)).trimmed();
        m->exchange = !(lines.size() > 1 && lines.at(1).trimmed() == "Echange 0");
        static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{16,64}$"));
        return hex.match(m->token).hasMatch();
    }
    if (lines.size() < 2)
        return false;
    for (int i = 0; i < 2; ++i) {
        const QList<QByteArray> parts = lines.at(i).split(' ');
        bool ok = false;
        m->store[i] = parts.size() == 2 ? static_cast<ino_t>(parts.at(1).toULongLong(&ok)) : 0;
        if (!ok)
            return false;
    }
    return true;
}

bool isRestoredStore(const QString& dir, const Mark& m, int store)
{
    if (!m.token.isEmpty())
        return QFileInfo(dir + QLatin1Char('/') + tokenFile(m)).isFile();
    return files::inodeOf(dir) != 0 && files::inodeOf(dir) == m.store[store];
}

// Where directories cannot be swapped in one step (FAT), a store is swapped
// file by file, in two phases that can each be run again: every picture or
// attached file of the live store goes aside, then every restored file comes
// in, the token last. Other files of the live store never move.
void swapStoreByFiles(const QString& live, const QString& staged, const QString& replaced, const Mark& m, int store)
{
    const QString emptied = staged + QStringLiteral(".vide");
    if (!QFileInfo::exists(emptied)) {
        QDir().mkpath(replaced);
        QDir from(live);
        for (const QString& name : from.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
            if (hasSuffix(name, kKept[store]))
                files::moveFile(from.filePath(name), replaced + QLatin1Char('/') + name);
        }
        files::syncDirectory(live);
        files::syncDirectory(replaced);
        files::writeNewFile(emptied, QByteArray());
        files::syncDirectory(QFileInfo(emptied).absolutePath());
    }
    const QString token = tokenFile(m);
    QDir from(staged);
    for (const QString& name : from.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (name != token)
            files::moveFile(from.filePath(name), live + QLatin1Char('/') + name);
    }
    files::syncDirectory(live);
    files::moveFile(from.filePath(token), live + QLatin1Char('/') + token);
    files::syncDirectory(live);
}

// Each step checks whether it is done, so that it can be run again after a
// crash: a store is in place when the live directory is the restored one.
void rollForward(const DataPaths& p, const Mark& m)
{
    const QString staging = stagingDir(p);
    const bool canExchange = m.exchange;
    for (int i = 0; i < 2; ++i) {
        const QString live = p.dataDir + QLatin1String(kStores[i]);
        const QString staged = staging + QLatin1String(kStores[i]);
        const QString replaced = staged + QStringLiteral(".remplace");
        if (isRestoredStore(live, m, i))
            continue;
        if (!isRestoredStore(staged, m, i))
            throw MaintenanceError(
                QStringLiteral("Le dossier restauré « %1 » est introuvable ou a été remplacé.").arg(staged));
        if (canExchange && files::inodeOf(live) == 0) {
            files::moveFile(staged, live);
        } else if (canExchange) {
            files::exchange(staged, live);
        } else {
            if (!QDir().mkpath(live))
                throw MaintenanceError(QStringLiteral("Impossible de créer le dossier « %1 ».").arg(live));
            swapStoreByFiles(live, staged, replaced, m, i);
        }
        files::syncDirectory(p.dataDir);
        files::syncDirectory(staging);
    }
    const QString db = stagedDatabase(p);
    if (QFileInfo::exists(db)) {
        // A journal beside the replaced file belongs to it; left there it
        // would be played back into the restored database.
        for (const char* suffix : {"-journal", "-wal", "-shm"})
            QFile::remove(p.databasePath + QLatin1String(suffix));
        files::moveFile(db, p.databasePath);
        files::syncDirectory(QFileInfo(p.databasePath).absolutePath());
    }
    if (QFile::exists(commitMark(p)) && !QFile::remove(commitMark(p)))
        throw MaintenanceError(QStringLiteral("Impossible de supprimer « %1 ».").arg(commitMark(p)));
    files::syncDirectory(staging);
}

// The token files of finished restores, in the live stores.
void removeTokenFiles(const DataPaths& p)
{
    for (const char* store : kStores) {
        QDir live(p.dataDir + QLatin1String(store));
        for (const QString& name :
             live.entryList({QStringLiteral(".restauration-*")}, QDir::Files | QDir::Hidden | QDir::System))
            QFile::remove(live.filePath(name));
    }
}

// Moves the extracted entries to their staged places and carries over the
// files of the stores that a restore leaves alone. names gives, for each
// entry, the name it was extracted under (empty: left out).
Mark stage(const QStringList& names, int databaseEntry, const QString& work, const DataPaths& p)
{
    const QString staging = stagingDir(p);
    removeTree(staging);
    Mark m;
    m.token = QString::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, QLatin1Char('0'));
    for (const char* store : kStores) {
        if (!QDir().mkpath(staging + QLatin1String(store)))
            throw MaintenanceError(
                QStringLiteral("Impossible de créer le dossier « %1 ».").arg(staging + QLatin1String(store)));
        files::writeNewFile(staging + QLatin1String(store) + QLatin1Char('/') + tokenFile(m), QByteArray());
    }
    // Checked once, before the mark: FAT cannot swap two directories, and the
    // stores are then swapped file by file, their other files never moving.
    m.exchange = files::exchangeSupported(staging);
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        if (name.isEmpty())
            continue;
        const QString from = work + name;
        if (i == databaseEntry)
            files::moveFile(from, stagedDatabase(p));
        else if (hasSuffix(name, ".jpg"))
            files::moveFile(from, staging + QStringLiteral("Images/") + name);
        else
            files::moveFile(from, staging + QStringLiteral("Files/") + name);
    }
    for (const auto& [store, kept] : {std::pair{"Images", ".jpg"}, std::pair{"Files", ".f"}}) {
        if (!m.exchange)
            break;
        QDir live(p.dataDir + QLatin1String(store));
        for (const QString& name : live.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
            const QString to = staging + QLatin1String(store) + QLatin1Char('/') + name;
            if (!hasSuffix(name, kept) && !name.startsWith(QStringLiteral(".restauration-")) && !QFileInfo::exists(to))
                files::linkOrCopy(live.filePath(name), to);
        }
    }
    files::syncFileSystem(staging);
    files::syncFileSystem(stagedDatabase(p));
    return m;
}

// The name each entry is extracted under: the database by its exact name,
// pictures and attached files by theirs; every other entry is left out
// (empty). Refuses names that differ only in case, which one folder of a
// file system that ignores case cannot hold.
QStringList chooseEntries(const archive::CabinetReader& reader, const QString& databaseName, int* databaseEntry,
                          QString* refusal)
{
    QStringList names;
    QHash<QString, QString> seen;
    *databaseEntry = -1;
    for (int i = 0; i < reader.entries().size(); ++i) {
        const QString& name = reader.entries().at(i).name;
        const QString folded = name.toLower();
        if (seen.contains(folded) && refusal->isEmpty())
            *refusal = QStringLiteral("les noms « %1 » et « %2 » ne diffèrent que par les majuscules")
                           .arg(seen.value(folded), name);
        seen.insert(folded, name);
        if (name == databaseName) {
            *databaseEntry = i;
            names << name;
        } else if (hasSuffix(name, ".jpg") || hasSuffix(name, ".f")) {
            names << name;
        } else {
            names << QString();
        }
    }
    return names;
}

}  // namespace

int RestoreGaugeMaximum(const archive::Progress& at)
{
    return qMax(1, at.entries);
}

int RestoreGaugePosition(const archive::Progress& at)
{
    return at.total > 0 && at.done >= at.total ? at.entries + 1 : at.entry + 1;
}

void FinishBackgroundRemoval()
{
    waitForPendingRemoval();
}

QString CheckRestoredDatabase(const QString& path)
{
    db::InspectionOptions options;
    options.forWriting = false;
    options.allTables = true;
    // A file written by a later version of the program is never taken in.
    options.programVersion = core::globals().version;
    const db::DatabaseInspection i = db::InspectDatabaseFile(path, options);
    switch (i.state) {
    case db::DatabaseState::Usable: return {};
    case db::DatabaseState::Absent:
    case db::DatabaseState::NotWritable:
        return QStringLiteral("ne peut pas être ouverte : %1")
            .arg(i.detail.isEmpty() ? files::reasonOf(ENOENT) : i.detail);
    case db::DatabaseState::Empty: return QStringLiteral("est vide");
    case db::DatabaseState::Unreadable:
        return QStringLiteral("n'est pas une base de données lisible : %1").arg(i.detail);
    case db::DatabaseState::Damaged:
        return QStringLiteral("est endommagée : %1")
            .arg(QString(i.detail).replace(QLatin1Char('\r'), QStringLiteral(" ; ")));
    case db::DatabaseState::Foreign:
        return QStringLiteral("n'est pas une base de Quillmark Planning (tables absentes : %1)").arg(i.detail);
    case db::DatabaseState::Newer: return QStringLiteral("ne peut pas être utilisée : %1").arg(i.detail);
    }
    return {};
}

void UpdateRestoredDatabase(db::Connection& connection, core::ScriptFeedback* feedback)
{
    const core::Globals& g = core::globals();
    const QString column = db::VersionColumnOf(connection);
    const QString table = QString::fromLatin1(db::kVersionTable);
    const QString version = db::GetDbVersion(connection, table, column);
    db::CheckNotNewer(version, g.version);
    if (!db::IsOlderVersion(version, g.version))
        return;
    const QString directory = g.programDir + QStringLiteral("Maj/");
    if (QFileInfo(directory + g.updateScriptName).isFile())
        db::RunScript(connection, directory, g.updateScriptName, false, feedback);
    // The script may have renamed the version column.
    db::SetDbVersion(connection, table, db::VersionColumnOf(connection), g.version);
}

QString SafetyArchiveName(const QDateTime& when)
{
    return QStringLiteral("PLANNING_ACCESS_AVANT_RESTAURATION_") + when.toString(QStringLiteral("dd_MM_yyyy_hh_mm_ss"))
        + QStringLiteral(".bkp");
}

QString FinishInterruptedRestore(const DataPaths& paths)
{
    try {
        waitForPendingRemoval();
        QDir data(paths.dataDir);
        const QStringList finished =
            data.entryList({oldStagingPrefix() + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString& dir : finished)
            removeTree(data.filePath(dir));
        const QString staging = stagingDir(paths);
        // The stores are listed for token files only when a restore left
        // something behind: the tokens go before the staging does.
        const bool leftBehind = QFileInfo::exists(staging);
        if (QFileInfo::exists(commitMark(paths))) {
            Mark m;
            if (!readMark(commitMark(paths), &m))
                throw MaintenanceError(
                    QStringLiteral("La marque de restauration « %1 » est illisible.").arg(commitMark(paths)));
            rollForward(paths, m);
        }
        removeTree(staging);
        if (QFileInfo::exists(staging))
            throw MaintenanceError(QStringLiteral("Impossible de supprimer le dossier « %1 ».").arg(staging));
        QFile::remove(stagedDatabase(paths));
        if (leftBehind)
            removeTokenFiles(paths);
        QDir backup(paths.backupDir);
        for (const QString& dir : backup.entryList({QStringLiteral("restauration-*")}, QDir::Dirs | QDir::Hidden))
            removeTree(backup.filePath(dir));
    } catch (const MaintenanceError& e) {
        return e.message();
    }
    return {};
}

RestoreOutcome RestoreArchive(const QString& archivePath, const DataPaths& paths, const RestoreProgress& progress,
                              const RestoreOptions& options)
{
    const auto refuse = [&archivePath](const QString& reason) {
        return MaintenanceError(QStringLiteral("La sauvegarde « %1 » ne peut pas être restaurée : %2.\r"
                                               "Rien n'a été modifié.")
                                    .arg(archivePath, reason));
    };
    const auto tell = [&progress](const char* text) {
        if (progress.task)
            progress.task(QString::fromUtf8(text));
    };
    const QString unfinished = FinishInterruptedRestore(paths);
    if (!unfinished.isEmpty())
        throw MaintenanceError(unfinished);
    settleDatabase(paths.databasePath);
    QDir().mkpath(paths.backupDir);

    std::unique_ptr<archive::CabinetReader> reader;
    try {
        reader = std::make_unique<archive::CabinetReader>(archivePath);
    } catch (const archive::ArchiveError& e) {
        throw MaintenanceError(e.message() + QStringLiteral("\rRien n'a été modifié."));
    }
    const QString unsafe = reader->unsafeEntryReason();
    if (!unsafe.isEmpty())
        throw refuse(unsafe);
    const QString databaseName = QFileInfo(paths.databasePath).fileName();
    int databaseEntry = -1;
    QString caseClash;
    const QStringList names = chooseEntries(*reader, databaseName, &databaseEntry, &caseClash);
    if (!caseClash.isEmpty())
        throw refuse(caseClash);
    if (databaseEntry < 0)
        throw refuse(QStringLiteral("elle ne contient pas de base de données (%1)").arg(databaseName));
    RestoreOutcome outcome;
    outcome.leftOut = static_cast<int>(std::count(names.begin(), names.end(), QString()));

    QTemporaryDir work(paths.backupDir + QStringLiteral("restauration-XXXXXX"));
    if (!work.isValid())
        throw refuse(QStringLiteral("le dossier de travail ne peut pas être créé dans « %1 »").arg(paths.backupDir));
    const QString workDir = work.path() + QLatin1Char('/');
    // The database is checked on a second core as soon as it is whole (the
    // extraction has moved on to another entry and the file has its size),
    // while the pictures and files are still unpacked.
    const QString databaseFile = workDir + reader->entries().at(databaseEntry).name;
    const qint64 databaseSize = reader->entries().at(databaseEntry).size;
    std::future<QString> checked;
    bool databaseStarted = false;
    const archive::ProgressFn unpacking = [&](const archive::Progress& at) {
        if (at.entry == databaseEntry)
            databaseStarted = true;
        else if (databaseStarted && !checked.valid() && QFileInfo(databaseFile).size() == databaseSize)
            checked = std::async(std::launch::async, CheckRestoredDatabase, databaseFile);
        if (progress.unpacking)
            progress.unpacking(at);
    };
    try {
        reader->extract(workDir, names, unpacking);
    } catch (const archive::ArchiveError& e) {
        if (checked.valid())
            checked.wait();
        throw MaintenanceError(e.message() + QStringLiteral("\rRien n'a été modifié."));
    }
    // The extracted files go to disk while the check runs: it reads the page
    // cache, the flush waits on the disk.
    std::future<void> flushed = std::async(std::launch::async, [&workDir] { files::syncFileSystem(workDir); });
    const QString problem = checked.valid() ? checked.get() : CheckRestoredDatabase(databaseFile);
    // A failed flush shows again, and is reported, when the staged files are synced.
    flushed.wait();
    if (!problem.isEmpty())
        throw refuse(QStringLiteral("la base de données qu'elle contient %1").arg(problem));

    if (options.keepReplacedData) {
        tell("Sauvegarde des données remplacées");
        outcome.safetyArchive = uniqueSafetyPath(paths);
        try {
            WriteBackupArchive(BackupFileList(paths), paths, outcome.safetyArchive, progress.keeping);
        } catch (const archive::ArchiveError& e) {
            throw MaintenanceError(e.message() + QStringLiteral("\rLa restauration n'a pas été faite."));
        }
    }

    tell("Restauration de la base");
    Mark mark;
    try {
        mark = stage(names, databaseEntry, workDir, paths);
        // Whole or absent: a mark cut short by a crash is never taken for one.
        files::writeNewFile(commitMark(paths) + QStringLiteral(".part"), markText(mark));
        files::moveFile(commitMark(paths) + QStringLiteral(".part"), commitMark(paths));
        files::syncDirectory(stagingDir(paths));
    } catch (...) {
        removeTree(stagingDir(paths));
        QFile::remove(stagedDatabase(paths));
        if (!outcome.safetyArchive.isEmpty())
            QFile::remove(outcome.safetyArchive);
        throw;
    }
    // From the mark on, the restore is completed now or at the next start,
    // and nothing may open the data in between.
    try {
        rollForward(paths, mark);
        removeTokenFiles(paths);
        // Where directories move in one step; elsewhere (FAT) nothing with
        // content is renamed.
        if (mark.exchange)
            removeInBackground(paths, stagingDir(paths).chopped(1));
        else
            removeTree(stagingDir(paths));
    } catch (const std::exception& e) {
        const auto* known = dynamic_cast<const MaintenanceError*>(&e);
        throw RestorePendingError(
            QStringLiteral("La restauration n'a pas pu être achevée : %1\r\rElle sera achevée au prochain démarrage du "
                           "logiciel. Le logiciel va s'arrêter maintenant, sans rouvrir les données.")
                .arg(known ? known->message() : QString::fromLocal8Bit(e.what())));
    }
    return outcome;
}

}  // namespace maintenance
