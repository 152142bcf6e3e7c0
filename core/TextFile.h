#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace core {

// Text files of the program: Windows-1252, lines ended by CR LF.

QByteArray encodeWindows1252(const QString& text);
QString decodeWindows1252(const QByteArray& bytes);

// Joins the lines with CR LF (a CR LF also ends the last line) and encodes them.
QByteArray encodeTextLines(const QStringList& lines);

// Splits on CR LF, LF or CR; a final line ending gives no extra empty line.
QStringList decodeTextLines(const QByteArray& bytes);

// Writes atomically; false on failure, the old file then stays.
bool writeTextFile(const QString& path, const QStringList& lines, QString* error = nullptr);

// Reads a whole file as lines; nothing when it cannot be read.
std::optional<QStringList> readTextFile(const QString& path);

}  // namespace core
