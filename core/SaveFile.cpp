#include "core/SaveFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace core {

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QString systemError()
{
    return SystemErrorText(errno);
}

// Writes all of data to fd, retrying short writes; false on the first failure.
bool writeAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

}  // namespace

QString SystemErrorText(int error)
{
    switch (error) {
    case ENOSPC: return QStringLiteral("il n'y a plus de place sur le disque");
    case EDQUOT: return QStringLiteral("le quota du disque est atteint");
    case EACCES:
    case EPERM: return QStringLiteral("accès refusé");
    case EROFS: return QStringLiteral("le disque est en lecture seule");
    case ENOENT: return QStringLiteral("fichier ou dossier introuvable");
    case EIO: return QStringLiteral("erreur de lecture ou d'écriture sur le disque");
    case EFBIG: return QStringLiteral("fichier trop grand");
    default: return QString::fromLocal8Bit(std::strerror(error));
    }
}

bool saveFileAtomically(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile file(path);
    // Unbuffered: a buffered QSaveFile reports every write as done and, in
    // Qt 6.4, commits after a short write on a full disk.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        setError(error, file.errorString());
        return false;
    }
    qint64 done = 0;
    while (done < data.size()) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0) {
            setError(error, file.errorString());
            file.cancelWriting();
            return false;
        }
        done += n;
    }
    // A file system that allocates late reports a full disk only here;
    // QSaveFile itself ignores the outcome of its own sync.
    if (!file.flush() || file.error() != QFileDevice::NoError || ::fsync(file.handle()) != 0) {
        setError(error, file.error() != QFileDevice::NoError ? file.errorString() : systemError());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    syncDirectory(QFileInfo(path).absolutePath());
    return true;
}

bool copyFileAtomically(const QString& from, const QString& to, QString* error)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    const QByteArray part = target + ".part";
    const int in = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        setError(error, QStringLiteral("%1 : %2").arg(from, systemError()));
        return false;
    }
    const int out = ::open(part.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        setError(error, QStringLiteral("%1 : %2").arg(QFile::decodeName(part), systemError()));
        ::close(in);
        return false;
    }
    bool ok = true;
    QString why;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), static_cast<size_t>(buffer.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            why = QStringLiteral("%1 : %2").arg(from, systemError());
            break;
        }
        if (n == 0)
            break;
        if (!writeAll(out, buffer.constData(), n)) {
            ok = false;
            why = QStringLiteral("%1 : %2").arg(QFile::decodeName(part), systemError());
            break;
        }
    }
    ::close(in);
    if (ok && ::fsync(out) != 0) {
        ok = false;
        why = QStringLiteral("%1 : %2").arg(QFile::decodeName(part), systemError());
    }
    if (::close(out) != 0 && ok) {
        ok = false;
        why = QStringLiteral("%1 : %2").arg(QFile::decodeName(part), systemError());
    }
    // rename() replaces the target in one step: there is never a moment
    // without a file of that name.
    if (ok && std::rename(part.constData(), target.constData()) != 0) {
        ok = false;
        why = QStringLiteral("%1 : %2").arg(to, systemError());
    }
    if (!ok) {
        ::unlink(part.constData());
        setError(error, why);
        return false;
    }
    syncDirectory(QFileInfo(to).absolutePath());
    return true;
}

void syncDirectory(const QString& directory)
{
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace core
