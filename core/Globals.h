#pragma once

#include "core/Settings.h"

#include <QString>
#include <QtGlobal>

namespace core {

// Colours are 0x00BBGGRR (red in the low byte), as stored in the database.
struct FrameColors {
    quint32 activeStart = 0xFF9833;
    quint32 activeEnd = 0xD25000;
    quint32 inactiveStart = 0xFABEA0;
    quint32 inactiveEnd = 0xCE8968;
    quint32 text = 0xFFFFFF;
};

// Values of db.ini, already read; paths use "/".
struct DatabaseLocation {
    QString provider = QStringLiteral("OLEDB");
    QString path = QStringLiteral("Data/");
    QString odbcName = QStringLiteral("QUILLMARK_PLANNING");
    QString odbcDriver = QStringLiteral("SQLite3");
    QString odbcPath = QStringLiteral("Access/PLANNING.MDB");
    QString oledbProvider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
    QString oledbFileName = QStringLiteral("Access/PLANNING.MDB");
    QString backupPath;
};

// Process-wide values set during start-up and read everywhere else.
// Every directory value ends with "/".
struct Globals {
    QString productName = QStringLiteral("Quillmark Planning");
    QString version = QStringLiteral("1.34");
    QString instanceName = QStringLiteral("QUILLMARK_PLANNING");
    QString updateScriptName;

    QString programDir;
    QString reportsDir;
    QString statDir;
    QString queryDir;
    QString helpFile;
    QString dataRoot;
    QString dataDir;
    QString databaseFile;      // relative to dataDir; empty for an unknown provider
    QString settingsFileName;  // file name only; lives in dataRoot
    QString executableName;    // file name of the running program; empty: ask Qt

    QString shortDateFormat = QStringLiteral("dd/MM/yyyy");
    QString longTimeFormat = QStringLiteral("hh:mm:ss");
    QChar dateSeparator = QLatin1Char('/');

    bool recentSystem = false;
    bool nativeFrame = false;
    bool startOk = true;

    FrameColors frame;
    DatabaseLocation db;
    Settings settings;

    QString currencySymbol;  // empty: the system's
};

Globals& globals();

// Resets every value to its initial state (tests use it between cases).
void resetGlobals();

// Sets the program directory and the directories derived from it; the data
// root starts equal to the program directory.
void setProgramDirectory(const QString& dir);

// "BD_" + first, third and fourth characters of the version + ".maj".
QString updateScriptNameFor(const QString& version);

// Full path of the settings file in the data root.
QString settingsFilePath();

// Full path of the database file (data directory + database file).
QString databaseFilePath();

}  // namespace core
