#include "db/DatabaseCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace db {

namespace {

// Tables every version of the database has; the update scripts add the others.
const char* const kMainTables[] = {"PROFILES", "PEOPLE", "PROJECT", "PLANNING"};

QString damaged(const QString& path, const QString& detail)
{
    return QStringLiteral("Le fichier de base de données \"%1\" est endommagé ou n'est pas une base de données du "
                          "logiciel : il ne peut pas être ouvert.\r\r(%2)")
        .arg(path, detail);
}

QString readOnly(const QString& path, const QString& detail)
{
    return QStringLiteral("Le fichier de base de données \"%1\" ne peut pas être modifié : le logiciel doit pouvoir "
                          "écrire dans ce fichier et dans son répertoire.\r\r(%2)")
        .arg(path, detail);
}

struct Handle {
    sqlite3* db = nullptr;
    ~Handle() { sqlite3_close_v2(db); }
};

QString errorOf(sqlite3* db, int rc)
{
    const char* m = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return QString::fromUtf8(m ? m : "SQLite");
}

}  // namespace

QString CheckDatabaseFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("Le fichier de base de données \"%1\" est introuvable.").arg(path);
    if (info.size() == 0)
        return QStringLiteral("Le fichier de base de données \"%1\" est vide : il ne contient aucune donnée du "
                              "logiciel.")
            .arg(path);
    const QByteArray file = QFile::encodeName(path);
    if (::access(file.constData(), R_OK | W_OK) != 0)
        return readOnly(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (::access(QFile::encodeName(info.absolutePath()).constData(), W_OK | X_OK) != 0)
        return readOnly(path,
                        info.absolutePath() + QStringLiteral(" : ") + QString::fromLocal8Bit(std::strerror(errno)));

    Handle h;
    int rc = sqlite3_open_v2(file.constData(), &h.db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK)
        return damaged(path, errorOf(h.db, rc));
    sqlite3_busy_timeout(h.db, 5000);
    sqlite3_stmt* st = nullptr;
    rc = sqlite3_prepare_v2(h.db, "PRAGMA quick_check", -1, &st, nullptr);
    if (rc != SQLITE_OK)
        return damaged(path, errorOf(h.db, rc));
    QStringList problems;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        problems.append(QString::fromUtf8(text ? text : ""));
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        return damaged(path, errorOf(h.db, rc));
    if (problems != QStringList{QStringLiteral("ok")})
        return damaged(path, problems.mid(0, 3).join(QLatin1Char('\r')));
    if (sqlite3_db_readonly(h.db, "main") == 1)
        return readOnly(path, QStringLiteral("lecture seule"));

    QStringList missing;
    for (const char* table : kMainTables) {
        rc = sqlite3_prepare_v2(h.db, "SELECT 1 FROM sqlite_master WHERE type='table' AND upper(name)=?1", -1, &st,
                                nullptr);
        if (rc != SQLITE_OK)
            return damaged(path, errorOf(h.db, rc));
        sqlite3_bind_text(st, 1, table, -1, SQLITE_STATIC);
        rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc == SQLITE_DONE)
            missing.append(QString::fromLatin1(table));
        else if (rc != SQLITE_ROW)
            return damaged(path, errorOf(h.db, rc));
    }
    if (!missing.isEmpty())
        return QStringLiteral("Le fichier de base de données \"%1\" n'est pas une base de données du logiciel : il "
                              "y manque les tables %2.")
            .arg(path, missing.join(QStringLiteral(", ")));
    return {};
}

}  // namespace db
