// The renderers draw a const model on a plain QImage, as the HTML pages and
// reports do, without any widget; the pictures are compared with golden files.
#include "core/Clock.h"
#include "planning/AnnualRenderer.h"
#include "planning/LegendImages.h"
#include "planning/MonthRenderer.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include "../support/GoldenImage.h"

#include <gtest/gtest.h>

using namespace planning;

namespace {

const QStringList kLegend = {MakeEntry(1, 0x3050E0, 0xFFFFFF, 2, QStringLiteral("Pont"), {}),
                             MakeEntry(2, 0x40C040, 0x106010, 4, QStringLiteral("Tour"), {}),
                             MakeEntry(3, 0xE0A030, 0x603000, 6, QStringLiteral("Quai"), {})};

void fill(AnnualModel& year)
{
    year.Year = 2024;
    year.Legend = kLegend;
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= 28; d += 1 + m % 3) {
            const QString& e = kLegend[(m + d) % 3];
            year.SetYearCell(m, d, 1 + d % 2, 1 + (m + d) % 3, EntryField(e, 1).toUInt(), EntryField(e, 2).toUInt(),
                             DecodeBrushStyle(EntryField(e, 3).toInt()));
        }
    }
}

void expectGolden(const QImage& image, const QString& name)
{
    testing_support::ExpectGolden(image, QStringLiteral(PLANNING_GOLDEN_DIR), name, 200);
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::setClock([] { return QDateTime(QDate(2024, 5, 15), QTime(10, 0)); });
    }
    void TearDown() override { core::setClock({}); }
};

}  // namespace

TEST_F(RenderTest, YearOfTheHtmlPageFromAConstModel)
{
    AnnualModel year;
    fill(year);
    year.DirectColors = true;
    const AnnualModel& model = year;
    const LegendImages none;
    QImage image(680, 500, QImage::Format_RGB32);
    QPainter p(&image);
    AnnualRenderer(model, none)
        .RenderYear(&p, false, true, false, kGridColor, kWeekendColor, 0xFFFFFF, 20, 17, 25, 15, 500, 680);
    p.end();
    // A past half-day is the pen colour lightened; a weekend band stays grey.
    const QRect jan1 = YearGeometry{17, 20, 25, 15, 0xFFFFFF, true}.positionRect(FirstColumnOf(2024, 1), 1, 2);
    EXPECT_NE(image.pixelColor(jan1.center()), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(25 + 17 * 5 + 8, 15 + 23 * 20 + 10), QColor(245, 245, 245));
    expectGolden(image, QStringLiteral("year_680x500.png"));
}

