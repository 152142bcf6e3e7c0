#include "HtmlFixture.h"

#include "../support/Faults.h"
#include "core/TextFile.h"
#include "output/HtmlListPages.h"
#include "output/HtmlPlanningPages.h"
#include "planning/Holidays.h"
#include "planning/PlanningLoader.h"
#include "planning/Swatch.h"

#include <QFileInfo>

namespace output_test {

using namespace output;

namespace {

QString page()
{
    return core::decodeWindows1252(
        testing_support::Sandbox::readFile(HtmlWorkDirectory() + QStringLiteral("index.htm")));
}

planning::AnnualModel yearOf(db::Dataset& query, const planning::PlanningContext& ctx, const QStringList& legend)
{
    planning::AnnualModel year;
    year.Year = ctx.year;
    year.Legend = legend;
    planning::FillYearPlanning(year, query, ctx, ctx.year, ctx.personId, ctx.projectId);
    return year;
}

planning::MonthModel monthOf(db::Dataset& query, const planning::PlanningContext& ctx, const QStringList& objects,
                             const QStringList& legend)
{
    planning::MonthModel month;
    month.SetMonthDimensions(static_cast<int>(objects.size()), 12, 31, 2);
    month.Year = ctx.year;
    month.Month = ctx.month;
    month.Legend = legend;
    planning::FillMonthPlanning(month, query, ctx, objects, legend, ctx.year, ctx.month);
    month.ObjectCount = static_cast<int>(objects.size());
    return month;
}

}  // namespace

TEST_F(HtmlTest, AnnualPageMatchesItsGoldenFileAndPictures)
{
    const planning::AnnualModel year = yearOf(query, ctx, projects);
    WriteAnnualPlanningPage(query, work(), PlanningPageTitle(ctx), year, ctx, 1, projects);
    expectGolden(work() + QStringLiteral("index.htm"), QStringLiteral("annual_index.htm"));

    const QImage drawn = picture(QStringLiteral("planning.jpg"));
    ASSERT_EQ(drawn.size(), QSize(680, 500));
    const QImage expected = RenderYearPicture(year, true);
    EXPECT_LE(meanDifference(drawn, expected), 6);
    // A painted half-day (4 March morning, project 1's blue background)
    // and an empty weekday cell.
    planning::YearGeometry g;
    g.cellWidth = 17;
    g.halfRowHeight = 20;
    const planning::YearCalendar calendar(2024);
    const QRect painted = g.positionRect(calendar.firstColumn[3] + 3, 3, 1);
    // Project 1: blue background (0xFF0000 as stored), red diagonal hatch.
    EXPECT_LE(meanDifference(drawn.copy(painted), expected.copy(painted)), 6);
    EXPECT_TRUE(near(drawn.pixelColor(painted.left() + 1, painted.top() + 1),
                     expected.pixelColor(painted.left() + 1, painted.top() + 1)));
    EXPECT_GT(drawn.pixelColor(g.positionRect(calendar.firstColumn[3] + 5, 3, 1).center()).red(), 240);
    EXPECT_EQ(drawn.pixelColor(2, 490), QColor(Qt::white));

    EXPECT_EQ(picture(QStringLiteral("img1.jpg")).size(), QSize(105, 105));
    EXPECT_EQ(testing_support::Sandbox::readFile(work() + QStringLiteral("imgfullsize1.jpg")),
              testing_support::Sandbox::readFile(core::globals().dataDir + QStringLiteral("Images/People1.jpg")));
    expectGolden(work() + QStringLiteral("img1.htm"), QStringLiteral("annual_img1.htm"));
    for (int n = 0; n < 3; ++n) {
        const QImage swatch = picture(QStringLiteral("keybrush%1.jpg").arg(n));
        ASSERT_EQ(swatch.size(), QSize(30, 20));
        EXPECT_LE(meanDifference(swatch, RenderKeySwatch(projects[n])), 6);
    }
    EXPECT_FALSE(QFileInfo::exists(work() + QStringLiteral("keybrush3.jpg")));
}

// With the holidays shown, the page's year picture is the view's: 1 May
// (a Wednesday in 2024) in the weekend colour, as 4 May, a Saturday.
TEST_F(HtmlTest, AnnualPageShowsTheHolidaysWhenTheyAreShown)
{
    planning::AnnualModel year = yearOf(query, ctx, projects);
    planning::HolidaySettings settings;
    settings.showInPlanning = true;
    year.DaysOff = std::make_shared<const planning::NonWorkingDays>(2024, settings);
    WriteAnnualPlanningPage(query, work(), PlanningPageTitle(ctx), year, ctx, 1, projects);
    const QImage drawn = picture(QStringLiteral("planning.jpg"));
    EXPECT_LE(meanDifference(drawn, RenderYearPicture(year, true)), 6);
    planning::YearGeometry g;
    g.cellWidth = 17;
    g.halfRowHeight = 20;
    const planning::YearCalendar calendar(2024);
    const QColor holiday = drawn.pixelColor(g.positionRect(calendar.firstColumn[5] + 0, 5, 1).center());
    const QColor weekend = drawn.pixelColor(g.positionRect(calendar.firstColumn[5] + 3, 5, 1).center());
    const QColor weekday = drawn.pixelColor(g.positionRect(calendar.firstColumn[5] + 1, 5, 1).center());
    // The weekend colour is a light grey: compared closely.
    EXPECT_TRUE(near(holiday, weekend, 3)) << holiday.name().toStdString() << " " << weekend.name().toStdString();
    EXPECT_FALSE(near(holiday, weekday, 3)) << holiday.name().toStdString() << " " << weekday.name().toStdString();
}

TEST_F(HtmlTest, MonthlyPageMatchesItsGoldenFileAndPictures)
{
    ctx.planningType = 1;
    const planning::MonthModel month = monthOf(query, ctx, persons, projects);
    WriteMonthlyPlanningPage(query, work(), PlanningPageTitle(ctx), month, ctx, persons, projects);
    expectGolden(work() + QStringLiteral("index.htm"), QStringLiteral("monthly_index.htm"));

    EXPECT_EQ(picture(QStringLiteral("white.jpg")).size(), QSize(5, 5));
    EXPECT_EQ(picture(QStringLiteral("white.jpg")).pixelColor(2, 2), QColor(Qt::white));
    for (int row = 0; row < 2; ++row) {
        const QImage strip = picture(QStringLiteral("planning%1.jpg").arg(row + 1));
        ASSERT_EQ(strip.size(), QSize(500, 48));
        EXPECT_LE(meanDifference(strip, RenderMonthStrip(month, row, true)), 6);
    }
    // March 2024 has 31 days: 16-pixel columns; the 4th is painted for row 0.
    const QImage strip = picture(QStringLiteral("planning1.jpg"));
    const QImage expected = RenderMonthStrip(month, 0, true);
    EXPECT_TRUE(near(strip.pixelColor(3 * 16 + 2, 15 + 2), expected.pixelColor(3 * 16 + 2, 15 + 2)));
    EXPECT_GT(strip.pixelColor(3 * 16 + 2, 15 + 2).blue(), 150);
    EXPECT_GT(strip.pixelColor(31 * 16 + 2, 30).red(), 240);  // right of the grid: white
    // Martin has no thumbnail: a white 10 × 10 picture and no pop-up.
    EXPECT_EQ(picture(QStringLiteral("objectimg2.jpg")).size(), QSize(10, 10));
    EXPECT_FALSE(QFileInfo::exists(work() + QStringLiteral("objectimg2.htm")));
    EXPECT_TRUE(QFileInfo::exists(work() + QStringLiteral("objectimg1.htm")));
    EXPECT_TRUE(QFileInfo::exists(work() + QStringLiteral("objectimgfullsize1.jpg")));
}

TEST_F(HtmlTest, DirectColoursLeaveTheCallersModelAlone)
{
    planning::MonthModel month = monthOf(query, ctx, persons, projects);
    ctx.planningType = 1;
    WriteMonthlyPlanningPage(query, work(), PlanningPageTitle(ctx), month, ctx, persons, projects);
    EXPECT_FALSE(month.DirectColors);
}

TEST_F(HtmlTest, AnnualPageWithoutObjectShowsAWhiteThumbnailAndNoLink)
{
    planning::AnnualModel empty;
    empty.Year = 2024;
    WriteAnnualPlanningPage(query, work(), PlanningPageTitle(ctx), empty, ctx, -1, {});
    const QString text = page();
    EXPECT_TRUE(text.contains(QStringLiteral("src=\"img-1.jpg\"")));
    EXPECT_FALSE(text.contains(QStringLiteral("centerwindow(&quot;")));
    EXPECT_TRUE(text.contains(QStringLiteral("&nbsp;<br>\r\n&nbsp;\r\n")));
    EXPECT_EQ(picture(QStringLiteral("img-1.jpg")).size(), QSize(10, 10));
    // An empty key list: the legend table closes at once.
    EXPECT_TRUE(text.contains(QStringLiteral("cellpadding=\"0\">\r\n</table>\r\n<p align=\"center\">")));
}

TEST_F(HtmlTest, ListPagesMatchTheirGoldenFiles)
{
    const struct {
        bool persons;
        const char* golden;
    } cases[] = {{true, "people_index.htm"}, {false, "project_index.htm"}};
    for (const auto& c : cases) {
        if (c.persons)
            WritePersonListPage(query, work(), 1, QStringLiteral("Création de la liste des personnes"));
        else
            WriteProjectListPage(query, work(), 1, QStringLiteral("Création de la liste des projets"));
        expectGolden(work() + QStringLiteral("index.htm"), QString::fromLatin1(c.golden));
    }
    // The project list ran last: project 1 has a thumbnail but no photo file.
    EXPECT_EQ(picture(QStringLiteral("project_img1.jpg")).size(), QSize(105, 105));
    EXPECT_FALSE(QFileInfo::exists(work() + QStringLiteral("project_img1.htm")));
    EXPECT_FALSE(page().contains(QStringLiteral("centerwindow("))
                 && page().contains(QStringLiteral("project_img1.htm")));
}

TEST_F(HtmlTest, PersonListEscapesRecordTextsAndKeepsRemarkLineBreaks)
{
    WritePersonListPage(query, work(), 1, QString());
    const QString text = page();
    EXPECT_TRUE(text.contains(QStringLiteral("&nbsp;Dupont &amp; Fils &lt;R&amp;D&gt;</font>")));
    EXPECT_TRUE(text.contains(QStringLiteral("&nbsp;Chef &quot;senior&quot;</font>")));
    EXPECT_FALSE(text.contains(QStringLiteral("<script>alert")));
    EXPECT_TRUE(text.contains(QStringLiteral("Première ligne\r\n&lt;script&gt;alert(1)&lt;/script&gt;</font>")));
    // The pop-up page's title is escaped too.
    EXPECT_TRUE(core::decodeWindows1252(testing_support::Sandbox::readFile(work() + QStringLiteral("people_img1.htm")))
                    .contains(QStringLiteral("<title>Image (Dupont &amp; Fils &lt;R&amp;D&gt;)</title>")));
    // Empty e-mail and web site still get their link cells.
    EXPECT_TRUE(text.contains(QStringLiteral("&nbsp;<a href=\"mailto:\"></a>")));
    EXPECT_TRUE(text.contains(QStringLiteral("&nbsp;<a href=\"http://\" target=\"_blank\"></a>")));
}

TEST_F(HtmlTest, ListsShowOnlyTheOpenDossier)
{
    WritePersonListPage(query, work(), 1, QString());
    EXPECT_FALSE(page().contains(QStringLiteral("Secret")));
    EXPECT_FALSE(QFileInfo::exists(work() + QStringLiteral("people_img3.jpg")));
    WriteProjectListPage(query, work(), 2, QString());
    EXPECT_TRUE(page().contains(QStringLiteral("Caché")));
    EXPECT_FALSE(page().contains(QStringLiteral("Pont")));
}

TEST_F(HtmlTest, ListSwatchesHaveBevel7AndLegendSwatchesBevel5)
{
    WritePersonListPage(query, work(), 1, QString());
    ASSERT_EQ(picture(QStringLiteral("peoplebrush1.jpg")).size(), QSize(100, 15));
    const QImage bevel7 = planning::RenderSwatch(100, 15, 3, 12, 7, 2, 255, 16777215, planning::DecodeBrushStyle(2), 0);
    const QImage bevel5 = planning::RenderSwatch(100, 15, 3, 12, 5, 2, 255, 16777215, planning::DecodeBrushStyle(2), 0);
    // The JPEG coder is deterministic: the file is byte for byte the coded
    // bevel-7 swatch.
    auto coded = [this](const QImage& img) {
        const QString f = sandbox->root() + QStringLiteral("expected.jpg");
        SaveHtmlPicture(img, f);
        return testing_support::Sandbox::readFile(f);
    };
    const QByteArray file = testing_support::Sandbox::readFile(work() + QStringLiteral("peoplebrush1.jpg"));
    EXPECT_EQ(file, coded(bevel7));
    EXPECT_NE(file, coded(bevel5));
    const QString key = planning::MakeEntry(1, 255, 16777215, 2, QStringLiteral("x"), {});
    EXPECT_EQ(RenderKeySwatch(key).convertToFormat(QImage::Format_RGB32),
              planning::RenderSwatch(30, 20, 3, 12, 5, 2, 255, 16777215, planning::DecodeBrushStyle(2), 0)
                  .convertToFormat(QImage::Format_RGB32));
}

TEST_F(HtmlTest, AListWithoutRecordsSaysSoInsideThePage)
{
    for (bool personList : {true, false}) {
        if (personList)
            WritePersonListPage(query, work(), 7, QString());
        else
            WriteProjectListPage(query, work(), 7, QString());
        const QStringList lines = *core::readTextFile(work() + QStringLiteral("index.htm"));
        ASSERT_EQ(lines.size(), 5) << personList;
        EXPECT_TRUE(lines[0].startsWith(personList
                                            ? QStringLiteral("<html><head><title>Liste des personnes</title><script")
                                            : QStringLiteral("<html><head><title>Liste des projets</title><script")));
        EXPECT_TRUE(lines[1].startsWith(QStringLiteral("<table border=\"0\" width=\"680\"")));
        // Inside the page's 680-pixel table, in a value cell.
        EXPECT_EQ(lines[2],
                  QStringLiteral("<table border=\"0\" width=\"100%\"><tr><td bgcolor=\"#F4F4F4\"><font "
                                 "face=\"Arial\" size=\"2\">&nbsp;Il n'y a pas d'enregistrements dans "
                                 "cette liste.</font></td></tr></table><br>"));
        EXPECT_EQ(lines[3], HtmlCreditLine());
        EXPECT_EQ(lines[4], QStringLiteral("</td></tr></table></body></html>"));
    }
    // A list with records has no such line.
    WritePersonListPage(query, work(), 1, QString());
    EXPECT_FALSE(page().contains(QStringLiteral("Il n'y a pas")));
}

TEST_F(HtmlTest, WebLinksKeepTheirOwnScheme)
{
    const struct {
        const char* site;
        const char* href;
    } cases[] = {{"https://dupont.example/a?b=1&c", "https://dupont.example/a?b=1&amp;c"},
                 {"HTTP://dupont.example", "HTTP://dupont.example"},
                 {"ftp://dupont.example", "ftp://dupont.example"},
                 {"www.dupont.example", "http://www.dupont.example"},
                 {"javascript://%0aalert(1)", "http://javascript://%0aalert(1)"}};
    for (const auto& c : cases) {
        exec("UPDATE PEOPLE SET WebSite=? WHERE Id=1", {QString::fromLatin1(c.site)});
        WritePersonListPage(query, work(), 1, QString());
        EXPECT_TRUE(page().contains(QStringLiteral("<a href=\"") + QString::fromLatin1(c.href)
                                    + QStringLiteral("\" target=\"_blank\">")))
            << c.site;
        EXPECT_FALSE(page().contains(QStringLiteral("http://https://"))) << c.site;
    }
}

TEST_F(HtmlTest, ListProgressStartsWithItsTextAndStopsAtTwo)
{
    QString shownText;
    int maximum = 0;
    QList<int> positions;
    ListProgress progress{[&](const QString& t, int m) {
                              shownText = t;
                              maximum = m;
                          },
                          [&](int p) { positions << p; }};
    WritePersonListPage(query, work(), 1, QStringLiteral("Création de la liste des personnes"), progress);
    EXPECT_EQ(shownText, QStringLiteral("Création de la liste des personnes"));
    EXPECT_EQ(maximum, 3);
    EXPECT_EQ(positions, (QList<int>{1, 2}));
}

TEST_F(HtmlTest, ClearHtmlDirectoryRemovesOnlyPagesAndPictures)
{
    PrepareHtmlDirectories();
    const QString dir = work();
    for (const char* name : {"a.jpg", "B.JPG", "c.bmp", "d.htm", "keep.txt", "keep.html"})
        testing_support::Sandbox::writeFile(dir + QLatin1String(name), "x");
    QDir().mkpath(dir + QStringLiteral("sub.htm"));
    ClearHtmlDirectory(dir);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{QStringLiteral("keep.html"), QStringLiteral("keep.txt"), QStringLiteral("sub.htm")}));
}

