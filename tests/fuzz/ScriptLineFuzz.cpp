// libFuzzer target for the update-script line parser: any bytes, split into
// lines as a script file is, each line parsed.
#include "db/ScriptLine.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QString& line : db::ScriptLines(bytes)) {
        const db::ScriptLine parsed = db::ParseScriptLine(line);
        if (parsed.text.size() > line.size() || parsed.args.size() > line.size() + 1)
            __builtin_trap();
        if (parsed.command == db::ScriptCommand::SqlExe && parsed.text.size() > db::kMaxStatementLength)
            __builtin_trap();
        db::IsEndLine(line);
    }
    return 0;
}
