#include "core/Settings.h"

#include "core/Globals.h"
#include "core/IniFile.h"

namespace core {

namespace {
const QString kProperties = QStringLiteral("Properties");
const QString kWindows = QStringLiteral("Windows");
const QString kScan = QStringLiteral("Scan");
}  // namespace

Settings LoadSettings(const QString& path)
{
    IniFile ini;
    ini.load(path);
    const Settings def;
    Settings s;
    s.firstLaunch = ini.boolValue(kProperties, QStringLiteral("FirstLaunch"), def.firstLaunch);
    s.testMdac = ini.boolValue(kProperties, QStringLiteral("TestMdac"), def.testMdac);
    s.splash = ini.boolValue(kProperties, QStringLiteral("Splash"), def.splash);
    s.hideBigFontMsg = ini.boolValue(kProperties, QStringLiteral("HideBigFontMsg"), def.hideBigFontMsg);
    s.showCalendar = ini.boolValue(kProperties, QStringLiteral("ShowCalendar"), def.showCalendar);
    s.sortId = ini.intValue(kProperties, QStringLiteral("SortId"), def.sortId);
    s.left = ini.intValue(kWindows, QStringLiteral("Left"), def.left);
    s.top = ini.intValue(kWindows, QStringLiteral("Top"), def.top);
    s.width = ini.intValue(kWindows, QStringLiteral("Width"), def.width);
    s.height = ini.intValue(kWindows, QStringLiteral("Height"), def.height);
    s.state = ini.value(kWindows, QStringLiteral("State"), def.state);
    s.style = ini.boolValue(kWindows, QStringLiteral("Style"), def.style);
    s.twainSource = ini.value(kScan, QStringLiteral("TwainSource"), def.twainSource);
    s.showTwainUI = ini.boolValue(kScan, QStringLiteral("ShowTwainUI"), def.showTwainUI);
    s.maxWidth = ini.intValue(kScan, QStringLiteral("MaxWidth"), def.maxWidth);
    s.jpegQuality = ini.intValue(kScan, QStringLiteral("JpegQuality"), def.jpegQuality);
    return s;
}

bool SaveSettings(const QString& path, const Settings& s)
{
    IniFile ini;
    ini.setBool(kProperties, QStringLiteral("FirstLaunch"), s.firstLaunch);
    ini.setBool(kProperties, QStringLiteral("TestMdac"), s.testMdac);
    ini.setBool(kProperties, QStringLiteral("Splash"), s.splash);
    ini.setBool(kProperties, QStringLiteral("HideBigFontMsg"), s.hideBigFontMsg);
    ini.setBool(kProperties, QStringLiteral("ShowCalendar"), s.showCalendar);
    ini.setInt(kProperties, QStringLiteral("SortId"), s.sortId);
    ini.setInt(kWindows, QStringLiteral("Left"), s.left);
    ini.setInt(kWindows, QStringLiteral("Top"), s.top);
    ini.setInt(kWindows, QStringLiteral("Width"), s.width);
    ini.setInt(kWindows, QStringLiteral("Height"), s.height);
    ini.setValue(kWindows, QStringLiteral("State"), s.state);
    ini.setBool(kWindows, QStringLiteral("Style"), s.style);
    ini.setValue(kScan, QStringLiteral("TwainSource"), s.twainSource);
    ini.setBool(kScan, QStringLiteral("ShowTwainUI"), s.showTwainUI);
    ini.setInt(kScan, QStringLiteral("MaxWidth"), s.maxWidth);
    ini.setInt(kScan, QStringLiteral("JpegQuality"), s.jpegQuality);
    return ini.save(path);
}

void LoadSettings()
{
    globals().settings = LoadSettings(settingsFilePath());
}

bool SaveSettings()
{
    return SaveSettings(settingsFilePath(), globals().settings);
}

}  // namespace core
