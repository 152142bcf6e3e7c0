#include "core/IniFile.h"
#include "core/SaveFile.h"
#include "core/Settings.h"
#include "core/TextFile.h"

#include "../support/Faults.h"
#include "../support/Sandbox.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using testing_support::Sandbox;
using testing_support::SmallDisk;

namespace {

QStringList filesIn(const QString& dir)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    names.removeAll(QStringLiteral("filler"));
    return names;
}

}  // namespace

// On a disk that fills up at any point the old file stays whole and the
// failure is reported; with room enough the new file is whole.
TEST(SaveFile, FullDiskKeepsTheOldFileAndSaysSo)
{
    Sandbox sandbox(false);
    SmallDisk disk(sandbox.root() + QStringLiteral("disk"), 256 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "mounting a tmpfs is refused here";
    const QString path = disk.directory() + QStringLiteral("/planning.ini");
    const QString source = sandbox.root() + QStringLiteral("source.bin");
    const QByteArray oldData("[Windows]\r\nLeft=10\r\n");
    const QByteArray newData(5 * 4096 + 100, 'n');
    Sandbox::writeFile(source, newData);
    int refused = 0;
    int written = 0;
    for (int pages = 0; pages <= 8; ++pages) {
        for (int routine = 0; routine < 2; ++routine) {
            disk.removeFiller();
            Sandbox::writeFile(path, oldData);
            disk.fillLeaving(pages * 4096);
            QString error;
            const bool ok = routine == 0 ? core::saveFileAtomically(path, newData, &error)
                                         : core::copyFileAtomically(source, path, &error);
            const QByteArray now = Sandbox::readFile(path);
            if (ok) {
                ++written;
                EXPECT_TRUE(now == newData) << pages << " free pages, routine " << routine << ": " << now.size()
                                            << " bytes reported as written";
            } else {
                ++refused;
                EXPECT_TRUE(now == oldData)
                    << pages << " free pages, routine " << routine << ": " << now.size() << " bytes";
                EXPECT_FALSE(error.isEmpty());
            }
            // Nothing is left beside the file, whatever happened.
            EXPECT_EQ(filesIn(disk.directory()), QStringList{QStringLiteral("planning.ini")});
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(written, 0);

    // The settings and INI writers report the failure the same way.
    disk.removeFiller();
    Sandbox::writeFile(path, oldData);
    disk.fillLeaving(0);
    core::Settings s;
    s.twainSource = QString(9000, QLatin1Char('x'));
    EXPECT_FALSE(core::SaveSettings(path, s));
    EXPECT_FALSE(core::writeTextFile(path, QStringList(3000, QStringLiteral("ligne"))));
    EXPECT_EQ(Sandbox::readFile(path), oldData);
}

TEST(SaveFile, CopyOntoItselfOrFromNowhere)
{
    Sandbox sandbox(false);
    const QString path = sandbox.root() + QStringLiteral("a.jpg");
    Sandbox::writeFile(path, "picture");
    EXPECT_TRUE(core::copyFileAtomically(path, path));
    EXPECT_EQ(Sandbox::readFile(path), QByteArray("picture"));
    QString error;
    EXPECT_FALSE(core::copyFileAtomically(sandbox.root() + QStringLiteral("none.jpg"), path, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("none.jpg")));
    EXPECT_EQ(Sandbox::readFile(path), QByteArray("picture"));
    EXPECT_FALSE(core::copyFileAtomically(sandbox.root(), path));
    EXPECT_EQ(filesIn(sandbox.root()), QStringList{QStringLiteral("a.jpg")});
}

// The settings write and a file copy killed at every write, sync and rename:
// the file is the old one or the new one, never a mix.
TEST(SaveFile, KilledAtEveryWriteLeavesOldOrNew)
{
    Sandbox sandbox(false);
    const QString path = sandbox.root() + QStringLiteral("planning.ini");
    const QString source = sandbox.root() + QStringLiteral("big.bin");
    QByteArray big(3 * 1024 * 1024 + 17, '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    Sandbox::writeFile(source, big);
    core::Settings before;
    before.left = 10;
    struct Case {
        const char* name;
        QStringList args;
        QByteArray oldData;
    };
    const Case cases[] = {
        {"settings", {QStringLiteral("save-settings"), path}, {}},
        {"copy", {QStringLiteral("copy"), source, path}, QByteArray("old copy")},
    };
    for (const Case& c : cases) {
        QByteArray oldData;
        auto prepare = [&] {
            QFile::remove(path);
            if (c.oldData.isEmpty())
                core::SaveSettings(path, before);
            else
                Sandbox::writeFile(path, c.oldData);
            oldData = Sandbox::readFile(path);
        };
        bool sawNew = false;
        const auto kills = testing_support::killAtEveryCall(
            QStringLiteral(CORE_PROBE), c.args, testing_support::fileWritingCalls(), prepare,
            [&](const QString& call, int n) {
                const QByteArray now = Sandbox::readFile(path);
                if (now == oldData)
                    return;
                sawNew = true;
                // Only the whole new file may replace the old one.
                if (c.oldData.isEmpty()) {
                    const core::Settings after = core::LoadSettings(path);
                    EXPECT_EQ(after.left, 111) << c.name << " killed at " << call.toStdString() << " " << n;
                    EXPECT_EQ(after.twainSource.size(), 3000) << c.name << " killed at " << call.toStdString();
                } else {
                    EXPECT_TRUE(now == big)
                        << c.name << " killed at " << call.toStdString() << " " << n << ": " << now.size() << " bytes";
                }
            });
        if (!kills)
            GTEST_SKIP() << "strace is missing";
        EXPECT_GT(*kills, 3) << c.name;
        EXPECT_TRUE(sawNew) << c.name << ": no kill fell after the rename";
    }
}
