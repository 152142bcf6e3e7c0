#include "core/Globals.h"
#include "db/Schema.h"
#include "db/TDataModule1.h"
#include "images/ImageRoutines.h"
#include "records/ComboLists.h"
#include "records/EditControls.h"
#include "records/PhotoStorage.h"
#include "records/TEnterDocument.h"
#include "records/TEnterProperties.h"
#include "records/TEnterRecord.h"
#include "ui/ScriptedPrompt.h"

#include "../support/FrameCheck.h"
#include "../support/Sandbox.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include "RecordsDbFixture.h"

#include <gtest/gtest.h>

using namespace records;
using testing_support::Sandbox;

TEST(NumberEdit, KeystrokesAndLimits)
{
    TumNumberEdit edit;
    edit.setMaxLength(4);
    edit.setMaxValue(5000);
    edit.setValue(500);
    edit.setFocus();
    edit.setCursorPosition(3);
    QTest::keyClick(&edit, Qt::Key_1);  // 5001 is refused: 500 comes back, caret where it was
    EXPECT_EQ(edit.text(), QStringLiteral("500"));
    EXPECT_EQ(edit.Value(), 500);
    EXPECT_EQ(edit.cursorPosition(), 3);
    edit.setCursorPosition(0);
    QTest::keyClick(&edit, Qt::Key_0);  // 0500: same length as 5000 and sorts before it
    EXPECT_EQ(edit.text(), QStringLiteral("0500"));
    EXPECT_EQ(edit.Value(), 500);
    QTest::keyClick(&edit, Qt::Key_A);  // letters are ignored
    EXPECT_EQ(edit.text(), QStringLiteral("0500"));
    edit.setValue(7000);
    EXPECT_EQ(edit.text(), QStringLiteral("5000"));
    edit.setValue(-3);
    EXPECT_EQ(edit.Value(), 0);
    edit.setValue(4000);
    edit.setMaxValue(1000);
    EXPECT_EQ(edit.Value(), 1000);
    edit.clear();
    EXPECT_EQ(edit.Value(), 0);
}

TEST(NumberEdit, ValueStaysANonNegative32BitInteger)
{
    TumNumberEdit edit;  // no MaxValue
    edit.setValue(214748364);
    edit.setFocus();
    edit.setCursorPosition(9);
    QTest::keyClick(&edit, Qt::Key_8);  // 2147483648 is beyond the value's range
    EXPECT_EQ(edit.text(), QStringLiteral("214748364"));
    EXPECT_EQ(edit.Value(), 214748364);
    EXPECT_EQ(edit.cursorPosition(), 9);
    QTest::keyClick(&edit, Qt::Key_7);
    EXPECT_EQ(edit.text(), QStringLiteral("2147483647"));
    EXPECT_EQ(edit.Value(), 2147483647);
    // Pasted texts follow the same rule.
    const struct {
        const char* text;
        int value;
    } cases[] = {{"4294967296", 2147483647},
                 {"99999999999999999999", 2147483647},
                 {"2147483648", 2147483647},
                 {"12", 12},
                 {"2147483648", 12}};
    for (const auto& c : cases) {
        edit.setText(QString::fromLatin1(c.text));
        EXPECT_EQ(edit.Value(), c.value) << c.text;
        EXPECT_EQ(edit.text(), QString::number(c.value)) << c.text;
    }
}

// Ctrl+A then typing replaces the value; a refused keystroke is said.
TEST(NumberEdit, SelectAllThenTypingReplacesAndRefusalsAreSaid)
{
    const struct {
        int start;
        const char* typed;
        const char* text;
        int refusals;
    } cases[] = {{5000, "100", "100", 0}, {10, "0", "0", 0}, {5000, "6000", "600", 1}, {42, "7", "7", 0}};
    for (const auto& c : cases) {
        TumNumberEdit edit;
        edit.setMaxLength(4);
        edit.setMaxValue(5000);
        edit.setValue(c.start);
        edit.show();
        edit.setFocus();
        QStringList said;
        QObject::connect(&edit, &TumNumberEdit::refused, &edit, [&](const QString& why) { said << why; });
        QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.text)) << c.start << " " << c.typed;
        EXPECT_EQ(edit.Value(), QString::fromLatin1(c.text).toInt());
        EXPECT_EQ(said.size(), c.refusals);
        if (c.refusals > 0) {
            EXPECT_EQ(said.first(), QStringLiteral("La valeur ne peut pas dépasser 5000."));
        }
    }
}

