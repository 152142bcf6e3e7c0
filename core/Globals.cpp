#include "core/Globals.h"

#include "core/StringUtils.h"

namespace core {

Globals& globals()
{
    static Globals g;
    return g;
}

void resetGlobals()
{
    globals() = Globals{};
}

void setProgramDirectory(const QString& dir)
{
    Globals& g = globals();
    g.programDir = IncludeTrailingBackslash(dir);
    g.reportsDir = g.programDir + QStringLiteral("Reports/");
    g.statDir = g.programDir + QStringLiteral("Stat/");
    g.queryDir = g.programDir + QStringLiteral("Query/");
    g.helpFile = g.programDir + QStringLiteral("doc.htm");
    g.dataRoot = g.programDir;
}

QString updateScriptNameFor(const QString& version)
{
    QString digits;
    for (int i : {0, 2, 3}) {
        if (i < version.size())
            digits += version.at(i);
    }
    return QStringLiteral("BD_") + digits + QStringLiteral(".maj");
}

QString settingsFilePath()
{
    return globals().dataRoot + globals().settingsFileName;
}

QString databaseFilePath()
{
    return globals().dataDir + globals().databaseFile;
}

}  // namespace core
