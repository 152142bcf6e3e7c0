#include "app/Startup.h"

#include "app/FrenchLocale.h"
#include "app/SingleInstance.h"
#include "app/StartupUpdate.h"
#include "app/TMdacMsg.h"
#include "app/TSplash.h"
#include "core/Globals.h"
#include "core/MessageCatalog.h"
#include "core/Settings.h"
#include "core/StringUtils.h"
#include "db/Compaction.h"
#include "db/DatabaseCheck.h"
#include "db/DbError.h"
#include "db/TDataModule1.h"
#include "db/TDataModuleObject.h"
#include "maintenance/Restore.h"
#include "records/DocumentStore.h"
#include "records/PhotoStorage.h"
#include "ui/Prompt.h"
#include "ui/ScriptGauge.h"
#include "ui/WindowFrame.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QSqlDatabase>
#include <QThread>
#include <QWidget>

#include <sqlite3.h>
#include <sys/utsname.h>

namespace app {

namespace {

void pumpMessages()
{
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void initialiseApplication()
{
    const core::Globals& g = core::globals();
    QCoreApplication::setApplicationName(g.productName);
    QCoreApplication::setApplicationVersion(g.version);
    InstallFrenchTranslations();
}

}  // namespace

int KernelMajorVersion(const QString& release)
{
    return release.section(QLatin1Char('.'), 0, 0).toInt();
}

bool IsRecentSystem()
{
    struct utsname u { };
    if (uname(&u) != 0)
        return false;
    return KernelMajorVersion(QString::fromLatin1(u.release)) > 5;
}

QString WriteAccessRefusalText(const QString& title, const QString& directory)
{
    return title.toUpper() + QStringLiteral(" : EXECUTION IMPOSSIBLE") + QStringLiteral("\r\r")
        + QStringLiteral("Pour utiliser ce logiciel vous devez :") + QStringLiteral("\r\r")
        + QStringLiteral("  - Soit avoir un compte administrateur") + QStringLiteral("\r")
        + QStringLiteral("  - Soit avoir des droits en écriture sur le répertoire : ") + directory
        + QStringLiteral("\r\r");
}

bool TestWriteAccess(const QString& title, const QString& fileName)
{
    bool ok = false;
    {
        QFile file(fileName);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            const QByteArray line("admin\r\n");
            ok = file.write(line) == line.size() && file.flush();
            file.close();
            ok = ok && file.error() == QFileDevice::NoError;
        }
    }
    QFile::remove(fileName);
    if (!ok) {
        const QString dir = core::IncludeTrailingBackslash(QFileInfo(fileName).absolutePath());
        ui::showError(WriteAccessRefusalText(title, dir));
    }
    return ok;
}

bool DataAccessVersionOk(const QString& versionText)
{
    QString head = versionText.left(4);
    head.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = head.toDouble(&ok);
    return ok && v >= 2.5;
}

bool DataAccessComponentsOk()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return false;
    return DataAccessVersionOk(QString::fromLatin1(sqlite3_libversion()));
}

bool DataAccessAvailable(QString* error)
{
    const QString name = QStringLiteral("planning-probe");
    bool ok;
    {
        QSqlDatabase probe = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        ok = probe.isValid();
    }
    QSqlDatabase::removeDatabase(name);
    if (!ok && error)
        *error = QStringLiteral("Le pilote SQLite de Qt (QSQLITE) est introuvable : installez le paquet "
                                "libqt6sql6-sqlite.");
    return ok;
}

void AdaptWindowFont(QWidget* window)
{
    ui::AdaptWindowFont(window);
}

QString DatabaseFileProblem()
{
    const core::Globals& g = core::globals();
    // Any provider but these two leaves no database file to open.
    if (g.databaseFile.isEmpty())
        return QStringLiteral("Le fournisseur de données \"%1\" indiqué dans le fichier \"%2\" n'est pas reconnu : "
                              "les valeurs possibles sont OLEDB et ODBC.")
            .arg(g.db.provider, g.dataRoot + QStringLiteral("db.ini"));
    return db::CheckDatabaseFile(g.dataDir + g.databaseFile);
}