TEST(BrushStyleDlg, MarksChoosesAndCancels)
{
    ui::ScriptedPrompt prompt;
    TBrushStyleDlg dialog;
    EXPECT_EQ(dialog.size(), QSize(182, 249));
    // A fixed dialog border: nothing to minimise or maximise.
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    dialog.setBrush(planning::bsClear, 255);
    EXPECT_EQ(dialog.markedPanel(), QString());  // the transparent pattern marks nothing
    dialog.setBrush(planning::bsCross, 255);
    EXPECT_EQ(dialog.markedPanel(), QStringLiteral("Pan_Cross"));
    dialog.choose(planning::bsVertical);
    EXPECT_EQ(dialog.markedPanel(), QStringLiteral("Pan_Vertical"));
    prompt.setNextColor(QColor(0, 0, 255));
    dialog.Btn_ColorClick();
    EXPECT_EQ(dialog.color(), 0xFF0000u);
}

namespace {

class RecordTest : public RecordsDbTest {
protected:
    QString picture(const char* name, int w, int h, const char* format)
    {
        QImage img(w, h, QImage::Format_RGB888);
        img.fill(QColor(30, 120, 200));
        const QString path = sandbox->root() + QString::fromLatin1(name);
        if (QByteArray(format) == "JPG")
            images::SaveBitmapAsJpeg(img, path, 90);
        else
            img.save(path, format);
        return path;
    }

    ui::ScriptedPrompt prompt;
};

}  // namespace

TEST_F(RecordTest, NewPersonCancelledLeavesNothing)
{
    dm->People.Open();
    dm->People.Insert();
    const int id = dm->People.FieldByName(QStringLiteral("Id")).AsInteger();
    {
        TEnterPeople dialog(dm->DSPeople, dm->People);
        dialog.IsNewRecord = true;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Saisie d'une personne"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Btn_Ok"));
        EXPECT_FALSE(ok->isEnabled());
        dialog.findChild<QLineEdit*>(QStringLiteral("Ed_Name"))->setText(QStringLiteral(" "));
        EXPECT_TRUE(ok->isEnabled());  // a single space counts
        prompt.setNextFileName(picture("p.bmp", 300, 200, "BMP"));
        dialog.Btn_Select_ImgClick();
        EXPECT_TRUE(QFile::exists(dialog.photoFile()));
        dialog.reject();  // the close box acts as Annuler
    }
    dm->People.Close();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE")), 0);
    EXPECT_FALSE(QFile::exists(core::globals().dataDir + QStringLiteral("Images/People%1.jpg").arg(id)));
}

