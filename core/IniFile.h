#pragma once

#include <QString>

#include <memory>

namespace core {

// An INI file read and written as the Windows profile calls do: section and
// key names without regard to case, Windows-1252 text, CR LF line ends.
// A missing or unreadable file reads as empty; a file that starts with the
// UTF-8 byte-order mark is read as UTF-8.
class IniFile {
public:
    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Replaces the content with the file's; false when it cannot be read.
    bool load(const QString& path);

    bool hasKey(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& def = {}) const;
    // A value that is not a decimal integer gives the default.
    int intValue(const QString& section, const QString& key, int def) const;
    // Any non-zero integer is true; text that is not a number gives the default.
    bool boolValue(const QString& section, const QString& key, bool def) const;

    // Appends keys and sections in call order; an existing key keeps its place.
    void setValue(const QString& section, const QString& key, const QString& value);
    void setInt(const QString& section, const QString& key, int value);
    void setBool(const QString& section, const QString& key, bool value);

    QString toText() const;
    // Writes atomically; false on failure.
    bool save(const QString& path, QString* error = nullptr) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace core