TEST(HtmlEscape, RecordTextsBecomeSafeMarkup)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Dupont & Fils <R&D>", "Dupont &amp; Fils &lt;R&amp;D&gt;"},
        {"a \"b\" 'c'", "a &quot;b&quot; 'c'"},
        {"Élodie Œuvre €", "Élodie Œuvre €"},
        {"Ligne 1\r\nLigne 2", "Ligne 1\r\nLigne 2"},
        {"Ωmega \xF0\x9F\x98\x80", "&#937;mega &#128512;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HtmlEscape(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST_F(HtmlTest, AnUnwritableDirectoryIsToldInFrenchAndLeavesNoPage)
{
    // "Html" taken by a plain file: the directories cannot be made.
    testing_support::Sandbox::writeFile(core::globals().dataRoot + QStringLiteral("Html"), "pas un dossier");
    try {
        WritePersonListPage(query, work(), 1, QString());
        FAIL() << "no error";
    } catch (const OutputError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Impossible de créer le répertoire des pages html")))
            << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(work() + QStringLiteral("index.htm")));
}

TEST_F(HtmlTest, AFullDiskIsToldInFrenchAndLeavesNoPage)
{
    PrepareHtmlDirectories();
    // An earlier page stays from a previous export.
    testing_support::Sandbox::writeFile(work() + QStringLiteral("index.htm"), "ancienne page");
    testing_support::SmallDisk disk(work(), 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    testing_support::Sandbox::writeFile(work() + QStringLiteral("index.htm"), "ancienne page");
    disk.fillLeaving(20 * 1024);
    ctx.planningType = 1;
    const planning::MonthModel month = monthOf(query, ctx, persons, projects);
    try {
        WriteMonthlyPlanningPage(query, work(), PlanningPageTitle(ctx), month, ctx, persons, projects);
        FAIL() << "no error";
    } catch (const OutputError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Impossible d'écrire"))) << e.message().toStdString();
        // The reason too, never the library's "Unknown error".
        EXPECT_TRUE(e.message().contains(QStringLiteral("plus de place sur le disque"))) << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(work() + QStringLiteral("index.htm")));
}

}  // namespace output_test
