#include "core/Globals.h"
#include "db/Connection.h"
#include "db/Schema.h"
#include "images/ImageRoutines.h"
#include "images/TPreviewImage.h"
#include "images/TViewImage.h"
#include "ui/ScriptedPrompt.h"

#include "../support/FrameCheck.h"
#include "../support/Sandbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>

#include <gtest/gtest.h>

using namespace images;
using testing_support::Sandbox;

namespace {

QImage plain(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(QColor(90, 160, 30));
    return img;
}

int pdfPages(const QString& path)
{
    return static_cast<int>(Sandbox::readFile(path).count("/Type /Page\n")
                            + Sandbox::readFile(path).count("/Type /Page>"));
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString dbPath = sandbox.root() + QStringLiteral("p.mdb");
        db::CreateDatabaseFile(dbPath);
        connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + dbPath);
        connection.open();
        imagesDir = sandbox.root() + QStringLiteral("Images/");
        QDir().mkpath(imagesDir);
        // Three documents of person 7: a wide picture, one whose file is gone, an upright one.
        const struct {
            const char* title;
            int w, h;
        } docs[] = {{"Large", 400, 200}, {"Perdu", 0, 0}, {"Haut", 100, 300}};
        for (const auto& d : docs) {
            connection.exec(QStringLiteral("INSERT INTO DOCUMENTIMG (Id_Ref, DoType, Title) VALUES (7, 1, ?)"),
                            {QString::fromLatin1(d.title)});
            const int id = connection.scalar(QStringLiteral("SELECT max(Id) FROM DOCUMENTIMG"))->toInt();
            ids.append(id);
            if (d.w > 0)
                SaveBitmapAsJpeg(plain(d.w, d.h), imagesDir + QStringLiteral("Doc%1.jpg").arg(id), 90);
        }
    }
    void open(TPreviewImage& preview, const QString& where, int id)
    {
        preview.CaptionWord = QStringLiteral("Images");
        preview.FilePrefix = QStringLiteral("Doc");
        preview.ImageDir = imagesDir;
        preview.setQueryText(QStringLiteral("SELECT DOCUMENTIMG.Id as [Id], DOCUMENTIMG.Title as [Title] FROM "
                                            "DOCUMENTIMG WHERE ")
                             + where);
        preview.OpenOn(id, 0);
    }
    bool enabled(QWidget& w, const char* name)
    {
        return w.findChild<QPushButton*>(QString::fromLatin1(name))->isEnabled();
    }

    Sandbox sandbox{false};
    db::Connection connection;
    QString imagesDir;
    QList<int> ids;
    ui::ScriptedPrompt prompt;
};

}  // namespace

TEST(ViewImage, MissingFileAndFitting)
{
    Sandbox sandbox(false);
    ui::ScriptedPrompt prompt;
    ShowImageFile(sandbox.root() + QStringLiteral("absent.jpg"));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().first().text.startsWith(QStringLiteral("IMPOSSIBLE DE VISUALISER L'IMAGE !")));
    const QString jpg = sandbox.root() + QStringLiteral("a.jpg");
    SaveBitmapAsJpeg(plain(100, 50), jpg, 90);
    prompt.setNextDialogHandler([](QDialog* d) {
        auto* view = qobject_cast<TViewImage*>(d);
        EXPECT_EQ(view->windowTitle(), QStringLiteral("Visualisation d'une Image"));
        EXPECT_EQ(view->picture().size(), QSize(100, 50));
        return int(QDialog::Rejected);
    });
    ShowImageFile(jpg);
    EXPECT_EQ(prompt.messages().size(), 1);

    TViewImage view;
    view.resize(492, 491);
    view.show();
    view.setPicture(plain(100, 50));
    view.layoutImage();
    // Smaller than the box: its own size, centred, not stretched.
    EXPECT_EQ(view.Image->size(), QSize(100, 50));
    EXPECT_FALSE(view.Image->hasScaledContents());
    view.setPicture(plain(2000, 1000));
    EXPECT_TRUE(view.Image->hasScaledContents());
    EXPECT_LE(view.Image->width(), view.width() - 20);
}

