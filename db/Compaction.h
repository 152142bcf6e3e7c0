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

// Compacts the database file through its temporary name. The caller closes the
// main connection before and reopens it after. A write that a crash cut
// short (a hot journal beside the file) is rolled back first. Refuses
// (DbError) when a file of the temporary name is left from an interrupted
// run, or when the cut write cannot be rolled back; when the compaction
// fails the original file is back under its name.
void CompactInPlace(const QString& databasePath);

}  // namespace db
