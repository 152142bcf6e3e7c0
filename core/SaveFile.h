#pragma once

#include <QByteArray>
#include <QString>

namespace core {

// Replaces the file at path with data through a temporary file and a rename,
// so a crash or a full disk leaves the old file or the new one, never half of
// one. Returns false (and leaves the old file) on any failure; error gets the
// reason when given.
bool saveFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

}  // namespace core