TEST_F(PreviewTest, NavigationButtonsAndMissingFiles)
{
    TPreviewImage preview(connection);
    open(preview, QStringLiteral("DOCUMENTIMG.Id_Ref=7"), ids.at(0));
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Images (Large)"));
    EXPECT_FALSE(enabled(preview, "Btn_First"));
    EXPECT_FALSE(enabled(preview, "Btn_Prior"));
    EXPECT_TRUE(enabled(preview, "Btn_Next"));
    EXPECT_TRUE(enabled(preview, "Btn_Print"));
    preview.Next();  // the file was deleted by hand
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().first().text.startsWith(QStringLiteral("IMPOSSIBLE D'IMPRIMER L'IMAGE !")));
    EXPECT_TRUE(preview.picture().isNull());
    EXPECT_FALSE(enabled(preview, "Btn_Print"));
    EXPECT_FALSE(enabled(preview, "Btn_Save"));
    preview.Last();
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Images (Haut)"));
    EXPECT_TRUE(enabled(preview, "Btn_Print"));
    EXPECT_FALSE(enabled(preview, "Btn_Next"));
    EXPECT_FALSE(enabled(preview, "Btn_Last"));
    EXPECT_TRUE(enabled(preview, "Btn_First"));

    // A set of one record: no usable navigation.
    TPreviewImage one(connection);
    open(one, QStringLiteral("DOCUMENTIMG.Id=%1").arg(ids.at(2)), -1);
    for (const char* b : {"Btn_First", "Btn_Prior", "Btn_Next", "Btn_Last"})
        EXPECT_FALSE(enabled(one, b)) << b;
}

TEST_F(PreviewTest, ZoomModes)
{
    TPreviewImage preview(connection);
    preview.resize(800, 600);
    open(preview, QStringLiteral("DOCUMENTIMG.Id_Ref=7"), ids.at(0));  // 400 × 200
    preview.resize(800, 600);
    const QSize box = preview.Cadre->viewport()->size();
    preview.setZoom(TPreviewImage::ActualSize);
    EXPECT_EQ(preview.Image->geometry(), QRect(10, 10, 400, 200));
    EXPECT_FALSE(preview.Image->hasScaledContents());
    preview.setZoom(TPreviewImage::FitWindow);
    const Fit fit = FitToBox(box.width() - 25, box.height() - 25, 400, 200);
    EXPECT_EQ(preview.Image->geometry(), fit.rect.translated(10, 10));
    preview.setZoom(TPreviewImage::FitWidth);
    const int h = static_cast<int>(200.0 / 400 * (box.width() - 20));
    EXPECT_EQ(preview.Image->geometry(), FitToBox(box.width() - 45, h - 25, 400, 200).rect.translated(10, 10));

    // Shown at the size of the work area: laid out on the viewport's final size.
    preview.setZoom(TPreviewImage::FitWindow);
    preview.OpenOn(ids.at(0), 2);
    preview.show();
    QApplication::processEvents();
    const QSize shown = preview.Cadre->viewport()->size();
    EXPECT_EQ(preview.Image->geometry(),
              FitToBox(shown.width() - 25, shown.height() - 25, 400, 200).rect.translated(10, 10));
}

TEST_F(PreviewTest, PrintsTheSelectionOrARange)
{
    const QString pdf = sandbox.root() + QStringLiteral("out.pdf");
    TPreviewImage preview(connection);
    open(preview, QStringLiteral("DOCUMENTIMG.Id_Ref=7"), ids.at(0));
    prompt.setNextDialogHandler([&](QDialog* d) {
        auto* dialog = qobject_cast<QPrintDialog*>(d);
        EXPECT_TRUE(dialog->testOption(QAbstractPrintDialog::PrintSelection));
        EXPECT_EQ(dialog->printRange(), QAbstractPrintDialog::Selection);
        EXPECT_EQ(dialog->maxPage(), 3);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(pdf);
        dialog->printer()->setCopyCount(2);
        return int(QDialog::Accepted);
    });
    preview.Btn_PrintClick();
    EXPECT_EQ(pdfPages(pdf), 2);  // the current picture, twice

    // Pages 1 to 3: the record whose file is gone is reported and skipped.
    QFile::remove(pdf);
    prompt.clear();
    prompt.setNextDialogHandler([&](QDialog* d) {
        auto* dialog = qobject_cast<QPrintDialog*>(d);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(pdf);
        dialog->printer()->setPrintRange(QPrinter::PageRange);
        dialog->printer()->setFromTo(1, 3);
        return int(QDialog::Accepted);
    });
    preview.Btn_PrintClick();
    EXPECT_EQ(pdfPages(pdf), 2);
    EXPECT_EQ(prompt.messages().size(), 1);  // the missing one, told once

    TPreviewImage one(connection);
    open(one, QStringLiteral("DOCUMENTIMG.Id=%1").arg(ids.at(0)), -1);
    prompt.setNextDialogHandler([](QDialog* d) {
        EXPECT_FALSE(qobject_cast<QPrintDialog*>(d)->testOption(QAbstractPrintDialog::PrintSelection));
        return int(QDialog::Rejected);
    });
    one.Btn_PrintClick();
}