bool FinishInterruptedWork()
{
    const core::Globals& g = core::globals();
    if (!g.databaseFile.isEmpty()) {
        try {
            db::ResolveCompactionLeftovers(core::databaseFilePath());
        } catch (const db::DbError& e) {
            ui::showError(e.message());
            return false;
        }
    }
    const QString unfinished = maintenance::FinishInterruptedRestore(maintenance::DataPaths::current());
    if (!unfinished.isEmpty()) {
        ui::showError(
            QStringLiteral("La restauration d'une sauvegarde n'a pas pu être achevée dans le dossier « %1 ».\r"
                           "%2\r\rLe logiciel ne peut pas ouvrir des données à moitié restaurées : il va "
                           "s'arrêter. Libérez de la place ou rendez ce dossier accessible en écriture, puis "
                           "relancez-le pour achever la restauration.")
                .arg(g.dataDir, unfinished));
        return false;
    }
    return true;
}

QString SettingsFileNameFor(const QString& executableFileName)
{
    QString name = QFileInfo(executableFileName).fileName().toLower();
    if (name.endsWith(QStringLiteral(".exe")))
        name.chop(4);
    return name + QStringLiteral(".ini");
}

namespace {

// Steps 1 to 10: the process-wide values, the lock, the data root and its
// files. False when the start must stop (the user has been told).
bool prepareData(const StartupOptions& options, SingleInstance& instance)
{
    core::Globals& g = core::globals();

    // 1.
    g.recentSystem = options.recentSystem.value_or(IsRecentSystem());
    // 2.
    core::setProgramDirectory(options.programDir.isEmpty() ? QDir::currentPath() : options.programDir);
    // 3. The formats are fixed values of the program (dd/MM/yyyy, hh:mm:ss).
    // 4.
    g.frame = core::FrameColors{};
    g.updateScriptName = core::updateScriptNameFor(g.version);
    g.startOk = true;

    // 5. Nothing on disk is touched before the lock is ours.
    if (!instance.tryAcquire(g.instanceName)) {
        if (instance.failure().isEmpty())
            ui::showInformation(g.productName + QStringLiteral(" est déjà en exécution."));
        else
            ui::showError(QStringLiteral("Impossible de vérifier que %1 n'est pas déjà en exécution : le fichier de "
                                         "verrou ne peut être créé.\r\r")
                              .arg(g.productName)
                          + instance.failure());
        return false;
    }

    // 6. and 7.
    ResolveDataRoot(options.paths);
    ReadDatabaseLocation();

    // 8.
    g.settingsFileName =
        SettingsFileNameFor(g.executableName.isEmpty() ? QCoreApplication::applicationFilePath() : g.executableName);

    // Work that a crash cut short is finished first, so that step 9 never
    // takes a database that is only elsewhere for a first start.
    if (!FinishInterruptedWork())
        return false;

    // 9. and 10.
    return ProvideData(g.settingsFileName)
        && TestWriteAccess(g.productName + QLatin1Char(' ') + g.version, g.dataRoot + QStringLiteral("write.tmp"));
}

// Steps 11 to 14: the settings, the data-access check and the splash.
std::unique_ptr<TSplash> showSplash()
{
    core::Globals& g = core::globals();
    // 11.
    initialiseApplication();
    core::LoadSettings();

    // 12.
    g.nativeFrame = g.recentSystem || g.settings.style;

    // 13.
    if (g.settings.testMdac && !DataAccessComponentsOk()) {
        TMdacMsg message;
        ui::prompt().exec(&message);
    }

    // 14.
    auto splash = std::make_unique<TSplash>();
    if (g.settings.splash) {
        splash->show();
        splash->repaint();
    }
    splash->setMaximum(8);
    splash->setPosition(1);
    splash->setStatus(QStringLiteral("Chargement du logiciel ..."));
    pumpMessages();
    splash->setPosition(4);
    return splash;
}

struct DataModules {
    std::unique_ptr<db::TDataModule1> main;
    std::unique_ptr<db::TDataModuleObject> object;
};

// Step 15: the data modules and the connection; g.startOk false when the
// database cannot be opened (the user has been told why).
DataModules openDataModules()
{
    core::Globals& g = core::globals();
    DataModules modules;
    QString error;
    if (!DataAccessAvailable(&error)) {
        ui::showMessage(error);
        g.startOk = false;
        return modules;
    }
    modules.main = std::make_unique<db::TDataModule1>();
    // A broken file is refused before anything opens it, with a French
    // explanation rather than the layer's bare message.
    QString failure = DatabaseFileProblem();
    if (failure.isEmpty()) {
        failure = modules.main->OpenMainConnection();
        if (!failure.isEmpty())
            failure = QStringLiteral("La base de données n'a pas pu être ouverte.\r\r(") + failure + QLatin1Char(')');
    }
    if (!failure.isEmpty()) {
        g.startOk = false;
        ui::showMessage(failure);
    } else {
        // A photo change cut short by a crash is completed or undone
        // before anything shows a picture.
        records::FinishInterruptedPhotoChanges(modules.main->ADOConnection1, g.dataDir + QStringLiteral("Images/"));
    }
    modules.object = std::make_unique<db::TDataModuleObject>(modules.main->ADOConnection1);
    return modules;
}

// Step 17, and what waits for a database of this version. A step that fails
// ends the start-up; its scripts stay to run again.
bool updateDatabase(db::TDataModule1& dataModule, std::unique_ptr<TSplash>& splash)
{
    core::Globals& g = core::globals();
    if (db::DatabaseFileExists()) {
        ui::ScriptGauge feedback(splash->statusLabel());
        try {
            RunStartupUpdate(dataModule.ADOConnection1, &feedback);
        } catch (const db::DbError& e) {
            splash.reset();
            ui::showError(e.message());
            return false;
        }
    }
    // An attachment cut short by a crash leaves a file no row names; once the
    // database is known to be of this version, such files go.
    records::RemoveUnreferencedDocumentFiles(dataModule.ADOConnection1, g.dataDir + QStringLiteral("Files/"));
    return true;
}

// Steps 18 and 19: the main window, until it closes.
void runMainWindow(const StartupOptions& options, DataModules& modules, std::unique_ptr<TSplash> splash)
{
    const core::Globals& g = core::globals();
    // 18.
    splash->setPosition(5);
    splash->setStatus(QStringLiteral("Chargement du logiciel ..."));
    pumpMessages();
    splash->setPosition(6);

    // 19.
    splash->setPosition(7);
    std::unique_ptr<QWidget> mainWindow;
    if (options.createMainWindow)
        mainWindow = options.createMainWindow(*modules.main, *modules.object);
    splash->setPosition(8);
    pumpMessages();
    if (!mainWindow && options.splashLingerMs > 0 && g.settings.splash) {
        QElapsedTimer shown;
        shown.start();
        while (shown.elapsed() < options.splashLingerMs) {
            pumpMessages();
            QThread::msleep(20);
        }
    }
    splash.reset();
    if (mainWindow) {
        mainWindow->show();
        QApplication::exec();
        mainWindow.reset();
    }
}

}  // namespace

int RunStartup(const StartupOptions& options)
{
    core::Globals& g = core::globals();
    SingleInstance instance;
    if (!prepareData(options, instance)) {
        g.startOk = false;
        return 1;
    }
    std::unique_ptr<TSplash> splash = showSplash();
    // The data modules live until the sequence returns, that is until the
    // main window has closed.
    DataModules modules = openDataModules();

    // 16.
    if (!g.startOk) {
        splash.reset();
        ui::showError(QStringLiteral("EXECUTION IMPOSSIBLE !!\r\rCe logiciel a rencontré un problème lors de la "
                                     "connexion à la base de données.\rContactez le support par email pour tenter "
                                     "de trouver une solution : ")
                      + QString::fromLatin1(core::kSupportEmail));
        return 1;
    }
    if (!updateDatabase(*modules.main, splash)) {
        g.startOk = false;
        return 1;
    }
    runMainWindow(options, modules, std::move(splash));
    return 0;
}

}  // namespace app
