#include "db/Schema.h"

#include "db/DbError.h"
#include "db/SchemaText.h"

#include <QFile>

#include <sqlite3.h>

#include <cstdio>

namespace db {

QString SchemaSql()
{
    return QString::fromUtf8(generated::kSchemaSql);
}

void CreateDatabaseFile(const QString& path, const QString& version)
{
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    sqlite3* h = nullptr;
    auto failWith = [&](const QString& message) {
        if (h)
            sqlite3_close_v2(h);
        QFile::remove(part);
        throw DbError(message);
    };
    if (sqlite3_open_v2(QFile::encodeName(part).constData(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK)
        failWith(QString::fromUtf8(sqlite3_errmsg(h)));
    const QByteArray script =
        QByteArrayLiteral("PRAGMA journal_mode=DELETE; BEGIN;\n") + SchemaSql().toUtf8()
        + QByteArrayLiteral(
            "\nINSERT INTO OBJECT_VAL_STR (ID_CLASS, ID_ATTRIBUTE, USERID, Value) VALUES (-99, -99, -99, '")
        + version.toUtf8().replace("'", "''") + QByteArrayLiteral("');\nCOMMIT;");
    char* err = nullptr;
    if (sqlite3_exec(h, script.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString m = QString::fromUtf8(err ? err : "erreur SQLite");
        sqlite3_free(err);
        failWith(m);
    }
    sqlite3_close_v2(h);
    h = nullptr;
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) != 0)
        failWith(QStringLiteral("Impossible de créer \"%1\".").arg(path));
}

}  // namespace db
