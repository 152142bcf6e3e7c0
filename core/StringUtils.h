#pragma once

#include <QString>
#include <QStringView>

namespace core {

// Replaces accented lower-case letters by plain ones; upper case is kept.
QString FoldAccents(const QString& text);

// Appends the directory separator "/" when the path does not end with one.
// An empty path stays empty.
QString IncludeTrailingBackslash(const QString& path);

// Turns "\" separators of values written on Windows into "/".
QString normalizeSeparators(const QString& path);

// French text order without regard to case or accents ("alice" before
// "Bruno", "Élodie" before "Zoé"), as a French user expects lists sorted.
// Negative, zero or positive like QString::compare.
int compareFrench(QStringView a, QStringView b);
inline bool lessFrench(const QString& a, const QString& b)
{
    return compareFrench(a, b) < 0;
}

// The address a web-site field opens: "http://" in front unless it already
// starts with a web scheme of its own ("http://", "https://", "ftp://", in
// any case). Other schemes get the prefix too, so that no "javascript:" or
// "file:" link comes out of a typed address.
QString WebAddress(const QString& text);

}  // namespace core
