#pragma once

#include <QString>

namespace core {

// The user's preferences kept in the settings file of the data root.
struct Settings {
    // Properties
    bool firstLaunch = true;
    bool testMdac = false;
    bool splash = true;
    bool hideBigFontMsg = false;
    bool showCalendar = false;
    int sortId = 0;
    // Windows: main window placement; width -1 means never saved.
    int left = -1;
    int top = -1;
    int width = -1;
    int height = -1;
    QString state;  // "wsNormal", "wsMinimized", "wsMaximized" or empty
    bool style = false;
    // Scan
    QString twainSource;
    bool showTwainUI = false;
    int maxWidth = 5000;
    int jpegQuality = 100;

    bool operator==(const Settings&) const = default;
};

// Reads every key; a missing file, section or key or a non-numeric value
// gives the key's default.
Settings LoadSettings(const QString& path);

// Writes the sixteen keys in their fixed order; false when the file cannot be
// written (callers do not report it: the write test refused such a root).
bool SaveSettings(const QString& path, const Settings& settings);

// The same on the process-wide settings and the settings file of the data root.
void LoadSettings();
bool SaveSettings();

}  // namespace core
