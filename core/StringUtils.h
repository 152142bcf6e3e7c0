#pragma once

#include <QString>

namespace core {

// Replaces accented lower-case letters by plain ones; upper case is kept.
QString FoldAccents(const QString& text);

// Appends the directory separator "/" when the path does not end with one.
// An empty path stays empty.
QString IncludeTrailingBackslash(const QString& path);

// Turns "\" separators of values written on Windows into "/".
QString normalizeSeparators(const QString& path);

}  // namespace core
