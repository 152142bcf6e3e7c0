#include "app/Startup.h"
#include "core/Globals.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Faults.h"
#include "../support/Sandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QWidget>

#include <gtest/gtest.h>

#include <sys/mount.h>

using testing_support::Sandbox;

namespace {

app::StartupOptions optionsFor(const Sandbox& s)
{
    app::StartupOptions o;
    o.programDir = s.programDir();
    o.paths.documentsDir = s.documents();
    o.paths.isOnRemovableDrive = [](const QString&) { return false; };
    o.recentSystem = true;
    return o;
}

QByteArray templateDatabase(const Sandbox& s)
{
    return Sandbox::readFile(s.programDir() + QStringLiteral("Ressources/DB/Data/Access/PLANNING.MDB"));
}

// Starts and expects the stop: a French explanation, then the connection box.
void expectRefusedStart(const Sandbox& s, const char* explanation, const char* label)
{
    ui::ScriptedPrompt prompt;
    bool mainWindow = false;
    app::StartupOptions o = optionsFor(s);
    o.createMainWindow = [&mainWindow](db::TDataModule1&, db::TDataModuleObject&) {
        mainWindow = true;
        return std::unique_ptr<QWidget>();
    };
    EXPECT_EQ(app::RunStartup(o), 1) << label;
    EXPECT_FALSE(mainWindow) << label;
    ASSERT_EQ(prompt.messages().size(), 2) << label;
    EXPECT_EQ(prompt.messages().at(0).kind, ui::MessageKind::Plain);
    EXPECT_TRUE(prompt.messages().at(0).text.contains(QString::fromUtf8(explanation)))
        << label << ": " << prompt.messages().at(0).text.toStdString();
    EXPECT_EQ(prompt.messages().at(1).kind, ui::MessageKind::Error);
    EXPECT_TRUE(prompt.messages().at(1).text.startsWith(QStringLiteral("EXECUTION IMPOSSIBLE !!\r\rCe logiciel")));
}

}  // namespace

// A database that cannot serve is refused at start, with a French reason,
// and the user's file is left exactly as it was.
TEST(BrokenDatabase, RefusedAtStartAndLeftAlone)
{
    const struct {
        const char* label;
        const char* explanation;
    } cases[] = {
        {"zero bytes", "est vide"},
        {"corrupt page behind a sound header", "est endommagé"},
        {"another program's database", "il y manque les tables PROFILES, PEOPLE, PROJECT, PLANNING"},
        {"text", "est endommagé ou n'est pas une base de données du logiciel"},
    };
    for (const auto& c : cases) {
        Sandbox s;
        const QString dbFile = s.defaultDataRoot() + QStringLiteral("Data/Access/PLANNING.MDB");
        QByteArray content;
        const QString label = QString::fromLatin1(c.label);
        if (label == QStringLiteral("corrupt page behind a sound header")) {
            content = templateDatabase(s);
            ASSERT_GT(content.size(), 5 * 4096);
            content.replace(3 * 4096, 4096, QByteArray(4096, 'Z'));  // the root page of PEOPLE
        } else if (label == QStringLiteral("another program's database")) {
            const QString other = s.root() + QStringLiteral("other.db");
            QProcess::execute(QStringLiteral("sqlite3"), {other, QStringLiteral("CREATE TABLE NOTES (T TEXT)")});
            content = Sandbox::readFile(other);
            if (content.isEmpty())
                continue;  // no sqlite3 tool
        } else if (label == QStringLiteral("text")) {
            content = QByteArray("plain text, no database ").repeated(200);
        }
        Sandbox::writeFile(dbFile, content);
        expectRefusedStart(s, c.explanation, c.label);
        EXPECT_TRUE(Sandbox::readFile(dbFile) == content) << c.label;
        EXPECT_FALSE(QFile::exists(dbFile + QStringLiteral("-journal"))) << c.label;
    }
}

TEST(BrokenDatabase, UnknownProviderStops)
{
    Sandbox s;
    const QString root = s.defaultDataRoot();
    QDir().mkpath(root);
    Sandbox::writeFile(root + QStringLiteral("db.ini"), "[DataBase]\r\nProvider=ADO\r\nPath=Data\\\r\n");
    expectRefusedStart(s, "Le fournisseur de données \"ADO\"", "provider");
}

// A database the program cannot write to would fail at the first save.
TEST(BrokenDatabase, ReadOnlyDatabaseStops)
{
    Sandbox s;
    const QString access = s.defaultDataRoot() + QStringLiteral("Data/Access");
    testing_support::SmallDisk disk(access, 4 * 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    const QString dbFile = access + QStringLiteral("/PLANNING.MDB");
    Sandbox::writeFile(dbFile, templateDatabase(s));
    if (::mount("tmpfs", QFile::encodeName(access).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "remounting read-only is refused here";
    expectRefusedStart(s, "ne peut pas être modifié", "read-only");
    EXPECT_TRUE(Sandbox::readFile(dbFile) == templateDatabase(s));
}
