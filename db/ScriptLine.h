#pragma once

#include <QString>
#include <QStringList>

namespace db {

// What one line of an update script asks for. Names are found anywhere in
// the line, case-sensitively, in this order, the first found deciding.
enum class ScriptCommand {
    None,  // blank lines, END lines in normal flow, free text
    Comment,
    NotFieldType,
    NotFieldExists,
    FieldExists,
    NotTableExists,
    TableExists,
    TableEmpty,
    ConvertStatScript,
    ReplaceStringInStatScript,
    ConvertQueryScript,
    ReplaceStringInQueryScript,
    ExtractImageToJpeg,
    ExtractJpegImage,
    ResizeBitmapInDataBase,
    ConvertBitmapToJpegInDataBase,
    CompactDataBase,
    SqlExe,
};

// A statement of SqlExe is cut to this many characters.
inline constexpr int kMaxStatementLength = 255;

struct ScriptLine {
    ScriptCommand command = ScriptCommand::None;
    // Cut out by the first occurrences of the delimiters in the whole line,
    // untrimmed; a delimiter that is missing, or that comes before the one it
    // closes, gives an empty argument.
    QString table;            // tests; CompactDataBase: the file name
    QString field;            // field tests
    QString type;             // NotFieldType
    QString text;             // comment text, SqlExe statement, ConvertStatScript braces
    QStringList args;         // quoted-list arguments of the conversions
    bool keepColumn = false;  // ExtractImageToJpegCopy
    bool whiteBox = false;    // ResizeBitmapDataBaseInWhiteRect
};

ScriptLine ParseScriptLine(const QString& line);

bool IsTest(ScriptCommand c);
bool IsConversion(ScriptCommand c);

// A line whose first three characters, in upper case, are "END".
bool IsEndLine(const QString& line);

// The text between the first open and the first close character of the
// whole line; empty when either is missing or the close comes first.
QString TextBetween(const QString& line, QChar open, QChar close);

// "('A','B')": the arguments between the first "(" and the first ")", split
// at single commas, each without its first and last character.
QStringList QuotedArguments(const QString& line);

// The script's lines: Windows-1252, split on CR, LF or CR LF.
QStringList ScriptLines(const QByteArray& bytes);

}  // namespace db
