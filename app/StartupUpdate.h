#pragma once

namespace core {
class ScriptFeedback;
}

namespace db {
class Connection;
}

namespace app {

// The database version step of the start-up, over the main connection: a
// developer's database is stamped current; an older one gets the update
// script copied from the installation; every "*.maj" of the data root runs
// (and deletes itself); the version is then set; last the database beside
// the program is brought up to date. A database written by a later version is
// refused untouched. Throws DbError with the message that ends the start-up
// (the scripts then stay to run again).
void RunStartupUpdate(db::Connection& mainConnection, core::ScriptFeedback* feedback);

// The database program directory + "Data/" + the OLE DB file name, where older
// installations kept their data, through a connection of its own.
void UpdateDatabaseBesideProgram(core::ScriptFeedback* feedback);

}  // namespace app
