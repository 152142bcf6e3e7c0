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

#include <dlfcn.h>

#include <future>

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
    // The test backend's two devices are alike: each shows its device name.
    EXPECT_EQ(sources,
              QStringList({QStringLiteral("Noname frontend-tester (test:0)"),
                           QStringLiteral("Noname frontend-tester (test:1)")}));
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
    for (const char* source : {"", "NONAME FRONTEND-TESTER", "noname frontend-tester (TEST:1)", "no such scanner"}) {
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

namespace {

// The fake SANE library of this folder, with its controls.
class FakeScannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lib = dlopen(FAKE_SANE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
        setMode = reinterpret_cast<void (*)(int, int)>(dlsym(lib, "fake_sane_set_mode"));
        releaseCancel = reinterpret_cast<void (*)()>(dlsym(lib, "fake_sane_release_cancel"));
        lastOpened = reinterpret_cast<const char* (*)()>(dlsym(lib, "fake_sane_last_opened"));
        callsInside = reinterpret_cast<int (*)()>(dlsym(lib, "fake_sane_calls_inside"));
        ASSERT_TRUE(setMode && releaseCancel && lastOpened && callsInside);
        setMode(0, 0);
        SetScannerLibrary(QStringLiteral(FAKE_SANE_LIBRARY));
    }
    void TearDown() override
    {
        if (!lib)
            return;
        releaseCancel();
        // Abandoned workers leave the library before the next test.
        for (int i = 0; i < 200 && (callsInside() > 0 || ListScannerSources(2000).isEmpty()); ++i)
            QThread::msleep(20);
        setMode(0, 0);
        SetScannerLibrary(QStringLiteral("libsane.so.1"));
        dlclose(lib);
    }
    void* lib = nullptr;
    void (*setMode)(int mode, int listDelayMs) = nullptr;
    void (*releaseCancel)() = nullptr;
    const char* (*lastOpened)() = nullptr;
    int (*callsInside)() = nullptr;
};

}  // namespace

TEST_F(FakeScannerTest, AlikeDevicesAreToldApartAndTheChosenOneIsScanned)
{
    EXPECT_EQ(ListScannerSources(),
              QStringList({QStringLiteral("Acme Scan 100 (fake:one)"), QStringLiteral("Acme Scan 100 (fake:two)"),
                           QStringLiteral("Acme Solo")}));
    const struct {
        const char* source;
        const char* opened;
    } cases[] = {{"Acme Scan 100 (fake:two)", "fake:two"},
                 {"acme scan 100 (FAKE:ONE)", "fake:one"},
                 {"Acme Scan 100", "fake:one"},  // a name stored before: its first device
                 {"ACME SOLO", "fake:solo"},
                 {"", "fake:one"}};
    for (const auto& c : cases) {
        ScanRequest request;
        request.source = QString::fromLatin1(c.source);
        const ScanResult r = AcquireImage(request);
        EXPECT_TRUE(r.error.isEmpty()) << c.source << ": " << r.error.toStdString();
        EXPECT_EQ(r.image.size(), QSize(4, 2)) << c.source;
        EXPECT_STREQ(lastOpened(), c.opened) << c.source;
    }
}

TEST_F(FakeScannerTest, FaultyDriversEndWithAFrenchMessageAndFreeTheScanner)
{
    const struct {
        int mode;
        const char* message;
    } cases[] = {{1, "La numérisation a échoué : le scanner annonce des lignes de 2 octets pour 4 pixels."},
                 {2, "La numérisation a échoué : mémoire insuffisante pour l'image."}};
    for (const auto& c : cases) {
        setMode(c.mode, 0);
        const ScanResult r = AcquireImage({});
        EXPECT_TRUE(r.image.isNull()) << c.mode;
        EXPECT_EQ(r.error, QString::fromUtf8(c.message)) << c.mode;
        // The scanner is free again at once.
        setMode(0, 0);
        EXPECT_EQ(ListScannerSources(1000).size(), 3) << c.mode;
    }
}

TEST_F(FakeScannerTest, ACancelThatBlocksDoesNotHoldTheWindow)
{
    // The device says nothing, and its cancel waits for it.
    setMode(3, 0);
    ScanRequest request;
    request.stallMs = 100;
    auto scan = std::async(std::launch::async, [request] { return AcquireImage(request); });
    const bool ended = scan.wait_for(std::chrono::seconds(6)) == std::future_status::ready;
    releaseCancel();
    ASSERT_TRUE(ended) << "the waiting thread is stuck in sane_cancel";
    EXPECT_EQ(scan.get().error, QStringLiteral("Le scanner ne répond pas : la numérisation est abandonnée."));
}

TEST_F(FakeScannerTest, ListingOnAThreadOfItsOwn)
{
    setMode(0, 300);
    QElapsedTimer clock;
    clock.start();
    const auto probe = SourceProbe::start();
    EXPECT_FALSE(probe->ready());
    EXPECT_LT(clock.elapsed(), 200);
    for (int i = 0; i < 300 && !probe->ready(); ++i)
        QThread::msleep(10);
    ASSERT_TRUE(probe->ready());
    EXPECT_EQ(probe->sources().size(), 3);
    EXPECT_TRUE(SourcesUsable(probe->sources()));
    EXPECT_FALSE(SourcesUsable({QString()}));
}
