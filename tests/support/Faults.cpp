#include "Faults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <sys/mount.h>

namespace testing_support {

SmallDisk::SmallDisk(const QString& directory, qint64 bytes) : m_dir(directory)
{
    QDir().mkpath(m_dir);
    const QByteArray options = "size=" + QByteArray::number(bytes);
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir).constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir).constData(), MNT_DETACH);
}

void SmallDisk::fillLeaving(qint64 freeBytes)
{
    const QString filler = m_dir + QStringLiteral("/filler");
    QFile f(filler);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'f');
    while (f.write(block) == block.size()) {
    }
    const qint64 full = f.size();
    f.close();
    const qint64 pages = (freeBytes + 4095) / 4096;
    QFile::resize(filler, qMax<qint64>(0, (full / 4096 - pages) * 4096));
}

void SmallDisk::removeFiller()
{
    QFile::remove(m_dir + QStringLiteral("/filler"));
}

std::optional<bool> runKilledAtCall(const QString& program, const QStringList& args, const QString& calls, int n,
                                    const QStringList& environment)
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        return std::nullopt;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment)
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList all{QStringLiteral("-f"),
                    QStringLiteral("-o"),
                    QStringLiteral("/dev/null"),
                    QStringLiteral("-e"),
                    QStringLiteral("inject=%1:signal=SIGKILL:when=%2").arg(calls).arg(n),
                    program};
    all += args;
    p.start(strace, all);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return true;
    }
    return p.exitStatus() == QProcess::CrashExit || p.exitCode() != 0;
}

bool runProgram(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

std::optional<int> killAtEveryCall(const QString& program, const QStringList& args, const QStringList& calls,
                                   const std::function<void()>& prepare,
                                   const std::function<void(const QString& call, int n)>& check,
                                   const QStringList& environment)
{
    int kills = 0;
    for (const QString& call : calls) {
        // A run that is not killed has made fewer such calls: the next call.
        for (int n = 1; n < 5000; ++n) {
            prepare();
            const auto killed = runKilledAtCall(program, args, call, n, environment);
            if (!killed)
                return std::nullopt;
            if (!*killed)
                break;
            ++kills;
            check(call, n);
        }
    }
    return kills;
}

QStringList fileWritingCalls()
{
    return {QStringLiteral("write"),     QStringLiteral("pwrite64"),  QStringLiteral("rename"),
            QStringLiteral("unlink"),    QStringLiteral("fsync"),     QStringLiteral("fdatasync"),
            QStringLiteral("ftruncate"), QStringLiteral("renameat2"), QStringLiteral("unlinkat")};
}

}  // namespace testing_support
