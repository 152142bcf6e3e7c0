// The report engine on its own: the template reader's refusals, the layout
// of bands over plain datasets, expressions, page images and PDF output.
#include "report/PreparedReport.h"
#include "report/Report.h"
#include "report/ReportTemplate.h"

#include "../support/Sandbox.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>

#include <gtest/gtest.h>

using namespace report;

namespace {

// A dataset over a vector of rows that counts its data-change events.
class VectorDataset : public ReportDataset {
public:
    std::vector<QVariantMap> rows;
    int cur = -1;
    QStringList events;  // "<row>" per move
    std::function<void(int)> onMove;

    void first() override
    {
        cur = rows.empty() ? -1 : 0;
        moved();
    }
    void next() override
    {
        if (cur + 1 < static_cast<int>(rows.size())) {
            ++cur;
            moved();
        } else {
            cur = static_cast<int>(rows.size());
        }
    }
    bool eof() const override { return cur < 0 || cur >= static_cast<int>(rows.size()); }
    bool isEmpty() const override { return rows.empty(); }
    QVariant value(const QString& field) override
    {
        if (eof())
            return {};
        return rows[cur].value(field);
    }

private:
    void moved()
    {
        if (cur >= 0) {
            events << QString::number(cur);
            if (onMove)
                onMove(cur);
        }
    }
};

QByteArray page(const QByteArray& bands)
{
    return "<report><page size=\"A4\" orientation=\"portrait\" left=\"10\" top=\"10\" right=\"10\" bottom=\"10\"/>"
        + bands + "</report>";
}

QStringList textsOf(const PreparedPage& p)
{
    QStringList out;
    for (const PreparedItem& i : p.items) {
        if (i.kind == ObjectKind::Text)
            out << i.text;
    }
    return out;
}

}  // namespace

TEST(ReportTemplate, BadTemplatesAreRefusedWithTheFileNamed)
{
    struct Case {
        const char* text;
        const char* why;
    };
    const Case cases[] = {
        {"", "document vide"},
        {"<rapport/>", "racine"},
        {"<report><page size=\"A3\"/></report>", "format de page"},
        {"<report><band kind=\"masterdata\" height=\"10\"/></report>", "dataset"},
        {"<report><band kind=\"nope\" height=\"10\"/></report>", "type de bande"},
        {"<report><band kind=\"reporttitle\"/></report>", "hauteur"},
        {"<report><band kind=\"reporttitle\" height=\"-5\"/></report>", "valeur incorrecte"},
        {"<report><band kind=\"reporttitle\" height=\"nan\"/></report>", "valeur incorrecte"},
        {"<report><band kind=\"reporttitle\" height=\"5\"><text left=\"1e308\"/></band></report>", "valeur incorrecte"},
        {"<report><band kind=\"reporttitle\" height=\"5\"><blob/></band></report>", "objet inconnu"},
        {"<report><band kind=\"reporttitle\" height=\"5\"><text align=\"up\"/></band></report>", "alignement"},
        {"<report><band kind=\"reporttitle\" height=\"5\"><text color=\"#zz\"/></band></report>", "couleur"},
        {"<report><band kind=\"reporttitle\" height=\"5\"><text>a<b/></text></band></report>", "ligne"},
        {"<report><band kind=\"reporttitle\" height=\"5\">", "ligne"},
        {"<report><band kind=\"pageheader\" height=\"200\"/><band kind=\"pagefooter\" height=\"80\"/>"
         "<band kind=\"reporttitle\" height=\"10\"/></report>",
         "ne tiennent pas"},
        {"<report><band kind=\"reporttitle\" height=\"150\"/><band kind=\"reporttitle\" height=\"150\"/>"
         "</report>",
         "ne tiennent pas"},
        {"<report><band kind=\"pageheader\" height=\"5\" firstpage=\"no\"/></report>", "firstpage"},
    };
    for (const Case& c : cases) {
        try {
            ParseReportTemplate(QByteArray(c.text), QStringLiteral("Bad.frf"));
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const ReportError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("\"Bad.frf\""))) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.why)))
                << c.text << " -> " << e.message().toStdString();
        }
    }
}

TEST(ReportTemplate, MissingFileIsNamed)
{
    try {
        ReadReportTemplate(QStringLiteral("/nonexistent/PeopleList.frf"));
        FAIL();
    } catch (const ReportError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Le modèle d'état \"/nonexistent/PeopleList.frf\" est introuvable."));
    }
}

