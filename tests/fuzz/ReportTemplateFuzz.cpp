// libFuzzer target for the report template reader: any bytes are either a
// template or a ReportError, never a crash or a hang.
#include "report/ReportTemplate.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const report::ReportTemplate t = report::ParseReportTemplate(bytes, QStringLiteral("fuzz.frf"));
        if (t.contentWidth() <= 0 || t.contentHeight() <= 0)
            __builtin_trap();  // the reader refuses a page without room
    } catch (const report::ReportError&) {
    }
    return 0;
}
