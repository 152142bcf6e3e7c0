#include "app/Directories.h"

#include "core/Globals.h"
#include "core/IniFile.h"
#include "core/MessageCatalog.h"
#include "core/SaveFile.h"
#include "core/StringUtils.h"
#include "core/TextFile.h"
#include "db/OdbcSetup.h"
#include "ui/Prompt.h"
#include "ui/TWait.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <memory>

namespace app {

namespace {

const QString kMakerFolder = QStringLiteral("Brindell Software Development/");
const QString kWarningFile = QStringLiteral("Avertissement.txt");

QString contactLine()
{
    return QStringLiteral("Contact : ") + QString::fromLatin1(core::kSupportEmail);
}

QString webLine()
{
    return QStringLiteral("Site web : ") + QString::fromLatin1(core::kMakerWebSite);
}

// Creates one directory level; false when it does not exist afterwards.
bool makeDir(const QString& dir)
{
    return QDir().mkdir(dir) || QFileInfo(dir).isDir();
}

// Copies without overwriting; the copy is whole or absent (see
// copyFileAtomically), so an interrupted copy never passes for a file.
bool copyNoOverwrite(const QString& from, const QString& to)
{
    if (QFileInfo::exists(to))
        return false;
    return core::copyFileAtomically(from, to);
}

// Replaces to with a whole copy; a failed copy leaves to as it was.
void copyOverwrite(const QString& from, const QString& to)
{
    core::copyFileAtomically(from, to);
}

// Every file of dir matching the mask, without regard to case.
QStringList filesMatching(const QString& dir, const QString& mask)
{
    QDir d(dir);
    d.setFilter(QDir::Files);
    d.setNameFilters({mask});
    d.setSorting(QDir::Name | QDir::IgnoreCase);
    return d.entryList();
}

QString iniPath(const core::IniFile& ini, const QString& section, const QString& key, const QString& def)
{
    return core::normalizeSeparators(ini.value(section, key, def).trimmed());
}

}  // namespace

SystemPaths SystemPaths::current()
{
    SystemPaths p;
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty())
        docs = QDir::homePath();
    p.documentsDir = core::IncludeTrailingBackslash(docs);
    p.isOnRemovableDrive = &IsOnRemovableDrive;
    return p;
}

bool IsOnRemovableDrive(const QString& dir)
{
    const QStorageInfo storage(dir);
    const QString device = QString::fromLocal8Bit(storage.device());
    if (!device.startsWith(QStringLiteral("/dev/")))
        return false;
    const QString name = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    if (name.isEmpty())
        return false;
    QString sys = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (sys.isEmpty())
        return false;
    if (QFileInfo::exists(sys + QStringLiteral("/partition")))
        sys = QFileInfo(sys).path();
    QFile removable(sys + QStringLiteral("/removable"));
    if (!removable.open(QIODevice::ReadOnly))
        return false;
    return removable.readAll().trimmed() == "1";
}

