// The program's reports on a small dossier: the TEMP pictures printed with
// their records, the titles, the empty list, the template failures, golden
// pages of the shipped templates, and the preview window with its print dialog.
#include "core/Clock.h"
#include "core/Globals.h"
#include "db/Connection.h"
#include "db/Schema.h"
#include "planning/PlanningModel.h"
#include "printing/ReportCommands.h"
#include "printing/TDataModuleReport.h"
#include "printing/TFreeReportPrintViewer.h"
#include "report/TfrPreview.h"
#include "ui/ScriptedPrompt.h"

#include "../support/Sandbox.h"

#include <QAbstractPrintDialog>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStyle>
#include <QToolButton>

#include "../support/GoldenImage.h"

#include <gtest/gtest.h>

using namespace printing;

namespace {

const quint32 kRowColors[] = {0x0000FF, 0x00FF00, 0xFF0000};  // red, green, blue as 0x00BBGGRR

void expectGolden(const QImage& image, const QString& name)
{
    testing_support::ExpectGolden(image, QStringLiteral(PLANNING_GOLDEN_DIR), name, 100);
}

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox = std::make_unique<testing_support::Sandbox>(true);
        core::setProgramDirectory(sandbox->programDir());
        core::setClock([] { return QDateTime(QDate(2024, 5, 15), QTime(10, 0)); });
        const QString path = sandbox->root() + QStringLiteral("PLANNING.MDB");
        db::CreateDatabaseFile(path);
        connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
        connection.open();
        const char* names[] = {"Alice", "Bruno", "Chloé"};
        for (int i = 0; i < 3; ++i) {
            connection.exec(
                QStringLiteral("INSERT INTO PEOPLE (Id, Id_File, Name, \"Function\", Phone, Email, City, "
                               "PenColor, BrushColor, BrushStyle) VALUES (?, 1, ?, 'Ingénieur', "
                               "'01 23 45 67 8%1', ?, 'Lyon', ?, 0, ?)")
                    .arg(i),
                {i + 1, QString::fromUtf8(names[i]), QStringLiteral("p%1@example.org").arg(i), kRowColors[i], i});
        }
        connection.exec(QStringLiteral("INSERT INTO PROJECT (Id, Id_File, Title, Name, ShortDescription, PenColor, "
                                       "BrushColor, BrushStyle) VALUES (1, 1, 'Pont', 'Marc', 'Le pont neuf', 255, "
                                       "0, 2), (2, 1, 'Tour', 'Léa', 'La tour', 16711680, 255, 4)"));
        module = std::make_unique<TDataModuleReport>(connection);
        ctx.dossierId = 1;
        ctx.year = 2024;
        ctx.month = 5;
        month.Year = 2024;
        month.Month = 5;
        month.SetMonthDimensions(3, 12, 31, 2);
        for (int r = 0; r < 3; ++r) {
            for (int d = 1; d <= 31; ++d) {
                for (int h = 1; h <= 2; ++h)
                    month.SetMonthCell(r, 5, d, h, 1, kRowColors[r], kRowColors[r], planning::bsSolid);
            }
        }
        month.ObjectCount = 3;
        year.Year = 2024;
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= 28; d += 1 + m % 3)
                year.SetYearCell(m, d, 1 + d % 2, 1, kRowColors[m % 3], 0, planning::bsSolid);
        }
    }
    void TearDown() override
    {
        module.reset();
        connection.close();
        sandbox.reset();
    }
    // May 2024 starts on a Wednesday; rows 0, 1, 2 hold persons 1, 2, 3.
    MonthSource monthSource(QList<int> rowIds = {1, 2, 3}) { return {&month, true, 4, 31, rowIds}; }

    std::unique_ptr<testing_support::Sandbox> sandbox;
    db::Connection connection;
    std::unique_ptr<TDataModuleReport> module;
    planning::PlanningContext ctx;
    planning::MonthModel month;
    planning::AnnualModel year;
};

QColor dominantColour(const QImage& strip)
{
    // The middle of the first half-day row, clear of the headers.
    return strip.pixelColor(strip.width() / 2, strip.height() * 3 / 4);
}

}  // namespace

