#pragma once

#include <QDateTime>
#include <QString>

namespace core {
class ScriptFeedback;
}

namespace db {

class Connection;

// The log line of a test whose update is already done.
inline constexpr const char* kAlreadyDone = "*** Mise à jour déjà effectuée ***";
inline constexpr const char* kUpdateFinished = "********************* MISE A JOUR TERMINE *********************";

// Runs the update script directory + fileName over the connection, line by
// line, writing its log (Maj.Log in the data root). feedback shows the
// progress window, the status texts and the safety-copy question; nullptr
// shows nothing. With askAndDelete the user is offered a compacted safety
// copy under Backup/Maj/ first and the script is deleted after its run.
//
// Changing commands catch and log their own failures; their number is
// answered and, when any failed, told through feedback. A script that cannot
// be read or is no Windows-1252 text, a failing test (also one naming no
// plain table or column), or a failing safety copy throws DbError with the
// message; the script then stays in place to run again. The end of the file
// ends the script and any block still open.
int RunScript(Connection& connection, const QString& directory, const QString& fileName, bool askAndDelete,
              core::ScriptFeedback* feedback);

// Path of the safety copy made at dateTime for the database file:
// data root + "Backup/Maj/" + NAME + "_ACCESS_BACKUP_MAJ_ddMMyyyyhhmmss.bkp".
QString SafetyCopyPath(const QString& databaseFile, const QDateTime& dateTime);

}  // namespace db
