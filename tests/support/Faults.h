#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace testing_support {

// A tmpfs of a given size mounted on a directory, for full-disk tests (the
// tests run as root). mounted() is false when mounting is refused; the test
// then skips. Unmounted when it goes.
class SmallDisk {
public:
    SmallDisk(const QString& directory, qint64 bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    QString directory() const { return m_dir; }
    // Fills the disk with a filler file, then frees about freeBytes of it
    // (rounded to whole pages).
    void fillLeaving(qint64 freeBytes);
    void removeFiller();

private:
    QString m_dir;
    bool m_mounted = false;
};

// Runs program with args under strace, killed by SIGKILL at the n-th call
// of any of the system calls (a comma-separated strace list). Answers true
// when the program was killed, false when it ran to a clean end; nothing
// when strace is missing. A program that ends with an error counts as
// killed too. Extra environment entries are "NAME=value".
std::optional<bool> runKilledAtCall(const QString& program, const QStringList& args, const QString& calls, int n,
                                    const QStringList& environment = {});

// Runs program once for each call of each system call in calls, killed at
// that call: prepare() runs before every run, check(call, n) after every run
// that was killed. strace counts each system call on its own, so every
// write, sync, rename and removal of a run is a kill point once. Answers
// the number of kills; nothing when strace is missing.
std::optional<int> killAtEveryCall(const QString& program, const QStringList& args, const QStringList& calls,
                                   const std::function<void()>& prepare,
                                   const std::function<void(const QString& call, int n)>& check,
                                   const QStringList& environment = {});

// Runs program with args to its end; true when it ended cleanly.
bool runProgram(const QString& program, const QStringList& args);

// The system calls through which the program changes files.
QStringList fileWritingCalls();

}  // namespace testing_support
