#pragma once

#include <QString>

class QSqlDatabase;
struct sqlite3;

// Shared by the data set, its fields and the streamed reader; not for use
// outside the data layer.
namespace db::detail {

[[noreturn]] void fail(const QString& text);

// The SQLite handle behind a QSQLITE connection, for reading large results
// without the per-value overhead of QSqlQuery; nullptr for other drivers.
sqlite3* sqliteHandle(const QSqlDatabase& db);

}  // namespace db::detail
