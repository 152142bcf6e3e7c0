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
