#pragma once

#include <QString>
#include <QStringList>

namespace db {

// What a database file is to the program. Every place that decides whether
// a file may be opened, taken in by a restore or updated asks here.
enum class DatabaseState {
    Usable,       // sound, the program's, of this version or older
    Absent,       // no such file
    Empty,        // a file of no bytes
    NotWritable,  // the file or its directory (where SQLite keeps its journal) cannot be written
    Unreadable,   // not an SQLite file, or one that cannot be read
    Damaged,      // quick_check found faults
    Foreign,      // sound, but not holding the program's tables
    Newer,        // written by a later program, or carrying a version text of no known form
};

struct DatabaseInspection {
    DatabaseState state = DatabaseState::Usable;
    QString detail;      // the underlying message, the faults or the missing tables
    QString version;     // the version row's text, "0" without it (read only when asked)
    bool older = false;  // usable, but to be brought up to the program's version
};

struct InspectionOptions {
    // The program is to write the file: it must be writable, and is opened
    // read-write, so that SQLite rolls back a transaction a crash left.
    // Otherwise it is only read, never changed.
    bool forWriting = true;
    // Every table of the schema rather than the four every version has.
    bool allTables = false;
    // When set, the version row is read and compared with it.
    QString programVersion;
};

// Looks at the database file at path; never changes it (but for SQLite's own
// rollback when opened for writing).
DatabaseInspection InspectDatabaseFile(const QString& path, const InspectionOptions& options = {});

// The start-up check: an empty text when the file can be used, otherwise a
// French explanation followed by the underlying message.
QString CheckDatabaseFile(const QString& path);

}  // namespace db