TEST_F(PrintingTest, MonthlyStripsArePrintedWithTheirRecordsOneEventEach)
{
    QList<int> rowsSeen;
    const auto original = module->ReportQuery.OnDataChange;
    module->ReportQuery.OnDataChange = [&](db::Dataset& ds) {
        rowsSeen << module->ReportRow;
        original(ds);
    };
    std::vector<QImage> strips;
    QStringList names;
    module->PrintMonthlyPlanning(ctx, monthSource(), ReportCommands::MonthlyTitle(2024, 5), [&](report::Report& r) {
        for (const auto& item : r.prepared().pages[0].items) {
            if (item.kind == report::ObjectKind::Picture && item.picture.width() == 712)
                strips.push_back(item.picture);
            if (item.kind == report::ObjectKind::Text && item.font.bold() && item.rect.left() < 200)
                names << item.text;
        }
    });
    // The opening event runs with ReportRow -1 and draws nothing; then one
    // event per record, rows 0, 1, 2.
    EXPECT_EQ(rowsSeen, (QList<int>{-1, 0, 1, 2}));
    EXPECT_EQ(module->ReportRow, 3);
    ASSERT_EQ(strips.size(), 3u);
    EXPECT_TRUE(names.contains(QStringLiteral("Alice")));
    EXPECT_EQ(dominantColour(strips[0]).red(), 255);
    EXPECT_EQ(dominantColour(strips[1]).green(), 255);
    EXPECT_EQ(dominantColour(strips[2]).blue(), 255);
    EXPECT_EQ(module->ReportTitle, QStringLiteral("PLANNING MAI 2024"));
    EXPECT_FALSE(module->ReportQuery.IsOpen());
    EXPECT_FALSE(connection.inTransaction());
    // TEMP's content is scratch: the writes were rolled back.
    EXPECT_TRUE(connection.scalar(QStringLiteral("SELECT Img1 FROM TEMP"))->isNull());
}

// Each record prints the strip of the view's row that holds its Id, even
// when the report lists the records in another order than the view's rows
// (two persons of one name sort either way) or lists one the view lacks.
TEST_F(PrintingTest, MonthlyStripsArePairedWithTheirRecordsById)
{
    connection.exec(QStringLiteral("INSERT INTO PEOPLE (Id, Id_File, Name) VALUES (4, 1, 'Denis')"));
    QHash<QString, QColor> stripOf;
    // View rows: person 3 (red), person 1 (green), person 2 (blue).
    module->PrintMonthlyPlanning(
        ctx, monthSource({3, 1, 2}), ReportCommands::MonthlyTitle(2024, 5), [&](report::Report& r) {
            const auto& items = r.prepared().pages[0].items;
            for (const auto& name : items) {
                if (name.kind != report::ObjectKind::Text || !name.font.bold() || name.rect.left() > 200)
                    continue;
                for (const auto& strip : items) {
                    if (strip.kind == report::ObjectKind::Picture && strip.picture.width() == 712
                        && qAbs(strip.rect.top() - name.rect.top()) < 40)
                        stripOf.insert(name.text, dominantColour(strip.picture));
                }
            }
        });
    EXPECT_EQ(stripOf.value(QStringLiteral("Alice")), QColor(0, 255, 0));
    EXPECT_EQ(stripOf.value(QStringLiteral("Bruno")), QColor(0, 0, 255));
    EXPECT_EQ(stripOf.value(QStringLiteral("Chloé")), QColor(255, 0, 0));
    EXPECT_EQ(stripOf.value(QStringLiteral("Denis")), QColor(Qt::white));  // no row of the view
}

TEST_F(PrintingTest, TitleIsEmptyAtStartAndFoldedForPlannings)
{
    QVariant v = QStringLiteral("unchanged");
    module->frReportGetValue(QStringLiteral("title"), v);
    EXPECT_EQ(v.toString(), QString());
    QVariant other = 5;
    module->frReportGetValue(QStringLiteral("OTHER"), other);
    EXPECT_EQ(other.toInt(), 5);

    bool shown = false;
    module->PrintAnnualPlanning(ctx, {&year, true}, 1, QStringLiteral("Planning de l'année 2008"),
                                [&](report::Report& r) {
                                    shown = true;
                                    EXPECT_EQ(r.Title, QStringLiteral("Planning de l'année 2008"));
                                    EXPECT_FALSE(r.FindObject(QStringLiteral("Img_Planning"))->picture.isNull());
                                });
    EXPECT_TRUE(shown);
    EXPECT_EQ(module->ReportTitle, QStringLiteral("PLANNING DE L'ANNEE 2008"));
    EXPECT_FALSE(QFile::exists(core::globals().dataRoot + QStringLiteral("temp1.bmp")));
    // A list keeps the last planning title.
    module->PrintPersonList(1, {});
    EXPECT_EQ(module->ReportMode, 1);
    EXPECT_EQ(module->ReportTitle, QStringLiteral("PLANNING DE L'ANNEE 2008"));
}

