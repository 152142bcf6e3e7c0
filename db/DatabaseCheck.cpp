#include "db/DatabaseCheck.h"

#include "db/DbError.h"
#include "db/DbVersion.h"
#include "db/Schema.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace db {

namespace {

// Tables every version of the database has; the update scripts add the others.
const char* const kMainTables[] = {"PROFILES", "PEOPLE", "PROJECT", "PLANNING"};

struct Handle {
    sqlite3* db = nullptr;
    ~Handle() { sqlite3_close_v2(db); }
};

QString errorOf(sqlite3* db, int rc)
{
    const char* m = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return QString::fromUtf8(m ? m : "SQLite");
}

// One column of text rows of a statement; false with the message on failure.
bool rowsOf(sqlite3* db, const char* sql, QStringList* rows, QString* error)
{
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (rc != SQLITE_OK) {
        *error = errorOf(db, rc);
        return false;
    }
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        rows->append(QString::fromUtf8(text ? text : ""));
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
        *error = errorOf(db, rc);
        return false;
    }
    return true;
}

QStringList requiredTables(bool all)
{
    QStringList tables;
    if (!all) {
        for (const char* t : kMainTables)
            tables << QString::fromLatin1(t);
        return tables;
    }
    static const QRegularExpression create(QStringLiteral("CREATE TABLE\\s+(\\w+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    auto it = create.globalMatch(SchemaSql());
    while (it.hasNext())
        tables << it.next().captured(1).toUpper();
    return tables;
}

DatabaseInspection make(DatabaseState state, const QString& detail = {})
{
    DatabaseInspection i;
    i.state = state;
    i.detail = detail;
    return i;
}

}  // namespace

DatabaseInspection InspectDatabaseFile(const QString& path, const InspectionOptions& options)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return make(DatabaseState::Absent);
    if (info.size() == 0)
        return make(DatabaseState::Empty);
    const QByteArray file = QFile::encodeName(path);
    if (options.forWriting) {
        if (::access(file.constData(), R_OK | W_OK) != 0)
            return make(DatabaseState::NotWritable, QString::fromLocal8Bit(std::strerror(errno)));
        if (::access(QFile::encodeName(info.absolutePath()).constData(), W_OK | X_OK) != 0)
            return make(DatabaseState::NotWritable,
                        info.absolutePath() + QStringLiteral(" : ") + QString::fromLocal8Bit(std::strerror(errno)));
    }

    Handle h;
    const int rc = sqlite3_open_v2(file.constData(), &h.db,
                                   options.forWriting ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK)
        return make(DatabaseState::Unreadable, errorOf(h.db, rc));
    sqlite3_busy_timeout(h.db, 5000);
    // Read through a memory map: the check reads the whole file once.
    sqlite3_exec(h.db, "PRAGMA mmap_size=4294967296", nullptr, nullptr, nullptr);
    QStringList problems;
    QString error;
    // quick_check reads every page and record but leaves out the comparison
    // of each index with its table, which on a large planning takes many
    // times longer than unpacking an archive of it.
    if (!rowsOf(h.db, "PRAGMA quick_check", &problems, &error))
        return make(DatabaseState::Unreadable, error);
    if (problems != QStringList{QStringLiteral("ok")})
        return make(DatabaseState::Damaged, problems.mid(0, 3).join(QLatin1Char('\r')));
    if (options.forWriting && sqlite3_db_readonly(h.db, "main") == 1)
        return make(DatabaseState::NotWritable, QStringLiteral("lecture seule"));

    QStringList present;
    if (!rowsOf(h.db, "SELECT upper(name) FROM sqlite_master WHERE type='table'", &present, &error))
        return make(DatabaseState::Unreadable, error);
    QStringList missing;
    for (const QString& table : requiredTables(options.allTables)) {
        if (!present.contains(table))
            missing << table;
    }
    if (!missing.isEmpty())
        return make(DatabaseState::Foreign, missing.join(QStringLiteral(", ")));

    DatabaseInspection result;
    if (options.programVersion.isEmpty())
        return result;
    QStringList version;
    const char* const filter = " FROM OBJECT_VAL_STR WHERE ID_CLASS=-99 AND ID_ATTRIBUTE=-99 AND USERID=-99";
    if (!rowsOf(h.db, QByteArray(QByteArray("SELECT VALUE") + filter).constData(), &version, &error))
        rowsOf(h.db, QByteArray(QByteArray("SELECT VAL") + filter).constData(), &version, &error);
    result.version = version.isEmpty() ? QStringLiteral("0") : version.first();
    try {
        CheckNotNewer(result.version, options.programVersion);
    } catch (const DbError& e) {
        result.state = DatabaseState::Newer;
        result.detail = e.message();
        return result;
    }
    result.older = IsOlderVersion(result.version, options.programVersion);
    return result;
}

QString CheckDatabaseFile(const QString& path)
{
    const DatabaseInspection i = InspectDatabaseFile(path);
    const auto damaged = [&path](const QString& detail) {
        return QStringLiteral("Le fichier de base de données \"%1\" est endommagé ou n'est pas une base de données "
                              "du logiciel : il ne peut pas être ouvert.\r\r(%2)")
            .arg(path, detail);
    };
    switch (i.state) {
    case DatabaseState::Usable:
    case DatabaseState::Newer: return {};
    case DatabaseState::Absent:
        return QStringLiteral("Le fichier de base de données \"%1\" est introuvable.").arg(path);
    case DatabaseState::Empty:
        return QStringLiteral("Le fichier de base de données \"%1\" est vide : il ne contient aucune donnée du "
                              "logiciel.")
            .arg(path);
    case DatabaseState::NotWritable:
        return QStringLiteral("Le fichier de base de données \"%1\" ne peut pas être modifié : le logiciel doit "
                              "pouvoir écrire dans ce fichier et dans son répertoire.\r\r(%2)")
            .arg(path, i.detail);
    case DatabaseState::Unreadable:
    case DatabaseState::Damaged: return damaged(i.detail);
    case DatabaseState::Foreign:
        return QStringLiteral("Le fichier de base de données \"%1\" n'est pas une base de données du logiciel : il "
                              "y manque les tables %2.")
            .arg(path, i.detail);
    }
    return {};
}

}  // namespace db
