#pragma once

#include "db/ScriptLine.h"

namespace db {

class Connection;

// The data conversions an update script can run. Each catches its own
// failure, writes its entries to the update log and returns; the script goes
// on. Each runs in one transaction that is committed also after a failure, so
// the rows changed before it stay changed while a crash changes nothing and
// the command runs whole on the next start. Files are read from the program
// directory's "Stat/" and "Query/" and written under the data directory's
// "Images/".

// {TEXT}: STAT_TREE and STAT_QUERY from "Stat/StatTree.def".
void ConvertStatScript(Connection& c, const ScriptLine& line);
// SQL_TREE and SQL_QUERY from "Query/QueryTree.def".
void ConvertQueryScript(Connection& c, const ScriptLine& line);
// ('OLD','NEW'): OLD replaced by NEW (case-sensitive) in every saved query.
void ReplaceStringInStatScript(Connection& c, const ScriptLine& line);
void ReplaceStringInQueryScript(Connection& c, const ScriptLine& line);
// ('TABLE','FIELD','PREFIX'): each bitmap of the column written as
// Images/PREFIX<Id>.jpg unless that file exists; the column emptied unless
// the line asks for the Copy form.
void ExtractImageToJpeg(Connection& c, const ScriptLine& line);
// ('TABLE','FIELD','PREFIX'): each picture written unchanged into
// Images/PREFIX<Id>.jpg; the column emptied.
void ExtractJpegImage(Connection& c, const ScriptLine& line);
// ('TABLE','FIELD','WIDTH','HEIGHT'): each bitmap shrunk to fit the box, or
// centred on a white box of that size in the white-box form.
void ResizeBitmapInDataBase(Connection& c, const ScriptLine& line);
// ('TABLE','FIELD'): each bitmap replaced by JPEG data at quality 100.
void ConvertBitmapToJpegInDataBase(Connection& c, const ScriptLine& line);

// The largest box side ResizeBitmapInDataBase accepts.
inline constexpr int kMaxBoxSide = 10000;

}  // namespace db
