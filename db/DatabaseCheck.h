#pragma once

#include <QString>

namespace db {

// Checks the database file before the program opens it: present and not
// empty, the file and its directory (where SQLite keeps its journal)
// writable, a sound SQLite file (PRAGMA quick_check) holding the program's
// main tables. Answers an empty text when the file can be used, otherwise a
// French explanation followed by the underlying message. Only reads: the
// file is never changed, except that SQLite rolls back, as on every open, a
// transaction that a crash left unfinished.
QString CheckDatabaseFile(const QString& path);

}  // namespace db
