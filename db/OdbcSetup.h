#pragma once

#include <QString>

namespace db {

// Registers a user data source for the driver with Database= the file
// (unixODBC's odbc.ini of the user). Answers false when the ODBC installer
// refused; the caller ignores it, a failure shows when the database opens.
bool RegisterOdbcDataSource(const QString& name, const QString& driver, const QString& databaseFile);

}  // namespace db
