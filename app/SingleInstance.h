#pragma once

#include <QString>

namespace app {

// The lock that refuses a second instance: an exclusive flock on
// <name>.lock in the runtime directory, or in the temporary directory when
// the runtime one cannot hold it, held for the life of the process. The
// kernel releases it when the process ends, even by a crash.
class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another process holds the lock, or when no lock file could
    // be made at all: failure() then says why (paths and system messages).
    bool tryAcquire(const QString& name);
    bool held() const { return m_fd >= 0; }
    void release();
    const QString& failure() const { return m_failure; }
    // The file locked; empty while nothing is held.
    const QString& lockFile() const { return m_path; }

    // Where the lock is made first: the runtime directory when there is one.
    static QString lockFilePath(const QString& name);

private:
    int m_fd = -1;
    QString m_path;
    QString m_failure;
};

}  // namespace app