QString ExecutableBaseName()
{
    QString name = core::globals().executableName;
    if (name.isEmpty())
        name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (name.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        name.chop(4);
    return name.isEmpty() ? QStringLiteral("planning") : name;
}

QStringList MakerWarningLines()
{
    return {
        QStringLiteral("ATTENTION : NE SUPPRIMEZ PAS CE REPERTOIRE "), QString(),
        QStringLiteral("Ce répertoire contient les données des logiciels édités par Brindell Software Developpement"),
        contactLine(), webLine()};
}

QStringList ProductWarningLines()
{
    return {QStringLiteral("ATTENTION : NE SUPPRIMEZ PAS CE REPERTOIRE "), QString(),
            QStringLiteral("Ce répertoire contient les données du logiciels ") + core::globals().productName
                + QStringLiteral(" édités par Brindell Software Developpement"),
            contactLine(), webLine()};
}

void ResolveDataRoot(const SystemPaths& paths)
{
    core::Globals& g = core::globals();
    core::IniFile directories;
    directories.load(g.programDir + QStringLiteral("directories.ini"));
    const QString appDataDir =
        core::normalizeSeparators(directories.value(QStringLiteral("Path"), QStringLiteral("AppDataDir")).trimmed());

    const bool devMarker = QFileInfo::exists(g.programDir + ExecutableBaseName() + QStringLiteral(".dpr"));
    const bool removable = paths.isOnRemovableDrive && paths.isOnRemovableDrive(g.programDir)
        && !g.programDir.contains(paths.programFilesDir);

    if (appDataDir == QStringLiteral("appexe") || devMarker || removable) {
        g.dataRoot = g.programDir;
    } else {
        // A value without its final separator would otherwise glue the
        // product folder onto the last directory name.
        const QString base =
            appDataDir.isEmpty() ? paths.documentsDir + kMakerFolder : core::IncludeTrailingBackslash(appDataDir);
        // A new account may have no documents folder yet: create it too.
        if (!QFileInfo(base).isDir() && QDir().mkpath(base))
            core::writeTextFile(base + kWarningFile, MakerWarningLines());
        g.dataRoot = base + core::FoldAccents(g.productName) + QLatin1Char('/');
        if (!QFileInfo(g.dataRoot).isDir() && makeDir(g.dataRoot))
            core::writeTextFile(g.dataRoot + kWarningFile, ProductWarningLines());
    }
    for (const char* sub : {"Export", "Html", "Backup", "Data", "Data/Access", "Data/Images", "Data/Files"})
        makeDir(g.dataRoot + QString::fromLatin1(sub));
}

void ReadDatabaseLocation()
{
    core::Globals& g = core::globals();
    CopyInstallFileIfMissing(QStringLiteral("db.ini"));

    const QString file = g.dataRoot + QStringLiteral("db.ini");
    core::IniFile ini;
    ini.load(file);
    const core::DatabaseLocation def;
    core::DatabaseLocation& db = g.db;
    db.provider = ini.value(QStringLiteral("DataBase"), QStringLiteral("Provider"), def.provider).trimmed();
    db.path = iniPath(ini, QStringLiteral("DataBase"), QStringLiteral("Path"), def.path);
    db.odbcName = ini.value(QStringLiteral("ODBC"), QStringLiteral("Name"), def.odbcName).trimmed();
    db.odbcDriver = ini.value(QStringLiteral("ODBC"), QStringLiteral("Driver"), def.odbcDriver).trimmed();
    db.odbcPath = iniPath(ini, QStringLiteral("ODBC"), QStringLiteral("Path"), def.odbcPath);
    db.oledbProvider = ini.value(QStringLiteral("OLEDB"), QStringLiteral("Provider"), def.oledbProvider).trimmed();
    db.oledbFileName = iniPath(ini, QStringLiteral("OLEDB"), QStringLiteral("FileName"), def.oledbFileName);

    if (!QFileInfo::exists(file)) {
        core::IniFile out;
        out.setValue(QStringLiteral("DataBase"), QStringLiteral("Provider"), db.provider);
        out.setValue(QStringLiteral("DataBase"), QStringLiteral("Path"), db.path);
        out.setValue(QStringLiteral("ODBC"), QStringLiteral("Name"), db.odbcName);
        out.setValue(QStringLiteral("ODBC"), QStringLiteral("Driver"), db.odbcDriver);
        out.setValue(QStringLiteral("ODBC"), QStringLiteral("Path"), db.odbcPath);
        out.setValue(QStringLiteral("OLEDB"), QStringLiteral("Provider"), db.oledbProvider);
        out.setValue(QStringLiteral("OLEDB"), QStringLiteral("FileName"), db.oledbFileName);
        out.save(file);
    }

    db.backupPath = iniPath(ini, QStringLiteral("Backup"), QStringLiteral("Path"), QString());

    // "Data\" (or "Data/") is the one value relative to the data root.
    g.dataDir = db.path == QStringLiteral("Data/") ? g.dataRoot + QStringLiteral("Data/") : db.path;
    g.dataDir = core::IncludeTrailingBackslash(g.dataDir);

    const QString provider = db.provider.toUpper();
    if (provider == QStringLiteral("ODBC"))
        g.databaseFile = db.odbcPath;
    else if (provider == QStringLiteral("OLEDB"))
        g.databaseFile = db.oledbFileName;
    else
        g.databaseFile.clear();

    if (provider == QStringLiteral("ODBC") && !db.odbcPath.isEmpty()) {
        const QString dbFile = g.dataDir + db.odbcPath;
        if (QFileInfo::exists(dbFile))
            db::RegisterOdbcDataSource(db.odbcName, db.odbcDriver, dbFile);
    }
}

void CopyInstallFileIfMissing(const QString& name)
{
    const core::Globals& g = core::globals();
    const QString target = g.dataRoot + name;
    if (QFileInfo::exists(target))
        return;
    const QStringList places{g.programDir, g.programDir + QStringLiteral("Ressources/DB/"),
                             g.programDir + QStringLiteral("Maj/")};
    for (const QString& dir : places) {
        const QString source = dir + name;
        if (QFileInfo(source).isFile()) {
            copyNoOverwrite(source, target);
            return;
        }
    }
}

bool ProvideData(const QString& settingsFileName)
{
    const core::Globals& g = core::globals();
    bool result = true;
    if (!QFileInfo::exists(g.dataDir + g.databaseFile)) {
        makeDir(g.dataDir);
        for (const char* sub : {"Access", "Images", "Files"})
            makeDir(g.dataDir + QString::fromLatin1(sub));

        QString source;
        bool visible = false;
        if (QFileInfo::exists(g.programDir + QStringLiteral("Data/") + g.databaseFile)
            && (QFileInfo::exists(g.programDir + QStringLiteral("dsn.ini"))
                || QFileInfo::exists(g.programDir + QStringLiteral("db.ini")))) {
            source = g.programDir + QStringLiteral("Data/");
            visible = true;
        } else {
            source = g.programDir + QStringLiteral("Ressources/DB/Data/");
        }

        if (g.databaseFile.isEmpty() || !QFileInfo(source + g.databaseFile).isFile()) {
            ui::showWarning(QStringLiteral("EXECUTION IMPOSSIBLE !!\r\rCertains composants nécessaires au bon "
                                           "fonctionnement de cette application sont introuvables.\rEffectuez une "
                                           "nouvelle installation de l'application afin de résoudre ce problème."));
            result = false;
        } else {
            auto wait = std::make_unique<ui::TWait>();
            wait->centerOnWorkArea();
            wait->setTask(QStringLiteral("TRANSFERT DES DONNEES"));
            wait->setMessage(QStringLiteral("Quelques instants, SVP ..."));
            wait->setGaugeVisible(true);
            wait->setMaximum(3);
            wait->setPosition(0);
            if (visible)
                wait->showAndPump();

            auto step = [&](const QString& message, int position) {
                wait->setMessage(message);
                wait->setPosition(position);
                if (visible)
                    wait->showAndPump();
            };
            step(QStringLiteral("Copie de la base de données"), 1);
            copyNoOverwrite(source + g.databaseFile, g.dataDir + g.db.oledbFileName);
            step(QStringLiteral("Copie des images"), 2);
            for (const QString& f : filesMatching(source + QStringLiteral("Images/"), QStringLiteral("*.jpg")))
                copyOverwrite(source + QStringLiteral("Images/") + f, g.dataDir + QStringLiteral("Images/") + f);
            step(QStringLiteral("Copie des fichiers"), 3);
            for (const QString& f : filesMatching(source + QStringLiteral("Files/"), QStringLiteral("*.f")))
                copyOverwrite(source + QStringLiteral("Files/") + f, g.dataDir + QStringLiteral("Files/") + f);
            wait.reset();

            if (visible)
                ui::showWarning(
                    QStringLiteral("IMPORTANT !!\r\rLa base de données a été transférée dans le réperoire :\r")
                    + g.dataDir + QStringLiteral("\r\rNE SUPPRIMEZ PAS CE REPERTOIRE"));
        }
    }
    CopyInstallFileIfMissing(QStringLiteral("SortList.def"));
    CopyInstallFileIfMissing(settingsFileName);
    return result;
}

}  // namespace app
