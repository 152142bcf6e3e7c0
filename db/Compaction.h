#pragma once

#include <QString>

namespace db {

// The path with "~" before the first "." of its file name (PLANNING.MDB gives
// PLANNING~.MDB); a "." in a directory name is never the insertion point.
QString TemporaryDatabaseName(const QString& path);

// Writes a compacted copy of the database at source into target. The copy is
// made under a temporary name beside the target, flushed to disk and checked
// before it replaces the target, so the target is the old file or the whole
// new one. Throws DbError; a failed copy is removed.
void CompactDatabaseFile(const QString& source, const QString& target);

// Compacts the database file in place: the compacted copy is written beside
// it, flushed and checked, and then replaces it by one rename, so the live
// file is never moved away (a file system without hard links is as safe as
// any). The caller closes the main connection before and reopens it after. A
// write that a crash cut short (a hot journal beside the file) is rolled back
// first, and what an interrupted compaction left is resolved first
// (ResolveCompactionLeftovers). Throws DbError; the file is then unchanged.
void CompactInPlace(const QString& databasePath);

// Puts right what an interrupted compaction of the database at databasePath
// left beside it: a partial copy is removed; a copy under the temporary name
// is removed when it is the live file itself or no database, kept under a
// dated name when it is one; when the live file is missing, a complete copy
// is put back under its name. Throws DbError, naming the files and touching
// none of them, when the live file is missing and no sound copy exists, so
// that nothing installs an empty database in their place.
void ResolveCompactionLeftovers(const QString& databasePath);

}  // namespace db