TEST_F(PreviewTest, ARangeIsDecodedAndPrintedPageByPage)
{
    const QString pdf = sandbox.root() + QStringLiteral("range.pdf");
    TPreviewImage preview(connection);
    open(preview, QStringLiteral("DOCUMENTIMG.Id_Ref=7"), ids.at(0));
    prompt.clear();
    // Once the first page is out, the last picture changes from upright to
    // wide: printed page by page, its page is decoded afterwards and comes
    // out wide.
    QList<int> printed;
    QObject::connect(&preview, &TPreviewImage::pagePrinted, [&](int position) {
        printed << position;
        if (position == 1)
            SaveBitmapAsJpeg(plain(300, 100), imagesDir + QStringLiteral("Doc%1.jpg").arg(ids.at(2)), 90);
    });
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    preview.PrintRange(printer, 1, 3, 1);
    EXPECT_EQ(printed, QList<int>({1, 2, 3}));
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_TRUE(prompt.messages().first().text.startsWith(QStringLiteral("IMPOSSIBLE D'IMPRIMER L'IMAGE !")));
    EXPECT_EQ(pdfPages(pdf), 2);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"),
               {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("2"), pdf});
    ASSERT_TRUE(info.waitForFinished(10000));
    const QString text = QString::fromLatin1(info.readAllStandardOutput());
    // Both pages wide: "Page    n size: w x h pts" with w > h.
    const QRegularExpression size(QStringLiteral("Page +(\\d) size: +([\\d.]+) x ([\\d.]+)"));
    int wide = 0;
    for (auto it = size.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        wide += m.captured(2).toDouble() > m.captured(3).toDouble() ? 1 : 0;
    }
    EXPECT_EQ(wide, 2) << text.toStdString();
}

TEST(ViewImage, KeepsItsDesignSizeInBothFrameModes)
{
    for (bool system : {false, true}) {
        core::globals().nativeFrame = system;
        TViewImage view;
        view.setPicture(plain(100, 50));
        testing_support::ExpectFramedWindow(&view, {492, 473}, system, QStringLiteral("ViewImage"));
    }
    core::globals().nativeFrame = false;
}

TEST_F(PreviewTest, FillsTheWorkAreaFrameIncludedInBothFrameModes)
{
    // The offscreen screen's work area is 800 pixels wide: the bar must fit.
    for (bool system : {false, true}) {
        core::globals().nativeFrame = system;
        TPreviewImage preview(connection);
        open(preview, QStringLiteral("DOCUMENTIMG.Id_Ref=7"), ids.at(0));
        preview.OpenOn(ids.at(0), 2);
        preview.show();
        QApplication::processEvents();
        const QRect wa = preview.screen()->availableGeometry();
        EXPECT_EQ(preview.frameGeometry(), wa) << system;
        EXPECT_LE(preview.minimumSizeHint().width(), 800) << system;
        for (QPushButton* b : preview.findChildren<QPushButton*>()) {
            const QRect r(b->mapTo(&preview, QPoint(0, 0)), b->size());
            EXPECT_TRUE(preview.rect().contains(r)) << b->objectName().toStdString() << " " << system;
        }
        if (!qEnvironmentVariableIsEmpty("PLANNING_SHOTS_DIR"))
            preview.grab().save(
                qEnvironmentVariable("PLANNING_SHOTS_DIR")
                + (system ? QStringLiteral("/PreviewImage-system.png") : QStringLiteral("/PreviewImage-drawn.png")));
    }
    core::globals().nativeFrame = false;
}
