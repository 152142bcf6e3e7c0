#pragma once

#include <QString>

namespace db {

// The database version written into a new database.
inline constexpr const char* kDatabaseVersion = "1.34";

// Creates a new database file with every table, the TEMP row and the version
// row; an existing file is replaced only when the whole new one is written.
// Throws DbError.
void CreateDatabaseFile(const QString& path, const QString& version = QString::fromLatin1(kDatabaseVersion));

// The schema's SQL text.
QString SchemaSql();

}  // namespace db
