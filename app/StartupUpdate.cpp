#include "app/StartupUpdate.h"

#include "app/Directories.h"
#include "core/Globals.h"
#include "db/Connection.h"
#include "db/DbVersion.h"
#include "db/TDataModule1.h"
#include "db/UpdateScript.h"

#include <QDir>
#include <QFileInfo>

namespace app {

namespace {

const QString versionTable()
{
    return QString::fromLatin1(db::kVersionTable);
}

// The update scripts waiting in the data root, "*.maj" without regard to case.
QStringList waitingScripts()
{
    QDir dir(core::globals().dataRoot);
    dir.setFilter(QDir::Files);
    dir.setNameFilters({QStringLiteral("*.maj")});
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

}  // namespace

void RunStartupUpdate(db::Connection& mainConnection, core::ScriptFeedback* feedback)
{
    const core::Globals& g = core::globals();
    const QString column = QString::fromLatin1(db::kVersionColumn);
    const QString version = db::GetDbVersion(mainConnection, versionTable(), column);
    db::CheckNotNewer(version, g.version);

    if (QFileInfo::exists(g.programDir + ExecutableBaseName() + QStringLiteral(".dpr")))
        db::SetDbVersion(mainConnection, versionTable(), column, g.version);

    if (db::IsOlderVersion(db::GetDbVersion(mainConnection, versionTable(), column), g.version))
        CopyInstallFileIfMissing(g.updateScriptName);

    const QStringList scripts = waitingScripts();
    for (const QString& script : scripts)
        db::RunScript(mainConnection, g.dataRoot, script, true, feedback);
    if (!scripts.isEmpty())
        db::SetDbVersion(mainConnection, versionTable(), column, g.version);

    UpdateDatabaseBesideProgram(feedback);
}

void UpdateDatabaseBesideProgram(core::ScriptFeedback* feedback)
{
    const core::Globals& g = core::globals();
    const QString file = g.programDir + QStringLiteral("Data/") + g.db.oledbFileName;
    if (!QFileInfo(file).isFile())
        return;
    db::Connection connection;
    QString text = QString::fromLatin1(db::kOleDbConnectionTemplate);
    text.replace(QStringLiteral("%PROVIDER%"), g.db.oledbProvider);
    text.replace(QStringLiteral("%DATASOURCE%"), file);
    connection.setConnectionString(text);
    connection.open();

    const QString version = db::GetDbVersion(connection, versionTable(), db::VersionColumnOf(connection));
    const QString script = g.programDir + QStringLiteral("Maj/") + g.updateScriptName;
    if (db::IsOlderVersion(version, g.version) && QFileInfo(script).isFile()) {
        db::RunScript(connection, g.programDir + QStringLiteral("Maj/"), g.updateScriptName, false, feedback);
        // The script may have renamed the old VAL column: ask again.
        db::SetDbVersion(connection, versionTable(), db::VersionColumnOf(connection), g.version);
    }
}

}  // namespace app