TEST(ReportTemplate, ObjectsKeepTheirAttributes)
{
    ReportTemplate t = ParseReportTemplate(
        page("<band kind=\"masterdata\" dataset=\"frDBDataSet\" height=\"12.5\">"
             "<text name=\"T\" left=\"1\" top=\"2\" width=\"30\" height=\"5\" size=\"12\" bold=\"1\" align=\"right\" "
             "valign=\"center\" wrap=\"1\" frame=\"1\">[Field1] x</text>"
             "<picture name=\"Img_Planning\" field=\"Img1\" width=\"10\" height=\"4\"/></band>"),
        QStringLiteral("t.frf"));
    ASSERT_EQ(t.bands.size(), 1u);
    EXPECT_EQ(t.bands[0].height, 125);
    const ReportObject* o = t.findObject(QStringLiteral("t"));
    ASSERT_TRUE(o);
    EXPECT_EQ(o->rect, QRectF(10, 20, 300, 50));
    EXPECT_EQ(o->text, QStringLiteral("[Field1] x"));
    EXPECT_TRUE(o->bold && o->wordWrap && o->frame);
    EXPECT_EQ(o->alignment, int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(t.findObject(QStringLiteral("Img_Planning"))->kind, ObjectKind::Picture);
    EXPECT_EQ(t.findObject(QStringLiteral("none")), nullptr);
}

class ReportLayout : public ::testing::Test {
protected:
    void load(const QByteArray& text)
    {
        sandbox = std::make_unique<testing_support::Sandbox>(false);
        file = sandbox->root() + QStringLiteral("t.frf");
        testing_support::Sandbox::writeFile(file, text);
        report.LoadFromFile(file);
        report.addDataset(QStringLiteral("frDBDataSet"), &master);
        report.addDataset(QStringLiteral("frDSKey"), &key);
    }
    std::unique_ptr<testing_support::Sandbox> sandbox;
    QString file;
    Report report;
    VectorDataset master, key;
};

TEST_F(ReportLayout, BandsPaginateWithHeadersFootersAndVariables)
{
    load(page("<band kind=\"reporttitle\" height=\"20\"><text>[TITLE]|[REPORTTITLE]</text></band>"
              "<band kind=\"pageheader\" height=\"10\"><text>head [PAGE#]</text></band>"
              "<band kind=\"masterdata\" dataset=\"frDBDataSet\" height=\"50\"><text>[Field1]/[Missing]</text></band>"
              "<band kind=\"detaildata\" dataset=\"frDSKey\" height=\"10\"><text>[frDSKey.Name]+[Field1]</text></band>"
              "<band kind=\"pagefooter\" height=\"10\"><text>[PAGE#]/[TOTALPAGES]</text></band>"
              "<band kind=\"reportsummary\" height=\"10\"><text>[CURRENCYSYMBOL]end</text></band>"));
    for (int i = 0; i < 6; ++i)
        master.rows.push_back({{QStringLiteral("Field1"), QStringLiteral("R%1").arg(i)}});
    key.rows = {{{QStringLiteral("Name"), QStringLiteral("k")}}};
    report.Title = QStringLiteral("Liste");
    report.OnGetValue = [](const QString& name, QVariant& v) {
        if (name.toUpper() == QLatin1String("TITLE"))
            v = QStringLiteral("T");
        if (name.toUpper() == QLatin1String("CURRENCYSYMBOL"))
            v = QStringLiteral("€");
    };
    report.PrepareReport();
    const PreparedReport& p = report.prepared();
    // 257 mm of room between header and footer: the title, then 3 records of 60 mm
    // on page 1, 3 on page 2 with the summary.
    ASSERT_EQ(p.pageCount(), 2);
    const QStringList one = textsOf(p.pages[0]);
    // The title heads the first page, the page header follows it.
    ASSERT_GE(one.size(), 2);
    EXPECT_EQ(one.at(0), QStringLiteral("T|Liste"));
    EXPECT_EQ(one.at(1), QStringLiteral("head 1"));
    EXPECT_LT(p.pages[0].items[0].rect.top(), p.pages[0].items[1].rect.top());
    EXPECT_TRUE(one.contains(QStringLiteral("R0/")));
    EXPECT_TRUE(one.contains(QStringLiteral("k+R2")));
    EXPECT_EQ(one.last(), QStringLiteral("1/") + kTotalPagesMark);
    const QStringList two = textsOf(p.pages[1]);
    EXPECT_EQ(two.first(), QStringLiteral("head 2"));
    EXPECT_TRUE(two.contains(QStringLiteral("R5/")));
    EXPECT_TRUE(two.contains(QStringLiteral("€end")));
    // One move per record, in order, master and detail alike.
    EXPECT_EQ(master.events.join(QLatin1Char(',')), QStringLiteral("0,1,2,3,4,5"));
    EXPECT_EQ(key.events.size(), 6);
    // Footer sits at the bottom margin.
    EXPECT_DOUBLE_EQ(p.pages[0].items.back().rect.top(), 2970 - 100 - 100);
}

TEST_F(ReportLayout, PageHeaderCanLeaveTheFirstPageToTheTitle)
{
    load(page("<band kind=\"pageheader\" height=\"10\" firstpage=\"0\"><text>head [PAGE#]</text></band>"
              "<band kind=\"reporttitle\" height=\"20\"><text>title</text></band>"
              "<band kind=\"masterdata\" dataset=\"frDBDataSet\" height=\"100\"><text>[Field1]</text></band>"));
    for (int i = 0; i < 3; ++i)
        master.rows.push_back({{QStringLiteral("Field1"), QStringLiteral("R%1").arg(i)}});
    report.PrepareReport();
    const PreparedReport& p = report.prepared();
    ASSERT_EQ(p.pageCount(), 2);
    EXPECT_EQ(textsOf(p.pages[0]), QStringList({QStringLiteral("title"), QStringLiteral("R0"), QStringLiteral("R1")}));
    EXPECT_EQ(textsOf(p.pages[1]), QStringList({QStringLiteral("head 2"), QStringLiteral("R2")}));
}

TEST_F(ReportLayout, EventWritesArePrintedWithTheirRecordAndAFailureKeepsThePages)
{
    load(page("<band kind=\"masterdata\" dataset=\"frDBDataSet\" height=\"20\"><text>[Field1]:[Live]</text>"
              "<picture field=\"Pic\" width=\"10\" height=\"10\"/></band>"));
    master.rows = {{{QStringLiteral("Field1"), QStringLiteral("a")}},
                   {{QStringLiteral("Field1"), QStringLiteral("b")}}};
    master.onMove = [this](int row) {
        master.rows[row][QStringLiteral("Live")] = QStringLiteral("ev%1").arg(row);
        QImage img(4, 4, QImage::Format_RGB32);
        img.fill(row ? Qt::red : Qt::blue);
        QByteArray bmp;
        QBuffer b(&bmp);
        b.open(QIODevice::WriteOnly);
        img.save(&b, "BMP");
        master.rows[row][QStringLiteral("Pic")] = bmp;
    };
    report.PrepareReport();
    const auto& items = report.prepared().pages[0].items;
    EXPECT_EQ(items[0].text, QStringLiteral("a:ev0"));
    EXPECT_EQ(items[1].picture.pixelColor(1, 1), QColor(Qt::blue));
    EXPECT_EQ(items[2].text, QStringLiteral("b:ev1"));
    EXPECT_EQ(items[3].picture.pixelColor(1, 1), QColor(Qt::red));

    master.onMove = [](int) { throw ReportError(QStringLiteral("boom")); };
    EXPECT_THROW(report.PrepareReport(), ReportError);
    EXPECT_EQ(report.prepared().pageCount(), 1);
}

TEST_F(ReportLayout, UnknownDatasetIsNamed)
{
    load(page("<band kind=\"masterdata\" dataset=\"Other\" height=\"20\"/>"));
    try {
        report.PrepareReport();
        FAIL();
    } catch (const ReportError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("« Other »")));
    }
}

