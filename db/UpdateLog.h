#pragma once

#include <QString>

namespace db {

// Appends one entry to data root + "Maj.Log": "dd/mm/yyyy-hh:mm:ss : message",
// CR LF, Windows-1252; an empty message appends an empty line without date.
// A log that cannot be written never stops an update.
void AppendLog(const QString& message);

// Full path of the log.
QString UpdateLogPath();

}  // namespace db
