#pragma once

#include "db/ScriptLine.h"

namespace db {

class Connection;

// The data conversions an update script can run. Each catches its own
// failure, writes its entries to the update log and answers whether it
// succeeded; the script goes on. Each runs in one transaction, rolled back
// after a failure, so a failed or crashed command changes no row and runs
// whole on the next start. Files are read from the program
// directory's "Stat/" and "Query/" and written under the data directory's
// "Images/".

// {TEXT}: STAT_TREE and STAT_QUERY from "Stat/StatTree.def".
bool ConvertStatScript(Connection& c, const ScriptLine& line);
// SQL_TREE and SQL_QUERY from "Query/QueryTree.def".
bool ConvertQueryScript(Connection& c, const ScriptLine& line);
// ('OLD','NEW'): OLD replaced by NEW (case-sensitive) in every saved query.
bool ReplaceStringInStatScript(Connection& c, const ScriptLine& line);
bool ReplaceStringInQueryScript(Connection& c, const ScriptLine& line);
// ('TABLE','FIELD','PREFIX'): each bitmap of the column written as
// Images/PREFIX<Id>.jpg unless that file exists; the column emptied unless
// the line asks for the Copy form.
bool ExtractImageToJpeg(Connection& c, const ScriptLine& line);
// ('TABLE','FIELD','PREFIX'): each picture written unchanged into
// Images/PREFIX<Id>.jpg; the column emptied.
bool ExtractJpegImage(Connection& c, const ScriptLine& line);
// ('TABLE','FIELD','WIDTH','HEIGHT'): each bitmap shrunk to fit the box, or
// centred on a white box of that size in the white-box form.
bool ResizeBitmapInDataBase(Connection& c, const ScriptLine& line);
// ('TABLE','FIELD'): each bitmap replaced by JPEG data at quality 100.
bool ConvertBitmapToJpegInDataBase(Connection& c, const ScriptLine& line);

// The largest box side ResizeBitmapInDataBase accepts.
inline constexpr int kMaxBoxSide = 10000;

}  // namespace db