TEST_F(RecordTest, PhotoPipelineOkAndReplacedPhotoKeptOnCancel)
{
    dm->People.Open();
    dm->People.Insert();
    const int id = dm->People.FieldByName(QStringLiteral("Id")).AsInteger();
    {
        TEnterPeople dialog(dm->DSPeople, dm->People);
        dialog.IsNewRecord = true;
        dialog.findChild<QLineEdit*>(QStringLiteral("Ed_Name"))->setText(QStringLiteral("Alice"));
        dialog.findChild<QLineEdit*>(QStringLiteral("Ed_Country"))->setText(QString());
        prompt.setNextFileName(picture("big.bmp", 300, 200, "BMP"));
        dialog.Btn_Select_ImgClick();
        EXPECT_TRUE(dialog.photoShown());
        prompt.setNextColor(QColor(0, 255, 0));
        dialog.Btn_Shape_ColorClick();
        dialog.Btn_OkClick();
    }
    const QString jpg = core::globals().dataDir + QStringLiteral("Images/People%1.jpg").arg(id);
    EXPECT_EQ(QImageReader(jpg).size(), QSize(300, 200));
    dm->People.Close();
    EXPECT_EQ(
        count(QStringLiteral("SELECT count(*) FROM PEOPLE WHERE Name='Alice' AND PenColor=65280 AND BrushStyle=0")), 1);
    dm->People.Open();
    const QImage thumb = images::ImageFromBlob(dm->People.FieldByName(QStringLiteral("ImgMini1")).AsBlob());
    EXPECT_EQ(thumb.size(), QSize(105, 105));
    EXPECT_EQ(thumb.pixelColor(50, 16), QColor(Qt::white));

    // An existing person: the photo replaced, then Annuler keeps the new photo and the typed name.
    dm->People.Edit();
    {
        TEnterPeople dialog(dm->DSPeople, dm->People);
        dialog.findChild<QLineEdit*>(QStringLiteral("Ed_Name"))->setText(QStringLiteral("Alice B"));
        prompt.setNextFileName(picture("tall.jpg", 200, 300, "JPG"));
        dialog.Btn_Select_ImgClick();
        EXPECT_TRUE(prompt.messages().isEmpty());
        dialog.reject();
    }
    EXPECT_EQ(QImageReader(jpg).size(), QSize(200, 300));  // a JPEG is copied as it is
    dm->People.Close();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE WHERE Name='Alice B'")), 1);

    // A file that is no picture: a message, nothing changed, still editing.
    dm->People.Open();
    dm->People.Edit();
    {
        const QString junk = sandbox->root() + QStringLiteral("junk.bmp");
        Sandbox::writeFile(junk, "not a picture");
        TEnterPeople dialog(dm->DSPeople, dm->People);
        prompt.clear();
        prompt.setNextFileName(junk);
        dialog.Btn_Select_ImgClick();
        ASSERT_EQ(prompt.messages().size(), 1);
        EXPECT_TRUE(prompt.messages().first().text.contains(QStringLiteral("n'est pas une image lisible")));
        EXPECT_TRUE(dm->People.Editing());
        EXPECT_EQ(QImageReader(jpg).size(), QSize(200, 300));
        // Removing the photo, file deleted by hand first: both columns cleared, no error.
        QFile::remove(jpg);
        prompt.setNextAnswer(ui::Answer::Yes);
        dialog.Btn_Delete_ImgClick();
        EXPECT_FALSE(dialog.photoShown());
        dialog.Btn_OkClick();
    }
    dm->People.Close();
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM PEOPLE WHERE ImgMini1 IS NULL")), 1);
}

TEST_F(RecordTest, ProjectRulesAndLabels)
{
    dm->Project.Open();
    dm->Project.Insert();
    {
        TEnterProject dialog(dm->DSProject, dm->Project);
        dialog.IsNewRecord = true;
        EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->isEnabled());
        auto* shortDescription = dialog.findChild<QPlainTextEdit*>(QStringLiteral("Memo_ShortDescription"));
        shortDescription->setFocus();
        QTest::keyClicks(shortDescription, QStringLiteral("Un"));
        QTest::keyClick(shortDescription, Qt::Key_Return);
        QTest::keyClicks(shortDescription, QStringLiteral(" pont"));
        EXPECT_EQ(shortDescription->toPlainText(), QStringLiteral("Un pont"));
        dialog.findChild<QLineEdit*>(QStringLiteral("Ed_Title"))->setText(QStringLiteral("Pont"));
        EXPECT_TRUE(dialog.patternOverlayVisible());  // the new record's transparent pattern
        // The pattern: solid hides the overlay; Annuler in the chooser changes nothing.
        prompt.setNextDialogHandler([](QDialog* d) {
            static_cast<TBrushStyleDlg*>(d)->choose(planning::bsSolid);
            return int(QDialog::Rejected);
        });
        dialog.Btn_Shape_BrushClick();
        EXPECT_EQ(dialog.brushStyle(), planning::bsClear);
        prompt.setNextDialogHandler([](QDialog* d) {
            static_cast<TBrushStyleDlg*>(d)->choose(planning::bsSolid);
            return int(QDialog::Accepted);
        });
        dialog.Btn_Shape_BrushClick();
        EXPECT_EQ(dialog.brushStyle(), planning::bsSolid);
        EXPECT_FALSE(dialog.patternOverlayVisible());
        EXPECT_TRUE(dialog.findChild<QWidget*>(QStringLiteral("Shape_Brush"))->isHidden());
        // A custom label, stored at once for the dossier.
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("Lab_Project_Misc02"));
        ASSERT_NE(label, nullptr);
        prompt.setNextDialogHandler([](QDialog* d) {
            static_cast<TEnterStr*>(d)->Ed_Str->setText(QStringLiteral("Budget"));
            return int(QDialog::Accepted);
        });
        dialog.editCustomLabel(label);
        EXPECT_EQ(label->text(), QStringLiteral("Budget"));
        dialog.Btn_OkClick();
    }
    dm->Project.Close();
    EXPECT_EQ(count(QStringLiteral(
                  "SELECT count(*) FROM PROJECT WHERE Title='Pont' AND ShortDescription='Un pont' AND BrushStyle=1")),
              1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM CUSTOMLAB WHERE Id_File=3 AND Project_Misc02='Budget'")), 1);
    // The next dialog of the dossier shows the label.
    dm->Project.Open();
    dm->Project.Edit();
    TEnterProject again(dm->DSProject, dm->Project);
    EXPECT_EQ(again.findChild<QLabel*>(QStringLiteral("Lab_Project_Misc02"))->text(), QStringLiteral("Budget"));
    again.reject();
}