TEST_F(PrintingTest, EmptyListAndTemplateFailuresGiveAMessageAndNoPreview)
{
    ui::ScriptedPrompt prompt;
    ReportCommands commands(*module, nullptr);
    commands.PrintPersonList(7);
    ASSERT_EQ(prompt.messages().size(), 1);
    EXPECT_EQ(prompt.messages()[0].text, QStringLiteral("Il n'y a pas d'enregistrements dans cette liste."));
    EXPECT_TRUE(prompt.dialogTitles().isEmpty());

    const QString dir = core::globals().reportsDir;
    struct Case {
        const char* file;
        QByteArray content;  // empty: removed
        std::function<void()> run;
    };
    const Case cases[] = {
        {"ProjectList.frf", {}, [&] { commands.PrintProjectList(1); }},
        {"MonthlyPlanning.frf", "<report><band",
         [&] { commands.PrintMonthlyPlanning(ctx, monthSource(), QStringLiteral("Planning Mai 2024")); }},
        {"PeopleList.rpt", "first\r\nSELECT * FROM PEOPLE, TEMP\r\n", [&] { commands.PrintPersonList(1); }},
    };
    for (const Case& c : cases) {
        const QString path = dir + QString::fromLatin1(c.file);
        const QByteArray saved = testing_support::Sandbox::readFile(path);
        if (c.content.isEmpty())
            QFile::remove(path);
        else
            testing_support::Sandbox::writeFile(path, c.content);
        prompt.clear();
        c.run();
        ASSERT_EQ(prompt.messages().size(), 1) << c.file;
        EXPECT_EQ(prompt.messages()[0].kind, ui::MessageKind::Error);
        EXPECT_TRUE(prompt.messages()[0].text.contains(path)) << prompt.messages()[0].text.toStdString();
        EXPECT_TRUE(prompt.dialogTitles().isEmpty());
        EXPECT_FALSE(connection.inTransaction());
        EXPECT_FALSE(module->ReportQuery.IsOpen());
        testing_support::Sandbox::writeFile(path, saved);
    }
    // The database is not left locked: a write goes through at once.
    EXPECT_EQ(connection.exec(QStringLiteral("UPDATE TEMP SET Img2 = NULL")), 1);
}

// A list whose SQL template is missing prints its own default text for the
// open dossier, never the text the report before it left in the dataset.
TEST_F(PrintingTest, MissingSqlTemplateFallsBackToTheListsDefaultText)
{
    connection.exec(QStringLiteral("INSERT INTO PEOPLE (Id, Id_File, Name) VALUES (9, 2, 'Autre dossier')"));
    connection.exec(QStringLiteral("INSERT INTO PROJECT (Id, Id_File, Title) VALUES (9, 2, 'Autre projet')"));
    const struct {
        const char* missing;
        int orientationBefore;  // the monthly report run first leaves the other side's text
        bool persons;
        QStringList expected;
    } cases[] = {
        {"PeopleList.rpt", 1, true, {QStringLiteral("Alice"), QStringLiteral("Bruno"), QStringLiteral("Chloé")}},
        {"ProjectList.rpt", 0, false, {QStringLiteral("Pont"), QStringLiteral("Tour")}},
    };
    for (const auto& c : cases) {
        const QString path = core::globals().reportsDir + QString::fromLatin1(c.missing);
        const QByteArray saved = testing_support::Sandbox::readFile(path);
        ctx.orientation = c.orientationBefore;
        module->PrintMonthlyPlanning(ctx, monthSource(), ReportCommands::MonthlyTitle(2024, 5), {});
        QFile::remove(path);
        QStringList printed;
        const ShowPreview collect = [&](report::Report& r) {
            for (const auto& page : r.prepared().pages) {
                for (const auto& item : page.items) {
                    for (const QString& name : {QStringLiteral("Alice"), QStringLiteral("Bruno"),
                                                QStringLiteral("Chloé"), QStringLiteral("Pont"), QStringLiteral("Tour"),
                                                QStringLiteral("Autre dossier"), QStringLiteral("Autre projet")}) {
                        if (item.kind == report::ObjectKind::Text && item.text == name && !printed.contains(name))
                            printed << name;
                    }
                }
            }
        };
        EXPECT_TRUE(c.persons ? module->PrintPersonList(1, collect) : module->PrintProjectList(1, collect));
        EXPECT_EQ(printed, c.expected) << c.missing;
        testing_support::Sandbox::writeFile(path, saved);
    }
}

