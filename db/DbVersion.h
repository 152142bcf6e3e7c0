#pragma once

#include <QString>

namespace db {

class Connection;

// The table and columns of the database version row (the three identifiers
// all -99). Databases older than the object store's current form name the
// value column VAL.
inline constexpr const char* kVersionTable = "OBJECT_VAL_STR";
inline constexpr const char* kVersionColumn = "VALUE";
inline constexpr const char* kOldVersionColumn = "VAL";

// "1.34" gives 134, "1.4" 14, "2" 2; text that is not an integer once its
// first "." is removed gives 0 ("1.3.4", "", "abc").
int VersionNumber(const QString& version);

// Orders two version texts as numbers, major then minor ("1.4" < "1.34" <
// "1.340" < "2.0"): negative, zero or positive. Only "M" and "M.m" with
// decimal digits are versions; see IsVersionText.
int CompareVersions(const QString& a, const QString& b);
bool IsVersionText(const QString& version);
// True when a database of this version must be brought up to the program's.
// A text that is not a version is never older: it is refused like a newer one.
bool IsOlderVersion(const QString& databaseVersion, const QString& programVersion);

// The version text of the database as stored, "0" when the row is missing or
// anything fails.
QString GetDbVersion(Connection& connection, const QString& table, const QString& column);

// Writes the version into the first version row, inserting one when none
// exists. Throws DbError.
void SetDbVersion(Connection& connection, const QString& table, const QString& column, const QString& version);

// "VAL" when the version table has a column of that name, "VALUE" otherwise
// (also when the table cannot be read).
QString VersionColumnOf(Connection& connection);

// Throws DbError with a French message when a database of this version was
// written by a later program than programVersion, or carries a version text
// of no known form; such a file is never updated nor stamped by this one.
void CheckNotNewer(const QString& databaseVersion, const QString& programVersion);

}  // namespace db
