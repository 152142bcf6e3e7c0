#include "core/Globals.h"
#include "core/Settings.h"
#include "records/EditControls.h"
#include "records/TEnterProperties.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Sandbox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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
