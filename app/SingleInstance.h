#pragma once

#include <QString>

namespace app {

// The lock that refuses a second instance: an exclusive flock on
// <runtime dir>/<name>.lock, held for the life of the process. The kernel
// releases it when the process ends, even by a crash.
class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another process holds the lock.
    bool tryAcquire(const QString& name);
    bool held() const { return m_fd >= 0; }
    void release();

    static QString lockFilePath(const QString& name);

private:
    int m_fd = -1;
};

}  // namespace app