TEST_F(RecordTest, SaveImageCopyAs)
{
    const QString stored = core::globals().dataDir + QStringLiteral("Images/People9.jpg");
    SaveImageCopyAs(stored, QStringLiteral("a:b.jpg"));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().first().text.startsWith(
        QStringLiteral("IMPOSSIBLE DE TROUVER L'IMAGE !\rLe fichier \"") + stored));
    Sandbox::writeFile(stored, "jpeg bytes");
    // The dialog opens in the user's documents folder, never the program's.
    ui::RememberSaveFolder(QString());
    QDir().mkpath(sandbox->documents());
    const QString target = sandbox->root() + QStringLiteral("copies/copy.jpg");
    QDir().mkpath(sandbox->root() + QStringLiteral("copies"));
    prompt.setNextFileName(target);
    SaveImageCopyAs(stored, QStringLiteral("Alice.jpg"));
    EXPECT_EQ(Sandbox::readFile(target), QByteArray("jpeg bytes"));
    ASSERT_EQ(prompt.proposedFileNames().size(), 1);
    EXPECT_EQ(QFileInfo(prompt.proposedFileNames().last()).absolutePath(),
              QFileInfo(sandbox->documents()).absolutePath());
    EXPECT_EQ(QFileInfo(prompt.proposedFileNames().last()).fileName(), QStringLiteral("Alice.jpg"));
    // Then in the folder used last.
    SaveImageCopyAs(stored, QStringLiteral("Alice.jpg"));
    EXPECT_EQ(prompt.proposedFileNames().last(), sandbox->root() + QStringLiteral("copies/Alice.jpg"));
}

