#include "maintenance/FileOps.h"

#include "archive/Cabinet.h"
#include "maintenance/MaintenanceError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace maintenance::files {

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

[[noreturn]] void failOn(const QString& what, const QString& path, int error)
{
    throw MaintenanceError(QStringLiteral("%1 « %2 » : %3.").arg(what, path, reasonOf(error)));
}

struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

void writeAll(int fd, const char* data, qint64 size, const QString& path)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            failOn(QStringLiteral("Impossible d'écrire"), path, n < 0 ? errno : ENOSPC);
        data += n;
        size -= n;
    }
}

void closeChecked(Fd& f, const QString& path)
{
    if (::fsync(f.fd) != 0)
        failOn(QStringLiteral("Impossible d'écrire"), path, errno);
    const int fd = f.fd;
    f.fd = -1;
    if (::close(fd) != 0)
        failOn(QStringLiteral("Impossible d'écrire"), path, errno);
}

}  // namespace

QString reasonOf(int error)
{
    return archive::ReasonOf(error);
}

void syncDirectory(const QString& dir)
{
    Fd f;
    f.fd = ::open(native(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (f.fd >= 0)
        ::fsync(f.fd);
}

void syncFileSystem(const QString& path)
{
    Fd f;
    f.fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (f.fd < 0)
        failOn(QStringLiteral("Impossible d'ouvrir"), path, errno);
    if (::syncfs(f.fd) != 0)
        failOn(QStringLiteral("Impossible d'écrire sur le disque de"), path, errno);
}

void writeNewFile(const QString& path, const QByteArray& data)
{
    Fd f;
    f.fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (f.fd < 0)
        failOn(QStringLiteral("Impossible de créer"), path, errno);
    try {
        writeAll(f.fd, data.constData(), data.size(), path);
        closeChecked(f, path);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

void copyFile(const QString& from, const QString& to)
{
    Fd in;
    in.fd = ::open(native(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in.fd < 0)
        failOn(QStringLiteral("Impossible de lire"), from, errno);
    Fd out;
    out.fd = ::open(native(to).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out.fd < 0)
        failOn(QStringLiteral("Impossible de créer"), to, errno);
    try {
        static constexpr qint64 kChunk = 1 << 20;
        QByteArray buffer(kChunk, Qt::Uninitialized);
        for (;;) {
            const ssize_t n = ::read(in.fd, buffer.data(), kChunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                failOn(QStringLiteral("Impossible de lire"), from, errno);
            if (n == 0)
                break;
            writeAll(out.fd, buffer.constData(), n, to);
        }
        closeChecked(out, to);
    } catch (...) {
        QFile::remove(to);
        throw;
    }
}

void moveFile(const QString& from, const QString& to)
{
    if (std::rename(native(from).constData(), native(to).constData()) == 0)
        return;
    if (errno != EXDEV)
        failOn(QStringLiteral("Impossible de déplacer"), from, errno);
    const QString part = to + QStringLiteral(".part");
    copyFile(from, part);
    if (std::rename(native(part).constData(), native(to).constData()) != 0) {
        const int e = errno;
        QFile::remove(part);
        failOn(QStringLiteral("Impossible de remplacer"), to, e);
    }
    syncDirectory(QFileInfo(to).absolutePath());
    QFile::remove(from);
}

void linkOrCopy(const QString& from, const QString& to)
{
    if (::link(native(from).constData(), native(to).constData()) == 0)
        return;
    copyFile(from, to);
}

void exchange(const QString& a, const QString& b)
{
    if (::renameat2(AT_FDCWD, native(a).constData(), AT_FDCWD, native(b).constData(), RENAME_EXCHANGE) != 0)
        failOn(QStringLiteral("Impossible d'échanger"), b, errno);
}

bool exchangeSupported(const QString& dir)
{
    const QString a = dir + QStringLiteral(".echange-a");
    const QString b = dir + QStringLiteral(".echange-b");
    for (const QString& d : {a, b}) {
        ::rmdir(native(d).constData());
        if (::mkdir(native(d).constData(), 0700) != 0)
            failOn(QStringLiteral("Impossible de créer"), d, errno);
    }
    const bool ok = ::renameat2(AT_FDCWD, native(a).constData(), AT_FDCWD, native(b).constData(), RENAME_EXCHANGE) == 0;
    const int error = errno;
    ::rmdir(native(a).constData());
    ::rmdir(native(b).constData());
    if (!ok && error != EINVAL && error != ENOSYS && error != EOPNOTSUPP && error != ENOTSUP)
        failOn(QStringLiteral("Impossible d'échanger"), b, error);
    return ok;
}

ino_t inodeOf(const QString& path)
{
    struct stat st { };
    if (::lstat(native(path).constData(), &st) != 0)
        return 0;
    return st.st_ino;
}

}  // namespace maintenance::files
