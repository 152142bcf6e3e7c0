#pragma once

#include "archive/Cabinet.h"
#include "core/Clock.h"
#include "core/Globals.h"
#include "db/Schema.h"
#include "db/TDataModule1.h"
#include "dossiers/DossierCommands.h"
#include "maintenance/Backup.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Sandbox.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QWidget>

#include "../support/Cabextract.h"

#include <gtest/gtest.h>

#include <memory>

namespace maintenance_tests {

// Stands for the main window: records what the commands ask of it.
class FakeDisplay : public dossiers::DossierDisplay {
public:
    void OpenDossierDisplay(int number, int, const QString&) override { open = number; }
    void CloseDossierDisplay(bool) override
    {
        open = -1;
        ++closed;
    }
    void UpdateMenus() override { ++menus; }
    QWidget* displayWindow() override { return &window; }
    int OpenDossierNumber() const override { return open; }
    QWidget window;
    int open = 1;
    int closed = 0;
    int menus = 0;
};

// The files of a folder by name with their bytes.
inline QMap<QString, QByteArray> filesOf(const QString& dir)
{
    QMap<QString, QByteArray> out;
    QDir d(dir);
    for (const QString& name : d.entryList(QDir::Files | QDir::Hidden))
        out.insert(name, testing_support::Sandbox::readFile(d.filePath(name)));
    return out;
}

using testing_support::CabextractAccepts;

inline QStringList entryNames(const QString& cabinet)
{
    QStringList names;
    const archive::CabinetReader reader(cabinet);
    for (const archive::Entry& e : reader.entries())
        names << e.name;
    return names;
}

// A data root with a database holding one dossier, two pictures, a non-JPEG
// file in Images/ and two stored documents (one not matching "*.f").
class MaintenanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox = std::make_unique<testing_support::Sandbox>(false);
        core::Globals& g = core::globals();
        g.dataRoot = sandbox->root() + QStringLiteral("root/");
        g.dataDir = g.dataRoot + QStringLiteral("Data/");
        g.databaseFile = QStringLiteral("Access/PLANNING.MDB");
        for (const char* d : {"Data/Access", "Data/Images", "Data/Files", "Backup"})
            QDir().mkpath(g.dataRoot + QLatin1String(d));
        db::CreateDatabaseFile(dbPath());
        write(QStringLiteral("Images/People1.jpg"), "\xFF\xD8 photo 1");
        write(QStringLiteral("Images/Project2.jpg"), QByteArray(70000, 'p'));
        write(QStringLiteral("Images/notes.txt"), "pas une image");
        write(QStringLiteral("Files/File3.f"), "MSCF document");
        write(QStringLiteral("Files/File.Tmp"), "transitoire");
        dm = std::make_unique<db::TDataModule1>();
        ASSERT_EQ(dm->OpenMainConnection(), QString());
        exec(QStringLiteral("INSERT INTO PROFILES (LoginName, PlanningMode) VALUES ('Avant', 0)"));
        core::setClock([] { return QDateTime(QDate(2009, 3, 5), QTime(14, 7, 59)); });
    }
    void TearDown() override
    {
        dm.reset();
        sandbox.reset();
    }

    static QString root() { return core::globals().dataRoot; }
    static QString dataDir() { return core::globals().dataDir; }
    static QString dbPath() { return core::databaseFilePath(); }
    static QString backupDir() { return root() + QStringLiteral("Backup/"); }
    static void write(const QString& relative, const QByteArray& data)
    {
        testing_support::Sandbox::writeFile(dataDir() + relative, data);
    }
    void exec(const QString& sql) { dm->ADOConnection1.exec(sql); }
    QStringList column(const QString& sql)
    {
        QStringList out;
        db::Dataset q(&dm->ADOConnection1);
        q.setSQLText(sql);
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            out << q.FieldAt(0).AsString();
        q.Close();
        return out;
    }
    // The whole data: database rows that matter, both stores.
    struct State {
        QStringList dossiers;
        QMap<QString, QByteArray> images, documents;
        bool operator==(const State& o) const
        {
            return dossiers == o.dossiers && images == o.images && documents == o.documents;
        }
    };
    State state()
    {
        return {column(QStringLiteral("SELECT LoginName FROM PROFILES ORDER BY ID")),
                filesOf(dataDir() + QStringLiteral("Images")), filesOf(dataDir() + QStringLiteral("Files"))};
    }

    std::unique_ptr<testing_support::Sandbox> sandbox;
    std::unique_ptr<db::TDataModule1> dm;
    FakeDisplay display;
    ui::ScriptedPrompt prompt;
};

}  // namespace maintenance_tests
