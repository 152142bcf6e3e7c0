#include "Cabextract.h"

#include <QProcess>

namespace testing_support {

bool CabextractAccepts(const QString& cabinet, QString* output)
{
    QProcess p;
    p.start(QStringLiteral("cabextract"), {QStringLiteral("-t"), cabinet});
    const bool finished = p.waitForFinished(60000);
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace testing_support