TEST_F(ReportLayout, PagesDrawOnPicturesAndPrintToPdf)
{
    load(page(
        "<band kind=\"pageheader\" height=\"20\"><rect left=\"0\" top=\"0\" width=\"190\" height=\"15\" "
        "fill=\"#ff0000\"/></band>"
        "<band kind=\"masterdata\" dataset=\"frDBDataSet\" height=\"100\"><text size=\"30\">[Field1]</text></band>"));
    for (int i = 0; i < 5; ++i)
        master.rows.push_back({{QStringLiteral("Field1"), QStringLiteral("Page text %1").arg(i)}});
    report.PrepareReport();
    const PreparedReport& p = report.prepared();
    ASSERT_EQ(p.pageCount(), 3);
    const QImage img = p.pageImage(0, 210);
    EXPECT_EQ(img.size(), QSize(210, 297));
    EXPECT_EQ(img.pixelColor(100, 15), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(100, 250), QColor(Qt::white));

    EXPECT_EQ(p.parsePageRange(QStringLiteral("2-3")).first, 2);
    EXPECT_EQ(p.parsePageRange(QStringLiteral("2-9")).last, 3);
    EXPECT_EQ(p.parsePageRange(QStringLiteral("x")).last, 3);
    EXPECT_EQ(p.parsePageRange(QStringLiteral("3-1")).last, 3);

    const QString pdf = sandbox->root() + QStringLiteral("out.pdf");
    p.writePdf(pdf, p.parsePageRange(QStringLiteral("2-3")), 2);
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"), pdf,
                    sandbox->root() + QStringLiteral("pg")});
    ASSERT_TRUE(pdftoppm.waitForFinished(60000));
    ASSERT_EQ(pdftoppm.exitCode(), 0) << pdftoppm.readAllStandardError().toStdString();
    const QStringList pngs = QDir(sandbox->root()).entryList({QStringLiteral("pg*.png")}, QDir::Files, QDir::Name);
    ASSERT_EQ(pngs.size(), 4);  // two pages, twice
    for (const QString& f : pngs) {
        const QImage shot(sandbox->root() + f);
        ASSERT_FALSE(shot.isNull());
        const QColor c = shot.pixelColor(shot.width() / 2, shot.height() * 15 / 297);
        EXPECT_GT(c.red(), 200);
        EXPECT_LT(c.green(), 60);
    }

    // An unwritable target is reported, not claimed as done.
    EXPECT_THROW(p.writePdf(QStringLiteral("/nonexistent/dir/out.pdf"), {1, 1}, 1), ReportError);
}

