#include "maintenance/MaintenanceCommands.h"

#include "core/Clock.h"
#include "core/Globals.h"
#include "db/Compaction.h"
#include "db/DbError.h"
#include "db/TDataModule1.h"
#include "dossiers/DossierCommands.h"
#include "maintenance/Backup.h"
#include "maintenance/MaintenanceError.h"
#include "maintenance/Restore.h"
#include "maintenance/TBackupList.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"
#include "ui/ScriptGauge.h"
#include "ui/TWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QWidget>

#include <memory>

namespace maintenance {

namespace {

const QString kFilter = QStringLiteral("Sauvegarde base de donnée|*bkp");

// The main window disabled and the connection closed for the work; both
// back in every case. The reopening failure, if any, is kept for the caller.
class ClosedConnection {
public:
    ClosedConnection(db::TDataModule1& dm, QWidget* main) : m_dm(dm), m_main(main)
    {
        if (m_main)
            m_main->setEnabled(false);
        m_dm.ADOConnection1.close();
    }
    ~ClosedConnection()
    {
        if (!m_abandoned)
            reopen();
    }
    // The data may not be opened again in this run: the connection stays
    // closed and the main window disabled.
    void abandon() { m_abandoned = true; }
    QString reopen()
    {
        if (!m_done) {
            m_done = true;
            m_failure = m_dm.OpenMainConnection();
            if (m_main)
                m_main->setEnabled(true);
        }
        return m_failure;
    }

private:
    db::TDataModule1& m_dm;
    QWidget* m_main;
    bool m_done = false;
    bool m_abandoned = false;
    QString m_failure;
};

std::unique_ptr<ui::TWait> showWait(QWidget* main, const QString& task, bool gauge)
{
    auto wait = std::make_unique<ui::TWait>();
    wait->centerOn(main);
    wait->setTask(task);
    wait->setMessage(QStringLiteral("Quelques instants, SVP ..."));
    wait->setPosition(0);
    wait->setMaximum(1);
    wait->setGaugeVisible(gauge);
    wait->showAndPump();
    return wait;
}

// Lets the wait window repaint during long steps, at most every 50 ms.
class Pump {
public:
    void operator()()
    {
        if (m_clock.isValid() && m_clock.elapsed() < 50)
            return;
        m_clock.start();
        ui::TWait::pump();
    }

private:
    QElapsedTimer m_clock;
};

QString withDefaultExtension(const QString& fileName)
{
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + QStringLiteral(".bkp") : fileName;
}

}  // namespace

MaintenanceCommands::MaintenanceCommands(db::TDataModule1& dataModule, dossiers::DossierDisplay& display)
    : m_dm(dataModule), m_display(display), m_quit([] {
          QMetaObject::invokeMethod(
              QCoreApplication::instance(), [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
      })
{ }

void MaintenanceCommands::setQuitProgram(std::function<void()> quit)
{
    m_quit = std::move(quit);
}

void MaintenanceCommands::Popup_Tools_DataBase_BackupClick()
{
    const QString dir = core::globals().dataRoot + QStringLiteral("Backup/");
    const QString chosen =
        ui::prompt().saveFileName(m_display.displayWindow(), QStringLiteral("Localisation de la sauvegarde"),
                                  dir + ProposedBackupName(core::today()), kFilter);
    if (chosen.isEmpty())
        return;
    if (!BackupDatabase(withDefaultExtension(chosen), QString::fromUtf8(kBackupDescription)))
        return;
    QString text = QStringLiteral("Sauvegarde effectuée.");
    if (!m_leftOut.isEmpty())
        text += QStringLiteral("\r\rCes fichiers n'ont pas été sauvegardés, leur nom ne pouvant pas figurer dans une "
                               "archive (barre oblique inverse, retour à la ligne, ou nom ne différant d'un autre que "
                               "par les majuscules) :\r")
            + m_leftOut.join(QStringLiteral("\r"));
    ui::showInformation(text, m_display.displayWindow());
}

bool MaintenanceCommands::BackupDatabase(const QString& fileName, const QString& description)
{
    QWidget* main = m_display.displayWindow();
    m_leftOut.clear();
    // Refused before anything is written, the history row included.
    QString failure = BackupTargetProblem(DataPaths::current(), fileName);
    if (!failure.isEmpty()) {
        ui::showError(QStringLiteral("La sauvegarde n'a pas été faite.\r") + failure, main);
        return false;
    }
    {
        ui::HourglassCursor hourglass;
        // Written before the work, so a failed backup still leaves its row.
        try {
            AddBackupHistory(m_dm.Backup, description, fileName);
        } catch (const db::DbError& e) {
            failure = e.message();
        }
        if (failure.isEmpty()) {
            auto wait = showWait(main, QStringLiteral("Sauvegarde de la base"), true);
            ClosedConnection closed(m_dm, main);
            const DataPaths paths = DataPaths::current();
            Pump pump;
            try {
                db::CompactInPlace(paths.databasePath);
                const QStringList files = BackupFileList(paths, &m_leftOut);
                const int others = static_cast<int>(files.size()) - 1;
                // The database, the largest entry, moves the bar by its bytes;
                // then the bar counts the pictures and files.
                wait->setMaximum(1000);
                const qint64 databaseSize = QFileInfo(paths.databasePath).size();
                int shown = -1;
                WriteBackupArchive(files, paths, fileName, [&](const archive::Progress& p) {
                    if (p.entry == 0) {
                        wait->setPosition(
                            databaseSize > 0 ? static_cast<int>(qMin(p.done, databaseSize) * 1000 / databaseSize) : 0);
                    } else if (p.entry != shown) {
                        shown = p.entry;
                        wait->setTask(QStringLiteral("Compression : ") + QFileInfo(files.at(p.entry)).fileName());
                        wait->setMaximum(others);
                        wait->setPosition(p.entry);
                    }
                    pump();
                });
            } catch (const core::UserError& e) {
                failure = e.message();
            }
            const QString reopen = closed.reopen();
            if (failure.isEmpty())
                failure = reopen;
        }
    }
    if (!failure.isEmpty()) {
        ui::showError(QStringLiteral("La sauvegarde n'a pas été faite.\r") + failure, main);
        return false;
    }
    return true;
}

void MaintenanceCommands::Popup_Tools_DataBase_restoreClick()
{
    QWidget* main = m_display.displayWindow();
    const QString chosen =
        ui::prompt().openFileName(main, QStringLiteral("Sélectionnez la base de données à restaurer"),
                                  core::globals().dataRoot + QStringLiteral("Backup/"), kFilter);
    if (chosen.isEmpty())
        return;
    QString failure;
    RestoreOutcome outcome;
    {
        ui::HourglassCursor hourglass;
        auto wait = showWait(main, QStringLiteral("Préparation de la restauration"), false);
        m_display.CloseDossierDisplay(true);
        ClosedConnection closed(m_dm, main);
        Pump pump;
        RestoreProgress progress;
        progress.task = [&](const QString& text) {
            wait->setTask(text);
            wait->repaint();
            pump();
        };
        bool unpacking = false;
        int shown = -1;
        progress.unpacking = [&](const archive::Progress& p) {
            if (!unpacking) {
                unpacking = true;
                wait->setGaugeVisible(true);
                wait->setTask(QStringLiteral("Décompression des fichiers ..."));
                wait->setPosition(0);
                wait->setMaximum(RestoreGaugeMaximum(p));
            }
            const int position = RestoreGaugePosition(p);
            if (position != shown) {
                shown = position;
                wait->setPosition(position);
            }
            pump();
        };
        progress.keeping = [&](const archive::Progress& p) {
            wait->setPosition(p.total > 0 ? static_cast<int>(p.done * 1000 / p.total) : 0);
            pump();
        };
        try {
            outcome = RestoreArchive(chosen, DataPaths::current(), progress);
        } catch (const RestorePendingError& e) {
            // Half the data is restored: nothing opens it before the next
            // start finishes the swap.
            closed.abandon();
            wait.reset();
            ui::showError(e.message(), main);
            m_quit();
            return;
        } catch (const core::UserError& e) {
            failure = e.message();
        }
        wait->taskLabel()->setStyleSheet(QStringLiteral("font-size: 11pt"));
        const QString reopen = closed.reopen();
        // The restored database is the program's from here on: the rows go
        // into it.
        if (failure.isEmpty() && reopen.isEmpty()) {
            try {
                // An archive of an older version is brought up to date
                // before anything else reads it.
                wait->hide();
                ui::ScriptGauge gauge;
                UpdateRestoredDatabase(m_dm.ADOConnection1, &gauge);
                AddBackupHistory(m_dm.Backup, QString::fromUtf8(kSafetyDescription), outcome.safetyArchive);
                AddBackupHistory(m_dm.Backup, QString::fromUtf8(kRestoreDescription), chosen);
            } catch (const db::DbError& e) {
                failure = e.message();
            }
        } else if (failure.isEmpty()) {
            failure = reopen;
        }
    }
    m_display.ClearUndoHistory();
    m_display.UpdateMenus();
    if (!failure.isEmpty()) {
        ui::showError(failure, main);
        return;
    }
    QString text = QStringLiteral("Sauvegarde restaurée.");
    if (outcome.leftOut > 0)
        text += QStringLiteral("\r\r%1 fichier(s) de l'archive, ni base de données, ni image, ni document joint, "
                               "n'ont pas été restaurés.")
                    .arg(outcome.leftOut);
    ui::showInformation(text, main);
}

void MaintenanceCommands::Popup_Tools_DataBase_HistoryClick()
{
    TBackupList list(m_dm, m_display.displayWindow());
    ui::prompt().exec(&list);
}

void MaintenanceCommands::Popup_Tools_DataBase_CompactClick()
{
    QWidget* main = m_display.displayWindow();
    if (!ui::confirm(QStringLiteral("Confirmez-vous le compactage de la base de données ?"), main))
        return;
    QString failure;
    {
        ui::HourglassCursor hourglass;
        const core::Globals& g = core::globals();
        try {
            AddBackupHistory(m_dm.Backup, QString::fromUtf8(kCompactDescription), g.dataDir + g.db.oledbFileName);
        } catch (const db::DbError& e) {
            failure = e.message();
        }
        if (failure.isEmpty()) {
            auto wait = showWait(main, QStringLiteral("Compactage de la base"), false);
            ClosedConnection closed(m_dm, main);
            try {
                db::CompactInPlace(core::databaseFilePath());
            } catch (const db::DbError& e) {
                failure = e.message();
            }
            const QString reopen = closed.reopen();
            if (failure.isEmpty())
                failure = reopen;
        }
    }
    m_display.ClearUndoHistory();
    if (!failure.isEmpty())
        ui::showError(failure, main);
    else
        ui::showInformation(QStringLiteral("Compactage effectué."), main);
}

}  // namespace maintenance
