#include "core/Globals.h"
#include "core/Settings.h"
#include "images/Scanner.h"
#include "records/ComboLists.h"
#include "records/EditControls.h"
#include "records/TEnterDocument.h"
#include "records/TEnterProperties.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Sandbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <dlfcn.h>

#include <gtest/gtest.h>

using namespace records;
using testing_support::Sandbox;

namespace {

class PropertiesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::Globals& g = core::globals();
        g.dataRoot = sandbox.root();
        g.settingsFileName = QStringLiteral("planning.ini");
        g.settings = core::Settings();
        g.settings.twainSource = QStringLiteral("Ancien scanner");
        ASSERT_TRUE(core::SaveSettings());
        before = Sandbox::readFile(core::settingsFilePath());
    }
    Sandbox sandbox{false};
    ui::ScriptedPrompt prompt;
    QByteArray before;
};

}  // namespace

TEST_F(PropertiesTest, OkClampsAndWrites)
{
    prompt.setNextDialogHandler([](QDialog* d) {
        auto* dialog = qobject_cast<TEnterProperties*>(d);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Propriétés"));
        EXPECT_EQ(dialog->Ed_TwainSource->text(), QStringLiteral("Ancien scanner"));
        EXPECT_EQ(dialog->Ed_ScanMaxWidth->Value(), 5000);
        dialog->Ed_TwainSource->setText(QStringLiteral("Noname frontend-tester"));
        dialog->Check_ShowTwainUI->setChecked(true);
        dialog->Ed_ScanMaxWidth->setValue(100);
        dialog->Ed_ScanJpegQuality->setValue(0);
        dialog->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->click();
        return dialog->result();
    });
    Popup_File_PropertiesClick(nullptr);
    const core::Settings stored = core::LoadSettings(core::settingsFilePath());
    EXPECT_EQ(stored.maxWidth, 500);
    EXPECT_EQ(stored.jpegQuality, 10);
    EXPECT_EQ(stored.twainSource, QStringLiteral("Noname frontend-tester"));
    EXPECT_TRUE(stored.showTwainUI);
}

// What the user types over a selected value is what is stored.
TEST_F(PropertiesTest, TypingOverTheSelectedValueStoresIt)
{
    prompt.setNextDialogHandler([](QDialog* d) {
        auto* dialog = qobject_cast<TEnterProperties*>(d);
        dialog->show();
        for (auto [edit, typed] :
             {std::pair{dialog->Ed_ScanMaxWidth, "1200"}, std::pair{dialog->Ed_ScanJpegQuality, "80"}}) {
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, QString::fromLatin1(typed));
        }
        dialog->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->click();
        return dialog->result();
    });
    Popup_File_PropertiesClick(nullptr);
    const core::Settings stored = core::LoadSettings(core::settingsFilePath());
    EXPECT_EQ(stored.maxWidth, 1200);
    EXPECT_EQ(stored.jpegQuality, 80);
}

TEST_F(PropertiesTest, AnnulerAndCloseBoxLeaveTheFileAlone)
{
    for (const char* how : {"Btn_Cancel", "SysExitBtn"}) {
        prompt.setNextDialogHandler([how](QDialog* d) {
            auto* dialog = qobject_cast<TEnterProperties*>(d);
            dialog->Ed_ScanMaxWidth->setValue(3000);
            dialog->Ed_TwainSource->setText(QStringLiteral("Autre"));
            if (auto* b = dialog->findChild<QPushButton*>(QString::fromLatin1(how)))
                b->click();
            else
                dialog->reject();
            return int(QDialog::Rejected);
        });
        Popup_File_PropertiesClick(nullptr);
        EXPECT_EQ(Sandbox::readFile(core::settingsFilePath()), before) << how;
        EXPECT_EQ(core::globals().settings.maxWidth, 5000);
    }
}

namespace {

// The scanner dialogs over the fake SANE library of the image tests, whose
// listing takes listDelayMs as a network backend's does.
class ScannerDialogTest : public PropertiesTest {
protected:
    void SetUp() override
    {
        PropertiesTest::SetUp();
        lib = dlopen(FAKE_SANE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
        setMode = reinterpret_cast<void (*)(int, int)>(dlsym(lib, "fake_sane_set_mode"));
        ASSERT_NE(setMode, nullptr);
        images::SetScannerLibrary(QStringLiteral(FAKE_SANE_LIBRARY));
    }
    void TearDown() override
    {
        if (!lib)
            return;
        // A listing still running ends before the next test.
        setMode(0, 0);
        for (int i = 0; i < 300 && images::ListScannerSources(2000).isEmpty(); ++i)
            QThread::msleep(20);
        images::SetScannerLibrary(QStringLiteral("libsane.so.1"));
        dlclose(lib);
    }
    static TStrList* openPicker()
    {
        for (QWidget* w : QApplication::allWidgets())
            if (auto* p = qobject_cast<TStrList*>(w); p && p->isVisible())
                return p;
        return nullptr;
    }
    void* lib = nullptr;
    void (*setMode)(int mode, int listDelayMs) = nullptr;
};

}  // namespace

TEST_F(ScannerDialogTest, SourcePickerListsWithoutStoppingTheDialogAndKeepsTheChosenDevice)
{
    setMode(0, 400);
    TEnterProperties dialog;
    dialog.setValues(core::globals().settings);
    dialog.show();
    QElapsedTimer clock;
    clock.start();
    dialog.Btn_Source->click();
    EXPECT_LT(clock.elapsed(), 200);  // the dialog goes on while SANE lists
    EXPECT_TRUE(dialog.probing());
    EXPECT_FALSE(dialog.Btn_Source->isEnabled());
    TStrList* picker = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (picker = openPicker()) != nullptr; }, 5000));
    ASSERT_EQ(picker->List->count(), 3);
    EXPECT_EQ(picker->List->item(1)->text(), QStringLiteral("Acme Scan 100 (fake:two)"));
    picker->choose(1);
    EXPECT_EQ(dialog.Ed_TwainSource->text(), QStringLiteral("Acme Scan 100 (fake:two)"));
    EXPECT_TRUE(dialog.Btn_Source->isEnabled());
    core::Settings settings;
    dialog.values(settings);
    EXPECT_EQ(settings.twainSource, QStringLiteral("Acme Scan 100 (fake:two)"));
}

TEST_F(ScannerDialogTest, DocumentDialogClosesAtOnceWhileSaneLists)
{
    // Annuler while the devices are being listed: exec() returns at once.
    setMode(0, 3000);
    {
        TEnterDocument dialog;
        auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("Btn_Cancel"));
        QTimer::singleShot(100, cancel, [cancel] { cancel->click(); });
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(dialog.exec(), int(QDialog::Rejected));
        EXPECT_LT(clock.elapsed(), 1500);
    }
    // Once listed, the scan button comes on.
    QThread::msleep(3100);
    setMode(0, 200);
    TEnterDocument dialog;
    dialog.show();
    auto* scan = dialog.findChild<QPushButton*>(QStringLiteral("Btn_Scan"));
    EXPECT_FALSE(scan->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return scan->isEnabled(); }, 5000));
}
