#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace app {

namespace {

QString runtimeDirectory()
{
    const QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return dir.isEmpty() || !QDir(dir).exists() ? QString() : dir;
}

QString lockIn(const QString& dir, const QString& name)
{
    return dir + QLatin1Char('/') + name + QStringLiteral(".lock");
}

}  // namespace

SingleInstance::~SingleInstance()
{
    release();
}

QString SingleInstance::lockFilePath(const QString& name)
{
    const QString runtime = runtimeDirectory();
    return lockIn(runtime.isEmpty() ? QDir::tempPath() : runtime, name);
}

bool SingleInstance::tryAcquire(const QString& name)
{
    release();
    m_failure.clear();
    QStringList places;
    if (const QString runtime = runtimeDirectory(); !runtime.isEmpty())
        places << lockIn(runtime, name);
    if (const QString temp = lockIn(QDir::tempPath(), name); !places.contains(temp))
        places << temp;
    QStringList errors;
    for (const QString& place : places) {
        const int fd = ::open(QFile::encodeName(place).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            errors << place + QStringLiteral(" : ") + QString::fromLocal8Bit(std::strerror(errno));
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return false;  // another instance holds it
            errors << place + QStringLiteral(" : ") + QString::fromLocal8Bit(std::strerror(error));
            continue;
        }
        m_fd = fd;
        m_path = place;
        return true;
    }
    m_failure = errors.join(QLatin1Char('\r'));
    return false;
}

void SingleInstance::release()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
    m_path.clear();
}

}  // namespace app