TEST_F(RenderTest, MonthStripsFromAConstModel)
{
    MonthModel month;
    month.Year = 2024;
    month.Month = 5;
    month.Legend = kLegend;
    month.SetMonthDimensions(3, 12, 31, 2);
    for (int r = 0; r < 3; ++r) {
        for (int d = 1; d <= 31; d += 1 + r) {
            const QString& e = kLegend[(r + d) % 3];
            month.SetMonthCell(r, 5, d, 1 + (d + r) % 2, 1 + (r + d) % 3, EntryField(e, 1).toUInt(),
                               EntryField(e, 2).toUInt(), DecodeBrushStyle(EntryField(e, 3).toInt()));
        }
    }
    month.ObjectCount = 3;
    month.DirectColors = true;
    const MonthGeometry g = MonthGeometry::ForMonth(2024, 5, 510, 48, 0xFFFFFF, true);
    const LegendImages none;
    const MonthRenderer renderer(month, none);
    // One 500 × 48 strip per row, stacked, as the monthly page writes them.
    QImage image(500, 3 * 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int r = 0; r < 3; ++r) {
        QImage strip(500, 48, QImage::Format_RGB32);
        QPainter p(&strip);
        renderer.RenderMonthRow(&p, QRect(0, 0, 500, 48), true, false, kGridColor, kWeekendColor, 0xFFFFFF,
                                g.firstWeekday, g.days, 16, 500 / g.days, 0, 15, r);
        p.end();
        QPainter(&image).drawImage(0, 48 * r, strip);
    }
    // Nothing is drawn while the dimensions are not set.
    MonthModel unset;
    QImage blank(50, 48, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QPainter bp(&blank);
    MonthRenderer(unset, none)
        .RenderMonthRow(&bp, QRect(0, 0, 50, 48), true, false, kGridColor, kWeekendColor, 0xFFFFFF, 1, 31, 16, 1, 0, 15,
                        0);
    bp.end();
    EXPECT_EQ(blank.pixelColor(25, 30), QColor(Qt::white));
    expectGolden(image, QStringLiteral("month_strips_500x48.png"));
}

namespace {

// The 2024 year of kLegend[0] on a few days around two holidays and a closed afternoon.
HolidaySettings closedChristmasEve(bool shown)
{
    HolidaySettings s;
    s.showInPlanning = shown;
    s.closures = {{QDate(2024, 12, 24), QDate(2024, 12, 24), DayPart::Afternoon, QStringLiteral("Veille de Noël")}};
    return s;
}

void paint(AnnualModel& year, int m, int d, int h)
{
    const QString& e = kLegend[0];
    year.SetYearCell(m, d, h, 1, EntryField(e, 1).toUInt(), EntryField(e, 2).toUInt(),
                     DecodeBrushStyle(EntryField(e, 3).toInt()));
}

QImage renderYear(const AnnualModel& year, bool showDayNumber = false)
{
    const LegendImages none;
    QImage image(680, 500, QImage::Format_RGB32);
    QPainter p(&image);
    AnnualRenderer(year, none)
        .RenderYear(&p, false, showDayNumber, false, kGridColor, kWeekendColor, 0xFFFFFF, 20, 17, 25, 15, 500, 680);
    return image;
}

QImage region(const QImage& image, const QRect& r)
{
    return image.copy(r);
}

QImage filled(const QSize& size, quint32 color)
{
    QImage i(size, QImage::Format_RGB32);
    i.fill(ColorFromRef(color));
    return i;
}

}  // namespace

TEST_F(RenderTest, HolidaysInTheYearOnlyWithTheOptionOn)
{
    // Off in the dossier: the design's picture, to the pixel.
    AnnualModel designed;
    fill(designed);
    designed.DirectColors = true;
    const QImage plain = renderYear(designed, true);
    AnnualModel off = designed;
    off.DaysOff = NonWorkingDaysShown(closedChristmasEve(false), 2024);
    EXPECT_EQ(renderYear(off, true), plain);
    expectGolden(renderYear(off, true), QStringLiteral("year_680x500.png"));

    AnnualModel year;
    year.Year = 2024;
    year.Legend = kLegend;
    year.DirectColors = true;
    paint(year, 4, 1, 2);    // Easter Monday afternoon, painted
    paint(year, 4, 2, 2);    // the next day, painted, as the reference
    paint(year, 12, 25, 1);  // Christmas morning, painted
    const QImage without = renderYear(year);
    year.DaysOff = NonWorkingDaysShown(closedChristmasEve(true), 2024);
    const QImage with = renderYear(year);
    const YearGeometry g{17, 20, 25, 15, 0xFFFFFF, false};
    const YearCalendar cal(2024);
    auto rect = [&](int m, int d, int h) { return g.positionRect(cal.firstColumn[m] + d - 1, m, h); };

    // An empty holiday half-day is drawn as an empty weekend one.
    const QRect saturday = rect(4, 6, 1);
    EXPECT_EQ(region(with, rect(4, 1, 1)), region(with, saturday));
    EXPECT_EQ(region(with, rect(4, 1, 1)), filled(saturday.size(), kWeekendColor));
    EXPECT_EQ(region(without, rect(4, 1, 1)), filled(saturday.size(), 0xFFFFFF));
    // The closed afternoon is grey, its morning stays white.
    EXPECT_EQ(region(with, rect(12, 24, 2)), filled(saturday.size(), kWeekendColor));
    EXPECT_EQ(region(with, rect(12, 24, 1)), filled(saturday.size(), 0xFFFFFF));
    // A painted holiday keeps its swatch below a band of the weekend colour.
    const QRect holiday = rect(4, 1, 2), reference = rect(4, 2, 2);
    const int band = qMax(3, holiday.height() / 5);
    EXPECT_EQ(region(with, holiday.adjusted(0, band + 1, 0, 0)), region(with, reference.adjusted(0, band + 1, 0, 0)));
    EXPECT_EQ(region(with, QRect(holiday.topLeft(), QSize(holiday.width(), band))),
              filled(QSize(holiday.width(), band), kWeekendColor));
    EXPECT_EQ(region(without, holiday), region(without, reference));
    EXPECT_NE(region(with, rect(12, 25, 1)), region(without, rect(12, 25, 1)));
    // Everything else is the design's drawing.
    QImage rest = with;
    QPainter p(&rest);
    QImage restWithout = without;
    QPainter q(&restWithout);
    for (const QRect& r :
         {rect(4, 1, 1),  holiday,        rect(12, 24, 2), rect(12, 25, 1), rect(12, 25, 2), rect(1, 1, 1),
          rect(1, 1, 2),  rect(5, 1, 1),  rect(5, 1, 2),   rect(5, 8, 1),   rect(5, 8, 2),   rect(5, 9, 1),
          rect(5, 9, 2),  rect(5, 20, 1), rect(5, 20, 2),  rect(7, 14, 1),  rect(7, 14, 2),  rect(8, 15, 1),
          rect(8, 15, 2), rect(11, 1, 1), rect(11, 1, 2),  rect(11, 11, 1), rect(11, 11, 2)}) {
        p.fillRect(r, Qt::black);
        q.fillRect(r, Qt::black);
    }
    p.end();
    q.end();
    EXPECT_EQ(rest, restWithout);
    expectGolden(with, QStringLiteral("year_holidays_680x500.png"));
}

TEST_F(RenderTest, HolidaysInTheMonthOnlyWithTheOptionOn)
{
    MonthModel month;
    month.Year = 2024;
    month.Month = 12;
    month.Legend = kLegend;
    month.SetMonthDimensions(1, 12, 31, 2);
    const QString& e = kLegend[1];
    for (int d : {23, 25})
        month.SetMonthCell(0, 12, d, 1, 2, EntryField(e, 1).toUInt(), EntryField(e, 2).toUInt(),
                           DecodeBrushStyle(EntryField(e, 3).toInt()));
    month.ObjectCount = 1;
    month.DirectColors = true;
    const MonthGeometry g = MonthGeometry::ForMonth(2024, 12, 510, 48, 0xFFFFFF, false);
    auto render = [&](const MonthModel& m) {
        const LegendImages none;
        QImage strip(500, 48, QImage::Format_RGB32);
        strip.fill(Qt::white);
        QPainter p(&strip);
        MonthRenderer(m, none).RenderMonthRow(&p, QRect(0, 0, 500, 48), false, false, kGridColor, kWeekendColor,
                                              0xFFFFFF, g.firstWeekday, g.days, 16, 500 / g.days, 0, 15, 0);
        return strip;
    };
    MonthGeometry at = g;
    at.dayWidth = 500 / g.days;
    at.halfRowHeight = 16;
    at.left = 0;
    auto rect = [&](int d, int h) { return at.halfDayRect(QRect(0, 0, 500, 48), d, h); };

    const QImage without = render(month);
    MonthModel off = month;
    off.DaysOff = NonWorkingDaysShown(closedChristmasEve(false), 2024);
    EXPECT_EQ(render(off), without);

    month.DaysOff = NonWorkingDaysShown(closedChristmasEve(true), 2024);
    const QImage with = render(month);
    const QSize cell = rect(24, 2).size();
    EXPECT_EQ(region(with, rect(24, 2)), filled(cell, kWeekendColor));
    EXPECT_EQ(region(with, rect(24, 1)), filled(cell, 0xFFFFFF));
    EXPECT_EQ(region(with, rect(25, 2)), region(with, rect(22, 2)));  // 22 December 2024 is a Sunday
    const int band = qMax(3, cell.height() / 5);
    EXPECT_EQ(region(with, rect(25, 1).adjusted(0, band + 1, 0, 0)),
              region(with, rect(23, 1).adjusted(0, band + 1, 0, 0)));
    EXPECT_EQ(region(with, QRect(rect(25, 1).topLeft(), QSize(cell.width(), band))),
              filled(QSize(cell.width(), band), kWeekendColor));
    EXPECT_EQ(region(without, rect(25, 1)), region(without, rect(23, 1)));
    expectGolden(with, QStringLiteral("month_holidays_500x48.png"));
}