TEST_F(PrintingTest, ShippedTemplatesGolden)
{
    struct Case {
        const char* golden;
        std::function<void(const ShowPreview&)> run;
    };
    ctx.orientation = 0;
    const Case cases[] = {
        {"annual.png",
         [&](const ShowPreview& s) {
             module->PrintAnnualPlanning(ctx, {&year, true}, 2, ReportCommands::AnnualTitle(2024), s);
         }},
        {"monthly.png",
         [&](const ShowPreview& s) {
             module->PrintMonthlyPlanning(ctx, monthSource(), ReportCommands::MonthlyTitle(2024, 5), s);
         }},
        {"people.png", [&](const ShowPreview& s) { module->PrintPersonList(1, s); }},
        {"projects.png", [&](const ShowPreview& s) { module->PrintProjectList(1, s); }},
    };
    for (const Case& c : cases) {
        QImage page;
        c.run([&](report::Report& r) { page = r.prepared().pageImage(0, 595); });
        ASSERT_FALSE(page.isNull()) << c.golden;
        expectGolden(page, QString::fromLatin1(c.golden));
    }
}

TEST_F(PrintingTest, PreviewZoomsMovesAndPrintsTheChosenRange)
{
    // Enough persons for several pages.
    for (int i = 10; i < 60; ++i)
        connection.exec(QStringLiteral("INSERT INTO PEOPLE (Id, Id_File, Name) VALUES (%1, 1, 'P%1')").arg(i));
    ui::ScriptedPrompt prompt;
    const QString pdf = sandbox->root() + QStringLiteral("print.pdf");
    int pages = 0;
    prompt.setNextDialogHandler([&](QDialog* d) {
        auto* viewer = qobject_cast<TFreeReportPrintViewer*>(d);
        EXPECT_TRUE(viewer);
        viewer->resize(622, 508);
        viewer->show();
        report::TfrPreview* preview = viewer->preview();
        pages = preview->pageCount();
        EXPECT_GE(pages, 3);
        EXPECT_EQ(preview->zoom(), report::TfrPreview::Zoom::PageWidth);
        viewer->findChild<QToolButton*>(QStringLiteral("Btn_Size_OnePage"))->click();
        EXPECT_LE(preview->pageSizePx().height(), preview->viewport()->height());
        viewer->findChild<QToolButton*>(QStringLiteral("Btn_Size_Full"))->click();
        EXPECT_EQ(preview->pageSizePx().width(), qRound(210 / 25.4 * preview->logicalDpiX()));
        viewer->findChild<QToolButton*>(QStringLiteral("spbPreviewLast"))->click();
        EXPECT_EQ(preview->page(), pages);
        viewer->findChild<QToolButton*>(QStringLiteral("spbPreviewNext"))->click();
        EXPECT_EQ(preview->page(), pages);
        viewer->findChild<QToolButton*>(QStringLiteral("spbPreviewFirst"))->click();
        viewer->findChild<QToolButton*>(QStringLiteral("spbPreviewNext"))->click();
        EXPECT_EQ(preview->page(), 2);
        viewer->findChild<QToolButton*>(QStringLiteral("spbPreviewPrior"))->click();
        viewer->findChild<QToolButton*>(QStringLiteral("spbPreviewNext"))->click();
        // The print dialog: the whole document proposed, the selection chosen.
        prompt.setNextDialogHandler([&](QDialog* pd) {
            auto* dialog = qobject_cast<QPrintDialog*>(pd);
            EXPECT_TRUE(dialog);
            EXPECT_EQ(dialog->minPage(), 1);
            EXPECT_EQ(dialog->maxPage(), pages);
            EXPECT_EQ(dialog->fromPage(), 1);
            EXPECT_EQ(dialog->toPage(), pages);
            EXPECT_EQ(dialog->printer()->copyCount(), 1);
            dialog->setPrintRange(QAbstractPrintDialog::Selection);
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(pdf);
            dialog->printer()->setCopyCount(2);
            return QDialog::Accepted;
        });
        viewer->findChild<QToolButton*>(QStringLiteral("spbPreviewPrint"))->click();
        EXPECT_FALSE(viewer->isVisible());
        return QDialog::Accepted;
    });
    ReportCommands(*module, nullptr).PrintPersonList(1);
    ASSERT_TRUE(QFile::exists(pdf));
    QProcess info;
    info.start(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QStringLiteral("15"), QStringLiteral("-png"), pdf,
                sandbox->root() + QStringLiteral("shot")});
    ASSERT_TRUE(info.waitForFinished(60000));
    // The current page (2), twice.
    const QStringList shots = QDir(sandbox->root()).entryList({QStringLiteral("shot*.png")}, QDir::Files);
    EXPECT_EQ(shots.size(), 2);
    for (const QString& s : shots) {
        const QImage img(sandbox->root() + s);
        EXPECT_FALSE(img.isNull());
        EXPECT_FALSE(img.allGray() && img.pixelColor(img.width() / 2, img.height() / 3) == QColor(Qt::white)
                     && img.pixelColor(img.width() / 4, img.height() / 4) == QColor(Qt::white));
    }
}

