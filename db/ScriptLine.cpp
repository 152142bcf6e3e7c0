#include "db/ScriptLine.h"

#include "core/TextFile.h"

#include <array>
#include <utility>

namespace db {

namespace {

// Longer names before the shorter ones they contain.
constexpr std::array<std::pair<const char*, ScriptCommand>, 16> kCommands{{
    {"NotFieldType", ScriptCommand::NotFieldType},
    {"NotFieldExists", ScriptCommand::NotFieldExists},
    {"FieldExists", ScriptCommand::FieldExists},
    {"NotTableExists", ScriptCommand::NotTableExists},
    {"TableExists", ScriptCommand::TableExists},
    {"TableEmpty", ScriptCommand::TableEmpty},
    {"ConvertStatScript", ScriptCommand::ConvertStatScript},
    {"ReplaceStringInStatScript", ScriptCommand::ReplaceStringInStatScript},
    {"ConvertQueryScript", ScriptCommand::ConvertQueryScript},
    {"ReplaceStringInQueryScript", ScriptCommand::ReplaceStringInQueryScript},
    {"ExtractImageToJpeg", ScriptCommand::ExtractImageToJpeg},
    {"ExtractJpegImage", ScriptCommand::ExtractJpegImage},
    {"ResizeBitmapInDataBase", ScriptCommand::ResizeBitmapInDataBase},
    {"ConvertBitmapToJpegInDataBase", ScriptCommand::ConvertBitmapToJpegInDataBase},
    {"CompactDataBase", ScriptCommand::CompactDataBase},
    {"SqlExe", ScriptCommand::SqlExe},
}};

}  // namespace

QString TextBetween(const QString& line, QChar open, QChar close)
{
    const qsizetype a = line.indexOf(open);
    const qsizetype b = line.indexOf(close);
    if (a < 0 || b < 0 || b <= a)
        return {};
    return line.mid(a + 1, b - a - 1);
}

QStringList QuotedArguments(const QString& line)
{
    const QString inner = TextBetween(line, QLatin1Char('('), QLatin1Char(')'));
    QStringList args;
    if (inner.isEmpty())
        return args;
    for (const QString& part : inner.split(QLatin1Char(','))) {
        // One quote character on each side.
        args.append(part.size() >= 2 ? part.mid(1, part.size() - 2) : QString());
    }
    return args;
}

bool IsTest(ScriptCommand c)
{
    return c >= ScriptCommand::NotFieldType && c <= ScriptCommand::TableEmpty;
}

bool IsConversion(ScriptCommand c)
{
    return c >= ScriptCommand::ConvertStatScript && c <= ScriptCommand::ConvertBitmapToJpegInDataBase;
}

bool IsEndLine(const QString& line)
{
    return line.left(3).toUpper() == QStringLiteral("END");
}

ScriptLine ParseScriptLine(const QString& line)
{
    ScriptLine r;
    if (line.startsWith(QStringLiteral("//"))) {
        r.command = ScriptCommand::Comment;
        r.text = line.mid(2);
        return r;
    }
    for (const auto& [name, command] : kCommands) {
        if (line.contains(QLatin1String(name))) {
            r.command = command;
            break;
        }
    }
    switch (r.command) {
    case ScriptCommand::None:
    case ScriptCommand::Comment:
    case ScriptCommand::ConvertQueryScript: break;
    case ScriptCommand::NotFieldType:
        r.table = TextBetween(line, QLatin1Char('('), QLatin1Char('.'));
        r.field = TextBetween(line, QLatin1Char('.'), QLatin1Char(','));
        r.type = TextBetween(line, QLatin1Char(','), QLatin1Char(')'));
        break;
    case ScriptCommand::NotFieldExists:
    case ScriptCommand::FieldExists:
        r.table = TextBetween(line, QLatin1Char('('), QLatin1Char('.'));
        r.field = TextBetween(line, QLatin1Char('.'), QLatin1Char(')'));
        break;
    case ScriptCommand::NotTableExists:
    case ScriptCommand::TableExists:
    case ScriptCommand::TableEmpty:
    case ScriptCommand::CompactDataBase: r.table = TextBetween(line, QLatin1Char('('), QLatin1Char(')')); break;
    case ScriptCommand::ConvertStatScript: r.text = TextBetween(line, QLatin1Char('{'), QLatin1Char('}')); break;
    case ScriptCommand::SqlExe:
        r.text = TextBetween(line, QLatin1Char('{'), QLatin1Char('}')).left(kMaxStatementLength);
        break;
    case ScriptCommand::ReplaceStringInStatScript:
    case ScriptCommand::ReplaceStringInQueryScript:
    case ScriptCommand::ExtractImageToJpeg:
    case ScriptCommand::ExtractJpegImage:
    case ScriptCommand::ResizeBitmapInDataBase:
    case ScriptCommand::ConvertBitmapToJpegInDataBase:
        r.args = QuotedArguments(line);
        r.keepColumn = line.contains(QStringLiteral("ExtractImageToJpegCopy"));
        r.whiteBox = line.contains(QStringLiteral("ResizeBitmapDataBaseInWhiteRect"));
        break;
    }
    return r;
}

QStringList ScriptLines(const QByteArray& bytes)
{
    return core::decodeTextLines(bytes);
}

}  // namespace db
