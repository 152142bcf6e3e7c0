#include "db/Compaction.h"

#include "db/DatabaseCheck.h"
#include "db/DbError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace db {

namespace {

QString sqliteMessage(sqlite3* db, int rc)
{
    const char* m = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return QString::fromUtf8(m ? m : "erreur SQLite");
}

struct SqliteHandle {
    sqlite3* db = nullptr;
    ~SqliteHandle()
    {
        if (db)
            sqlite3_close_v2(db);
    }
};

void openSqlite(SqliteHandle& h, const QString& path, int flags)
{
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &h.db, flags, nullptr);
    if (rc != SQLITE_OK)
        throw DbError(sqliteMessage(h.db, rc));
    sqlite3_busy_timeout(h.db, 5000);
}

void fsyncPath(const QString& path, bool directory)
{
    const int fd = ::open(QFile::encodeName(path).constData(), directory ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

QString integrityOf(const QString& path)
{
    SqliteHandle h;
    openSqlite(h, path, SQLITE_OPEN_READONLY);
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(h.db, "PRAGMA integrity_check", -1, &st, nullptr);
    if (rc != SQLITE_OK)
        return sqliteMessage(h.db, rc);
    QString result;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        if (!result.isEmpty())
            result += QLatin1Char('\n');
        result += QString::fromUtf8(text ? text : "");
    }
    if (rc != SQLITE_DONE)
        result = sqliteMessage(h.db, rc);
    sqlite3_finalize(st);
    return result;
}

// A write cut short leaves path + "-journal" beside the file, and SQLite
// rolls it back only when the file is opened under that same name. Reading
// the file through its own name first does that, so that no half-written
// transaction is copied and no stale journal is later replayed onto the
// rewritten file.
void rollBackUnfinishedWrite(const QString& path)
{
    if (!QFileInfo::exists(path + QStringLiteral("-journal")))
        return;
    SqliteHandle h;
    openSqlite(h, path, SQLITE_OPEN_READWRITE);
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(h.db, "SELECT count(*) FROM sqlite_master", -1, &st, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(st);
    sqlite3_finalize(st);
    if (rc != SQLITE_ROW)
        throw DbError(QStringLiteral("La base \"%1\" garde une modification interrompue qui n'a pas pu être annulée : "
                                     "elle n'a pas été compactée.\r(%2)")
                          .arg(path, sqliteMessage(h.db, rc)));
}

bool sameFile(const QString& a, const QString& b)
{
    struct stat x {
    }, y{};
    return ::stat(QFile::encodeName(a).constData(), &x) == 0 && ::stat(QFile::encodeName(b).constData(), &y) == 0
        && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

// A whole database of the program (an empty file, as a failed VACUUM INTO
// leaves, is none).
bool isSoundDatabase(const QString& path)
{
    return CheckDatabaseFile(path).isEmpty();
}

void removeOrThrow(const QString& path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        throw DbError(QStringLiteral("Impossible de supprimer \"%1\", laissé par un compactage interrompu : %2")
                          .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
}

void renameOrThrow(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw DbError(QStringLiteral("Impossible de renommer \"%1\" en \"%2\" : %3")
                          .arg(from, to, QString::fromLocal8Bit(std::strerror(errno))));
}

}  // namespace

QString TemporaryDatabaseName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.indexOf(QLatin1Char('.'), slash + 1);
    if (dot < 0)
        return path + QLatin1Char('~');
    return path.left(dot) + QLatin1Char('~') + path.mid(dot);
}

void CompactDatabaseFile(const QString& source, const QString& target)
{
    if (!QFileInfo(source).isFile())
        throw DbError(QStringLiteral("Le fichier de base de données \"%1\" est introuvable.").arg(source));
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    try {
        {
            SqliteHandle h;
            openSqlite(h, source, SQLITE_OPEN_READWRITE);
            sqlite3_stmt* st = nullptr;
            int rc = sqlite3_prepare_v2(h.db, "VACUUM INTO ?1", -1, &st, nullptr);
            if (rc != SQLITE_OK)
                throw DbError(sqliteMessage(h.db, rc));
            const QByteArray name = part.toUtf8();
            sqlite3_bind_text(st, 1, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
            rc = sqlite3_step(st);
            sqlite3_finalize(st);
            if (rc != SQLITE_DONE)
                throw DbError(sqliteMessage(h.db, rc));
        }
        // VACUUM INTO does not flush the copy; it is checked before use.
        fsyncPath(part, false);
        const QString check = integrityOf(part);
        if (check != QStringLiteral("ok"))
            throw DbError(QStringLiteral("La copie compactée de la base est endommagée : %1").arg(check));
        if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) != 0)
            throw DbError(QStringLiteral("Impossible de remplacer \"%1\" : %2")
                              .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
        fsyncPath(QFileInfo(target).absolutePath(), true);
    } catch (...) {
        QFile::remove(part);
        throw;
    }
}

void CompactInPlace(const QString& databasePath)
{
    ResolveCompactionLeftovers(databasePath);
    rollBackUnfinishedWrite(databasePath);
    CompactDatabaseFile(databasePath, databasePath);
}

void ResolveCompactionLeftovers(const QString& databasePath)
{
    const QString temporary = TemporaryDatabaseName(databasePath);
    const QString directory = QFileInfo(databasePath).absolutePath();
    const QStringList copies{temporary, databasePath + QStringLiteral(".part"), temporary + QStringLiteral(".part")};
    const auto present = [](const QString& path) { return QFileInfo(path).isFile(); };
    if (std::none_of(copies.begin(), copies.end(), present))
        return;
    if (present(databasePath)) {
        // The live file is whole: partial copies go; a copy under the temporary
        // name goes when it is the live file's own link or no database, and is
        // kept aside otherwise, since it may hold data the live file lacks.
        if (present(temporary)) {
            if (sameFile(temporary, databasePath) || !isSoundDatabase(temporary)) {
                removeOrThrow(temporary);
            } else {
                const QString kept = directory + QLatin1Char('/') + QFileInfo(databasePath).completeBaseName()
                    + QStringLiteral("_COMPACTAGE_INTERROMPU_")
                    + QDateTime::currentDateTime().toString(QStringLiteral("dd_MM_yyyy_hh_mm_ss")) + QLatin1Char('.')
                    + QFileInfo(databasePath).suffix();
                renameOrThrow(temporary, kept);
            }
        }
        for (qsizetype i = 1; i < copies.size(); ++i) {
            if (present(copies.at(i)))
                removeOrThrow(copies.at(i));
        }
        fsyncPath(directory, true);
        return;
    }
    // The live file is missing: a crash during an older compaction that had
    // moved it to its temporary name. The first sound copy takes its place.
    for (const QString& copy : copies) {
        if (present(copy) && isSoundDatabase(copy)) {
            renameOrThrow(copy, databasePath);
            for (const QString& other : copies) {
                if (other != copy && present(other) && !isSoundDatabase(other))
                    QFile::remove(other);
            }
            fsyncPath(directory, true);
            return;
        }
    }
    QStringList left;
    for (const QString& copy : copies) {
        if (present(copy))
            left << QStringLiteral("« %1 »").arg(copy);
    }
    throw DbError(QStringLiteral("La base de données « %1 » est introuvable et les fichiers laissés par un compactage "
                                 "interrompu (%2) ne peuvent pas la remplacer : ils sont endommagés.\r"
                                 "Aucun de ces fichiers n'a été modifié : ne les supprimez pas, ils peuvent encore "
                                 "servir à récupérer les données.")
                      .arg(databasePath, left.join(QStringLiteral(", "))));
}

}  // namespace db