TEST_F(PrintingTest, OnePageReportProposesOneToOneAndCancelPrintsNothing)
{
    ui::ScriptedPrompt prompt;
    const QString pdf = sandbox->root() + QStringLiteral("never.pdf");
    bool closed = false;
    prompt.setNextDialogHandler([&](QDialog* d) {
        auto* viewer = static_cast<TFreeReportPrintViewer*>(d);
        viewer->show();
        prompt.setNextDialogHandler([&](QDialog* pd) {
            auto* dialog = static_cast<QPrintDialog*>(pd);
            EXPECT_EQ(dialog->fromPage(), 1);
            EXPECT_EQ(dialog->toPage(), 1);
            EXPECT_EQ(dialog->maxPage(), 1);
            dialog->printer()->setOutputFileName(pdf);
            return QDialog::Rejected;
        });
        viewer->spbPreviewPrintClick();
        closed = !viewer->isVisible();
        return QDialog::Rejected;
    });
    ReportCommands(*module, nullptr).PrintProjectList(1);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(QFile::exists(pdf));
}

// The preview's grip sits at the bottom right of its bottom bar in both frame
// modes, and its print button shows the icon theme's printer.
TEST_F(PrintingTest, PreviewGripAtTheBottomRightAndAPrinterOnThePrintButton)
{
    for (const bool native : {false, true}) {
        core::globals().nativeFrame = native;
        TFreeReportPrintViewer viewer;
        viewer.show();
        auto* grip = viewer.findChild<QWidget*>(QStringLiteral("RezisePad"));
        ASSERT_TRUE(grip);
        EXPECT_EQ(grip->parentWidget()->objectName(), QStringLiteral("Pan_Bottom")) << native;
        const QPoint corner = grip->mapTo(&viewer, grip->rect().bottomRight());
        EXPECT_LE((viewer.rect().bottomRight() - corner).manhattanLength(), 8) << native;
        auto* close = viewer.findChild<QWidget*>(QStringLiteral("Btn_Close"));
        EXPECT_GT(grip->mapTo(&viewer, QPoint(0, 0)).x(), close->mapTo(&viewer, QPoint(0, 0)).x());
    }
    core::globals().nativeFrame = false;
    TFreeReportPrintViewer viewer;
    const QIcon icon = viewer.findChild<QToolButton*>(QStringLiteral("spbPreviewPrint"))->icon();
    ASSERT_FALSE(icon.isNull());
    if (QIcon::hasThemeIcon(QStringLiteral("document-print"))) {
        EXPECT_EQ(icon.name(), QStringLiteral("document-print"));
    }
    const QIcon floppy = viewer.style()->standardIcon(QStyle::SP_DialogSaveButton);
    EXPECT_NE(icon.pixmap(16).toImage(), floppy.pixmap(16).toImage());
}