TEST(ComboLists, SortingAndPickerPlacement)
{
    EXPECT_EQ(SortedComboItems(QStringLiteral("b\r\nA\r\na\r\nc\r\n")),
              (QStringList{QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(SortedComboItems(QString()), QStringList());
    EXPECT_EQ(SortedComboItems(QStringLiteral("Zèbre\r\néclair\r\nabricot\r\nBanane\r\nÉcureuil\r\nÉclair")),
              (QStringList{QStringLiteral("abricot"), QStringLiteral("Banane"), QStringLiteral("éclair"),
                           QStringLiteral("Écureuil"), QStringLiteral("Zèbre")}));  // "Éclair" is "éclair" again
    const QRect screen(0, 0, 1280, 1000);
    // Under the edit, 8 rows high at most, 1 row for an empty list.
    EXPECT_EQ(PickerGeometry(QRect(100, 200, 150, 22), screen, 20, 16), QRect(100, 222, 150, 8 * 16 + 3));
    EXPECT_EQ(PickerGeometry(QRect(100, 200, 150, 22), screen, 3, 16), QRect(100, 222, 150, 3 * 16 + 3));
    EXPECT_EQ(PickerGeometry(QRect(100, 200, 150, 22), screen, 0, 16), QRect(100, 222, 150, 16 + 3));
    // Near the bottom of the screen it opens above the edit.
    const QRect low = PickerGeometry(QRect(100, 950, 150, 22), screen, 20, 16);
    EXPECT_EQ(low.top(), 972 - (22 + 131 + 1));
    EXPECT_LT(low.bottom(), 950);
}

TEST_F(RecordTest, ListEditorStoresAsEditedAndPickerFillsTheCountry)
{
    db::Dataset combo(&dm->ADOConnection1);
    combo.setSQL({QStringLiteral("SELECT * FROM COMBOITEMS")});
    // The first confirmed edit creates the row.
    prompt.setNextDialogHandler([](QDialog* d) {
        static_cast<TComboList*>(d)->Memo->setPlainText(QStringLiteral("b\nA\na\nc"));
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(EditComboList(QStringLiteral("Pays"), QStringLiteral("Country"), combo));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM COMBOITEMS")), 1);
    // Shown sorted without duplicates; confirmed unchanged, stored sorted.
    prompt.setNextDialogHandler([](QDialog* d) {
        EXPECT_EQ(static_cast<TComboList*>(d)->Memo->toPlainText(), QStringLiteral("A\nb\nc"));
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Pays"));
        return int(QDialog::Accepted);
    });
    EditComboList(QStringLiteral("Pays"), QStringLiteral("Country"), combo);
    EXPECT_EQ(dm->ADOConnection1.scalar(QStringLiteral("SELECT Country FROM COMBOITEMS"))->toString(),
              QStringLiteral("A\r\nb\r\nc"));
    // Annuler writes nothing.
    prompt.setNextDialogHandler([](QDialog* d) {
        static_cast<TComboList*>(d)->Memo->setPlainText(QStringLiteral("z"));
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(EditComboList(QStringLiteral("Pays"), QStringLiteral("Country"), combo));
    EXPECT_EQ(dm->ADOConnection1.scalar(QStringLiteral("SELECT Country FROM COMBOITEMS"))->toString(),
              QStringLiteral("A\r\nb\r\nc"));

    dm->People.Open();
    dm->People.Insert();
    TEnterPeople dialog(dm->DSPeople, dm->People);
    dialog.IsNewRecord = true;
    dialog.show();
    auto* country = dialog.findChild<QLineEdit*>(QStringLiteral("Ed_Country"));
    EXPECT_TRUE(country->isReadOnly());
    dialog.openPicker(country);
    TStrList* picker = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<TStrList*>(w); p && p->isVisible())
            picker = p;
    ASSERT_NE(picker, nullptr);
    ASSERT_EQ(picker->List->count(), 4);  // the empty top item and the three countries
    EXPECT_EQ(picker->List->item(0)->text(), QString());
    picker->choose(2);
    EXPECT_EQ(country->text(), QStringLiteral("b"));
    dialog.openPicker(country);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<TStrList*>(w); p && p->isVisible()) {
            EXPECT_EQ(p->List->currentRow(), 2);  // the edit's text is selected
            p->choose(0);                         // the empty item clears the country
        }
    EXPECT_EQ(country->text(), QString());
    dialog.reject();
}

TEST_F(RecordTest, UnnamedCustomFieldsCanBeNamed)
{
    // A new dossier has no captions: the labels keep their place and hint.
    dm->People.Open();
    dm->People.Insert();
    TEnterPeople dialog(dm->DSPeople, dm->People);
    dialog.IsNewRecord = true;
    dialog.show();
    dialog.findChild<QTabWidget*>(QStringLiteral("TabNoteBook"))->setCurrentIndex(1);
    for (int i = 1; i <= 7; ++i) {
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("Lab_People_Misc0%1").arg(i));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString());
        EXPECT_TRUE(label->isVisible());
        EXPECT_GE(label->width(), 60) << i;
        EXPECT_GE(label->height(), 10) << i;
        EXPECT_EQ(label->toolTip(), QStringLiteral("Double-cliquez\npour modifier"));
    }
    // The list editor of an unnamed field has the default caption as title.
    prompt.setNextDialogHandler([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Divers 2"));
        return int(QDialog::Rejected);
    });
    dialog.editList(dialog.findChild<QLineEdit*>(QStringLiteral("Ed_Misc02")));
    EXPECT_TRUE(prompt.messages().isEmpty());

    // A double-click names the field.
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("Lab_People_Misc02"));
    prompt.setNextDialogHandler([](QDialog* d) {
        EXPECT_EQ(d->findChild<QLabel*>(QStringLiteral("Lab_Title"))->text(), QStringLiteral("Modifiez le libellé"));
        static_cast<TEnterStr*>(d)->Ed_Str->setText(QStringLiteral("Taille"));
        return int(QDialog::Accepted);
    });
    QTest::mouseDClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(5, label->height() / 2));
    EXPECT_EQ(label->text(), QStringLiteral("Taille"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM CUSTOMLAB WHERE Id_File=3 AND People_Misc02='Taille'")), 1);
    prompt.setNextDialogHandler([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Taille"));
        return int(QDialog::Rejected);
    });
    dialog.editList(dialog.findChild<QLineEdit*>(QStringLiteral("Ed_Misc02")));
    dialog.reject();
}

TEST(SmallDialogs, StringDialogAndPickerKeepTheirSizes)
{
    core::resetGlobals();
    for (bool native : {false, true}) {
        core::globals().nativeFrame = native;
        TEnterStr ask(QStringLiteral("Modifiez le libellé"), QStringLiteral("Divers"));
        ask.show();
        EXPECT_EQ(ask.size(), QSize(322, native ? 86 : 104)) << native;
        for (const char* name : {"Btn_Ok", "Btn_Cancel", "Ed_Str", "Lab_Title"}) {
            auto* w = ask.findChild<QWidget*>(QString::fromLatin1(name));
            const QRect r(w->mapTo(&ask, QPoint(0, 0)), w->size());
            EXPECT_TRUE(ask.rect().contains(r)) << name << " " << native;
        }
        ask.reject();
    }
    core::resetGlobals();

    // The picker: one row per item under eight, one row when empty, plus 3.
    QWidget host;
    auto* edit = new QLineEdit(&host);
    host.resize(300, 60);
    edit->setGeometry(10, 10, 200, 22);
    host.show();
    const struct {
        QStringList items;
        int rows;
    } cases[] = {{{}, 1},
                 {{QStringLiteral("a")}, 1},
                 {{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, 3},
                 {QStringList(12, QStringLiteral("x")), 8}};
    // The row height is the list's own, measured on a list that has a row.
    TStrList* one = ShowItemPicker(edit, false, {QStringLiteral("a")}, nullptr, nullptr, nullptr, QString());
    const int row = one->List->visualItemRect(one->List->item(0)).height();
    one->close();
    ASSERT_GT(row, 0);
    for (const auto& c : cases) {
        TStrList* picker = ShowItemPicker(edit, false, c.items, nullptr, nullptr, nullptr, QString());
        EXPECT_EQ(picker->height(), c.rows * row + 3) << c.items.size();
        EXPECT_EQ(picker->width(), 200);
        picker->close();
    }
}

TEST_F(RecordTest, ProjectPageLayout)
{
    dm->Project.Open();
    dm->Project.Insert();
    for (bool system : {false, true}) {
        core::globals().nativeFrame = system;
        TEnterProject dialog(dm->DSProject, dm->Project);
        dialog.show();
        auto* page = dialog.findChild<QWidget*>(QStringLiteral("Page_General"));
        auto rectOf = [page](const QWidget* w) { return QRect(w->mapTo(page, QPoint(0, 0)), w->size()); };
        auto at = [&](const char* name) { return rectOf(page->findChild<QWidget*>(QString::fromLatin1(name))); };
        auto label = [&](const char* text) {
            for (QLabel* l : page->findChildren<QLabel*>())
                if (l->text() == QString::fromUtf8(text))
                    return rectOf(l);
            return QRect();
        };
        // Title and responsible side by side, each right under its label at
        // the top of the page.
        const QRect title = at("Ed_Title"), name = at("Ed_Name");
        EXPECT_EQ(title.top(), name.top()) << system;
        EXPECT_GT(name.left(), title.right()) << system;
        EXPECT_LE(label("Titre").top(), 12) << system;
        EXPECT_LE(title.top() - label("Titre").top(), 28) << system;
        EXPECT_LE(name.top() - label("Responsable").top(), 28) << system;
        EXPECT_LT(title.bottom(), at("Ed_Phone").top()) << system;
        EXPECT_LE(at("Ed_Phone").top() - title.bottom(), 8) << system;
        // The photo keeps its 105 × 105 above its button.
        const QRect photo = at("ImgDB_Photo_Mini");
        EXPECT_EQ(photo.size(), QSize(105, 105)) << system;
        EXPECT_LT(photo.bottom(), at("Btn_Select_Img").top()) << system;
        // Both descriptions take the page's width, under the photo too.
        for (const char* memo : {"Memo_ShortDescription", "Memo_Description"}) {
            const QRect r = at(memo);
            EXPECT_LE(r.left(), title.left()) << memo;
            EXPECT_GE(r.right(), photo.right()) << memo;
            EXPECT_GT(r.top(), photo.bottom()) << memo;
        }
        EXPECT_GT(at("Memo_Description").height(), at("Memo_ShortDescription").height()) << system;
    }
    core::globals().nativeFrame = false;
}

TEST_F(RecordTest, FramedDialogsKeepTheirDesignSizeInBothFrameModes)
{
    dm->People.Open();
    dm->People.Insert();
    dm->Project.Open();
    dm->Project.Insert();
    for (bool system : {false, true}) {
        core::globals().nativeFrame = system;
        {
            TEnterPeople people(dm->DSPeople, dm->People);
            testing_support::ExpectFramedWindow(&people, {525, 468}, system, QStringLiteral("EnterPeople"));
            people.hide();
        }
        {
            TEnterProject project(dm->DSProject, dm->Project);
            testing_support::ExpectFramedWindow(&project, {525, 468}, system, QStringLiteral("EnterProject"));
            project.hide();
        }
        TEnterDocument document;
        testing_support::ExpectFramedWindow(&document, {320, 442}, system, QStringLiteral("EnterDocument"));
        document.hide();
        TComboList list(QStringLiteral("Ville"), {QStringLiteral("Lyon")});
        testing_support::ExpectFramedWindow(&list, {261, 244}, system, QStringLiteral("ComboList"));
        TEnterStr ask(QStringLiteral("Modifiez le libellé"), QStringLiteral("Divers"));
        testing_support::ExpectFramedWindow(&ask, {322, 104}, system, QStringLiteral("EnterStr"));
        TEnterProperties properties;
        testing_support::ExpectFramedWindow(&properties, {450, 200}, system, QStringLiteral("EnterProperties"));
    }
    core::globals().nativeFrame = false;
}

namespace {

// Receives the URLs the dialog hands to the desktop.
class DesktopCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};

}  // namespace

TEST_F(RecordTest, MailAndWebButtonsOpenTheirAddressOrSayWhyNot)
{
    dm->People.Open();
    dm->People.Insert();
    TEnterPeople dialog(dm->DSPeople, dm->People);
    dialog.IsNewRecord = true;
    prompt.clear();
    dialog.findChild<QLineEdit*>(QStringLiteral("Ed_Name"))->setText(QStringLiteral("Abel"));
    dialog.findChild<QLineEdit*>(QStringLiteral("Ed_Email"))->setText(QStringLiteral("abel@exemple.fr"));
    dialog.findChild<QLineEdit*>(QStringLiteral("Ed_WebSite"))->setText(QStringLiteral("https://abel.example"));
    // The offscreen desktop has no mail program nor browser.
    dialog.findChild<QPushButton*>(QStringLiteral("Btn_Email"))->click();
    dialog.findChild<QPushButton*>(QStringLiteral("Btn_WebSite"))->click();
    ASSERT_EQ(prompt.messages().size(), 2);
    EXPECT_TRUE(prompt.messages()[0].text.startsWith(
        QStringLiteral("Aucun programme de messagerie n'a pu être ouvert pour écrire à \"abel@exemple.fr\".")));
    EXPECT_EQ(prompt.messages()[1].text,
              QStringLiteral("Aucun navigateur n'a pu ouvrir l'adresse \"https://abel.example\"."));
    // With a browser: the address keeps its own scheme.
    DesktopCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    prompt.clear();
    dialog.findChild<QPushButton*>(QStringLiteral("Btn_WebSite"))->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_TRUE(prompt.messages().isEmpty());
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls.first().toString(), QStringLiteral("https://abel.example"));
    dialog.reject();
}

#include "RecordTests.moc"