// A wrapped text of megabytes keeps only what its box shows (and a line
// more), so preparing and drawing it cost a box of lines; the box looks
// exactly as with the whole text.
TEST_F(ReportLayout, LongWrappedTextsKeepWhatTheirBoxShows)
{
    load(page("<band kind=\"masterdata\" dataset=\"frDBDataSet\" height=\"40\">"
              "<text left=\"0\" top=\"0\" width=\"80\" height=\"30\" size=\"9\" wrap=\"1\" valign=\"center\">"
              "[Field1]</text></band>"));
    QString huge, medium, shortText = QStringLiteral("Deux mots");
    for (int i = 0; huge.size() < 4 * 1024 * 1024; ++i)
        huge += QStringLiteral("mot%1 ").arg(i) + (i % 37 == 0 ? QStringLiteral("\n") : QString());
    medium = huge.left(20000);
    for (const QString* t : {&huge, &medium, &shortText})
        master.rows.push_back({{QStringLiteral("Field1"), *t}});
    report.PrepareReport();
    const PreparedReport& p = report.prepared();
    std::vector<const PreparedItem*> items;
    for (const PreparedPage& pg : p.pages) {
        for (const PreparedItem& i : pg.items)
            items.push_back(&i);
    }
    ASSERT_EQ(items.size(), 3u);
    for (const PreparedItem* i : {items[0], items[1]}) {
        EXPECT_LT(i->text.size(), 2000);
        EXPECT_GT(i->text.size(), 100);
        EXPECT_TRUE(huge.startsWith(i->text));
        EXPECT_EQ(i->flags & Qt::AlignVertical_Mask, int(Qt::AlignTop));
    }
    EXPECT_EQ(items[2]->text, shortText);

    // The box drawn from the kept lines is the box drawn from the whole text.
    PreparedReport whole = p;
    for (PreparedPage& pg : whole.pages) {
        for (PreparedItem& i : pg.items) {
            if (medium.startsWith(i.text) && i.text.size() > 100 && i.text.size() < medium.size())
                i.text = medium;
        }
    }
    const int width = 2100;  // one pixel per tenth of a millimetre
    const QRect box = TextBox(items[1]->rect).toAlignedRect();
    int pageOfMedium = 0;
    for (int n = 0; n < p.pageCount(); ++n) {
        for (const PreparedItem& i : p.pages[n].items)
            pageOfMedium = &i == items[1] ? n : pageOfMedium;
    }
    auto topAligned = [&](PreparedReport r) {
        for (PreparedPage& pg : r.pages) {
            for (PreparedItem& i : pg.items)
                i.flags = (i.flags & ~Qt::AlignVertical_Mask) | Qt::AlignTop;
        }
        return r.pageImage(pageOfMedium, width).copy(box);
    };
    EXPECT_EQ(p.pageImage(pageOfMedium, width).copy(box), topAligned(whole));
}
