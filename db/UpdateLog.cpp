#include "db/UpdateLog.h"

#include "core/Clock.h"
#include "core/Globals.h"
#include "core/TextFile.h"

#include <QDateTime>
#include <QFile>

namespace db {

QString UpdateLogPath()
{
    return core::globals().dataRoot + QStringLiteral("Maj.Log");
}

void AppendLog(const QString& message)
{
    QString line;
    if (!message.isEmpty()) {
        const core::Globals& g = core::globals();
        const QDateTime now = core::now();
        line = now.toString(g.shortDateFormat) + QLatin1Char('-') + now.toString(g.longTimeFormat)
            + QStringLiteral(" : ") + message;
    }
    // Appended in one write: the log only grows, and rewriting it whole for
    // every entry would make a long log slow down every run.
    QFile file(UpdateLogPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QByteArray data;
    // A log ended without a line break (edited by hand) keeps its last line.
    if (file.size() > 0) {
        QFile reader(UpdateLogPath());
        if (reader.open(QIODevice::ReadOnly) && reader.seek(file.size() - 1)) {
            const QByteArray last = reader.read(1);
            if (last != "\n" && last != "\r")
                data += "\r\n";
        }
    }
    data += core::encodeWindows1252(line) + "\r\n";
    file.write(data);
}

}  // namespace db
