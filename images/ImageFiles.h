#pragma once

#include <QString>

namespace images {

// Deletes the picture file when it exists; a missing file is no error.
// Answers false only when an existing file could not be removed.
bool DeleteImageFile(const QString& fileName);

}  // namespace images
