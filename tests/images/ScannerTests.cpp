#include "core/Globals.h"
#include "images/ImageRoutines.h"
#include "images/Scanner.h"
#include "images/TTwainScan.h"
#include "ui/ScriptedPrompt.h"

#include "../support/FrameCheck.h"
#include "../support/Sandbox.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace images;
using testing_support::Sandbox;

namespace {

// SANE's own "test" backend, configured through SANE_CONFIG_DIR.
class ScannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(config.isValid());
        qputenv("SANE_CONFIG_DIR", QFile::encodeName(config.path()));
        core::globals().settings = core::Settings();
        useBackends("test\n");
        configureTestDevice({});
        SetScannerLibrary(QStringLiteral("libsane.so.1"));
    }
    void TearDown() override { waitIdle(); }
    void useBackends(const QByteArray& lines)
    {
        Sandbox::writeFile(config.path() + QStringLiteral("/dll.conf"), lines);
    }
    void configureTestDevice(const QByteArray& extra)
    {
        Sandbox::writeFile(config.path() + QStringLiteral("/test.conf"),
                           "number_of_devices 2\nmode Color\ndepth 8\nresolution 50.0\n"
                           "test-picture \"Color pattern\"\nbr_x 40.0\nbr_y 30.0\n"
                               + extra);
    }
    // A worker abandoned after a time-out ends on its own soon after.
    static void waitIdle()
    {
        for (int i = 0; i < 100; ++i) {
            if (!ListScannerSources(2000).isEmpty() || i > 10)
                return;
            QThread::msleep(50);
        }
    }
    // SANE reads SANE_CONFIG_DIR once per process: one folder for all tests.
    static inline QTemporaryDir config;
};

}  // namespace

TEST_F(ScannerTest, SourcesAreTheDevicesByVendorAndModel)
{
    const QStringList sources = ListScannerSources();
    ASSERT_EQ(sources.size(), 2);
    EXPECT_EQ(sources.first(), QStringLiteral("Noname frontend-tester"));
    EXPECT_TRUE(ScannerAvailable());
    useBackends("");
    EXPECT_TRUE(ListScannerSources().isEmpty());
    EXPECT_FALSE(ScannerAvailable());
    useBackends("test\n");
    SetScannerLibrary(QStringLiteral("libsane-absent.so.9"));
    EXPECT_TRUE(ListScannerSources().isEmpty());
    EXPECT_TRUE(AcquireImage({}).libraryMissing);
}

TEST_F(ScannerTest, OneImageFromTheChosenOrTheFirstSource)
{
    for (const char* source : {"", "NONAME FRONTEND-TESTER", "no such scanner"}) {
        ScanRequest request;
        request.source = QString::fromLatin1(source);
        const ScanResult r = AcquireImage(request);
        EXPECT_TRUE(r.error.isEmpty()) << source << ": " << r.error.toStdString();
        // 40 × 30 mm at 50 dpi.
        EXPECT_EQ(r.image.size(), QSize(78, 59)) << source;
        EXPECT_EQ(r.image.format(), QImage::Format_RGB888);
    }
    useBackends("");
    const ScanResult none = AcquireImage({});
    EXPECT_TRUE(none.image.isNull());
    EXPECT_EQ(none.error, QStringLiteral("Aucun scanner n'a été trouvé."));
}

TEST_F(ScannerTest, SilentDeviceEndsWithAMessageWithinSeconds)
{
    // Every read waits 200 ms for one byte: no sign of life within 100 ms.
    configureTestDevice("read-limit true\nread-limit-size 1\nread-delay true\nread-delay-duration 200000\n");
    ScanRequest request;
    request.stallMs = 100;
    int pumped = 0;
    request.pump = [&pumped] { ++pumped; };
    QElapsedTimer clock;
    clock.start();
    const ScanResult r = AcquireImage(request);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(r.image.isNull());
    EXPECT_EQ(r.error, QStringLiteral("Le scanner ne répond pas : la numérisation est abandonnée."));
    EXPECT_GT(pumped, 0);  // the window kept running meanwhile
}

TEST_F(ScannerTest, ScanDialogRotatesBackToTheScan)
{
    core::globals().settings.twainSource = QStringLiteral("noname Frontend-Tester");
    ui::ScriptedPrompt prompt;
    TTwainScan dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Numérisation d'une image"));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Btn_Ok"));
    EXPECT_FALSE(ok->isEnabled());
    dialog.Acquire();
    EXPECT_TRUE(prompt.messages().isEmpty());
    const QImage scan = dialog.picture().convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(scan.size(), QSize(78, 59));
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Lab_Image"))->text(), QStringLiteral("Image (78 x 59)"));
    auto* right = dialog.findChild<QPushButton*>(QStringLiteral("Btn_Rotation_Right"));
    right->click();
    EXPECT_EQ(dialog.picture().size(), QSize(59, 78));
    for (int i = 0; i < 3; ++i)
        right->click();
    EXPECT_EQ(dialog.picture().convertToFormat(QImage::Format_RGB888), scan);
}

TEST_F(ScannerTest, MissingLibraryGivesTheCatalogueMessage)
{
    SetScannerLibrary(QStringLiteral("libsane-absent.so.9"));
    ui::ScriptedPrompt prompt;
    TTwainScan dialog;
    dialog.Acquire();
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().first().text.startsWith(QStringLiteral("Chargement Twain impossible.")));
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->isEnabled());
}

TEST_F(ScannerTest, ScanDialogKeepsItsDesignSizeInBothFrameModes)
{
    SetScannerLibrary(QStringLiteral("libsane-absent.so.9"));
    ui::ScriptedPrompt prompt;
    for (bool system : {false, true}) {
        core::globals().nativeFrame = system;
        TTwainScan dialog;
        testing_support::ExpectFramedWindow(&dialog, {320, 442}, system, QStringLiteral("TwainScan"));
    }
    core::globals().nativeFrame = false;
}
