#pragma once

#include <QByteArray>
#include <QString>

namespace core {

// Replaces the file at path with data through a temporary file and a rename,
// so a crash or a full disk leaves the old file or the new one, never half of
// one. Returns false (and leaves the old file) on any failure; error gets the
// reason when given.
// The reason of a failed system call (an errno value), in French for the
// failures a user can act on (full disk, rights, read-only disk).
QString SystemErrorText(int error);

bool saveFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

// Copies from onto to with the same guarantee: the copy is written to
// to + ".part", flushed to disk and renamed over to, so to is either its old
// content or the whole copy. False with the reason on any failure (the part
// file is then removed).
bool copyFileAtomically(const QString& from, const QString& to, QString* error = nullptr);

// Flushes a directory's entries (a rename in it) to disk; failures are ignored.
void syncDirectory(const QString& directory);

}  // namespace core