// The paper chosen in the print dialog is the paper printed on, the page
// scaled to it without distortion and centred.
TEST_F(PrintingTest, PrintingHonoursTheChosenPaper)
{
    report::PreparedReport prepared;  // A4 portrait, black to its edges
    report::PreparedItem black;
    black.kind = report::ObjectKind::Rectangle;
    black.rect = QRectF(0, 0, prepared.pageWidth, prepared.pageHeight);
    black.fill = Qt::black;
    prepared.pages.resize(1);
    prepared.pages[0].items.push_back(black);
    const QString pdf = sandbox->root() + QStringLiteral("letter.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    ASSERT_TRUE(report::PrintToPrinter(prepared, printer, {1, 1}, 1));

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(60000));
    EXPECT_TRUE(QString::fromLatin1(info.readAllStandardOutput()).contains(QStringLiteral("612 x 792 pts")));
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                  pdf, sandbox->root() + QStringLiteral("letter")});
    ASSERT_TRUE(raster.waitForFinished(60000));
    const QImage page(sandbox->root() + QStringLiteral("letter.png"));
    ASSERT_FALSE(page.isNull());
    QRect dark;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 128)
                dark |= QRect(x, y, 1, 1);
        }
    }
    EXPECT_NEAR(double(dark.width()) / dark.height(), 210.0 / 297.0, 0.02);
    EXPECT_EQ(dark.height(), page.height());
    EXPECT_LE(qAbs(dark.left() - (page.width() - 1 - dark.right())), 1);
}

// In both lists the swatch sits on the name's line and the thumbnail has a
// column of its own, apart from "Couleur".
TEST_F(PrintingTest, ListSwatchOnTheNameLineAndThumbnailUnderItsOwnHeader)
{
    const struct {
        const char* first;
        bool persons;
    } cases[] = {{"Alice", true}, {"Pont", false}};
    for (const auto& c : cases) {
        std::vector<report::PreparedItem> items;
        const ShowPreview keep = [&](report::Report& r) { items = r.prepared().pages[0].items; };
        c.persons ? module->PrintPersonList(1, keep) : module->PrintProjectList(1, keep);
        const report::PreparedItem *name = nullptr, *swatch = nullptr, *thumbnail = nullptr;
        for (const auto& i : items) {
            if (i.kind == report::ObjectKind::Text && i.text == QString::fromLatin1(c.first))
                name = &i;
        }
        ASSERT_TRUE(name) << c.first;
        for (const auto& i : items) {
            if (i.kind != report::ObjectKind::Picture || qAbs(i.rect.top() - name->rect.top()) > 60)
                continue;
            (qRound(i.rect.width()) == 240 ? swatch : thumbnail) = &i;
        }
        ASSERT_TRUE(swatch && thumbnail) << c.first;
        EXPECT_GE(swatch->rect.top(), name->rect.top()) << c.first;
        EXPECT_LE(swatch->rect.bottom(), name->rect.bottom()) << c.first;
        QString header;
        for (const auto& i : items) {
            if (i.kind == report::ObjectKind::Text && i.rect.bottom() < name->rect.top() && i.font.bold()
                && i.rect.left() <= thumbnail->rect.center().x() && i.rect.right() >= thumbnail->rect.center().x())
                header = i.text;
        }
        EXPECT_EQ(header, QStringLiteral("Photo")) << c.first;
    }
}

// A dossier with projects but no persons: the annual report of no object
// (Id -1) previews an empty object band and the dossier's projects as keys.
TEST_F(PrintingTest, AnnualReportOfNoObjectListsTheDossiersKeys)
{
    connection.exec(QStringLiteral("INSERT INTO PROJECT (Id, Id_File, Title, PenColor, BrushColor, BrushStyle) "
                                   "VALUES (7, 3, 'Seul projet', 255, 0, 1)"));
    ctx.dossierId = 3;
    ctx.orientation = 0;
    QStringList texts;
    bool shown = false;
    module->PrintAnnualPlanning(ctx, {&year, true}, -1, ReportCommands::AnnualTitle(2024), [&](report::Report& r) {
        shown = true;
        for (const auto& page : r.prepared().pages) {
            for (const auto& item : page.items) {
                if (item.kind == report::ObjectKind::Text)
                    texts << item.text;
            }
        }
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(texts.contains(QStringLiteral("Seul projet")));
    for (const char* other : {"Alice", "Pont", "Tour"})
        EXPECT_FALSE(texts.contains(QString::fromUtf8(other))) << other;
    EXPECT_FALSE(connection.inTransaction());
}
