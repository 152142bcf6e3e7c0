#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace app {

SingleInstance::~SingleInstance()
{
    release();
}

QString SingleInstance::lockFilePath(const QString& name)
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath();
    return dir + QLatin1Char('/') + name + QStringLiteral(".lock");
}

bool SingleInstance::tryAcquire(const QString& name)
{
    release();
    const QByteArray path = QFile::encodeName(lockFilePath(name));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;  // no place for a lock: do not refuse the user
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void SingleInstance::release()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
}

}  // namespace app
