#include "planning/PlanningModel.h"
#include "planning/PlanningWriter.h"
#include "planning/Swatch.h"

#include <gtest/gtest.h>

using namespace planning;

TEST(Entries, FieldsIdsAndIndexes)
{
    const QString e = MakeEntry(12, 255, 65280, 3, QStringLiteral("Alice"), QStringLiteral("Chef"));
    EXPECT_EQ(e, QStringLiteral("0012%&a%255%&b%65280%&c%3%&d%Alice%&e%Chef%&f%"));
    EXPECT_EQ(EntryField(e, 1), QStringLiteral("255"));
    EXPECT_EQ(EntryField(e, 2), QStringLiteral("65280"));
    EXPECT_EQ(EntryField(e, 3), QStringLiteral("3"));
    EXPECT_EQ(EntryField(e, 4), QStringLiteral("Alice"));
    EXPECT_EQ(EntryField(e, 5), QStringLiteral("Chef"));
    const QStringList list{e, MakeEntry(9999, 0, 0, 0, {}, {}), MakeEntry(10000, 0, 0, 0, {}, {}),
                           QStringLiteral("abcd%&a%1%&b%")};
    EXPECT_EQ(EntryId(list, 0), 12);
    EXPECT_EQ(EntryId(list, 2), 10000);
    EXPECT_EQ(EntryId(list, 3), -1);  // not a number
    EXPECT_EQ(EntryId(list, 4), -1);
    EXPECT_EQ(EntryId({}, 0), -1);
    EXPECT_EQ(EntryIndexOfId(list, 12), 0);
    EXPECT_EQ(EntryIndexOfId(list, 9999), 1);
    EXPECT_EQ(EntryIndexOfId(list, 10000), -1);  // five digits never match
    EXPECT_EQ(EntryIndexOfId(list, 7), -1);
}

TEST(BrushStyles, DecodeEncodeAndShift)
{
    const TBrushStyle expected[] = {bsClear,      bsSolid,    bsCross,     bsDiagCross,
                                    bsHorizontal, bsVertical, bsBDiagonal, bsFDiagonal};
    for (int code = 0; code < 8; ++code) {
        EXPECT_EQ(DecodeBrushStyle(code), expected[code]);
        EXPECT_EQ(EncodeBrushStyle(DecodeBrushStyle(code)), code);
    }
    EXPECT_EQ(DecodeBrushStyle(8), bsClear);
    EXPECT_EQ(DecodeBrushStyle(-3), bsClear);
    EXPECT_EQ(ShiftColor(0x00FAFA10, 10), 0x00FEFE1Au);    // above 255 becomes 254
    EXPECT_EQ(ShiftColor(0x00050A00, -8), 0x00010201u);    // below 0 becomes 1
    EXPECT_EQ(ColorFromRef(0x0000FF), QColor(255, 0, 0));  // red in the low byte
    EXPECT_EQ(ColorFromRef(0x80000005), QColor(255, 255, 255));
}

TEST(Calendar, FirstColumnsAndLeapYears)
{
    EXPECT_EQ(FirstColumnOf(2024, 1), 1);   // Monday
    EXPECT_EQ(FirstColumnOf(2024, 12), 7);  // Sunday; 31 days end in column 37
    EXPECT_EQ(FirstColumnOf(2024, 12) + DaysInMonth(2024, 12) - 1, 37);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
}

TEST(Swatch, HatchLinesAndBevel)
{
    // 16 × 16 at scale 2: 32 × 32 before the reduction.
    const QImage h = RenderSwatchUnreduced(16, 16, 1, 12, -1, 2, 0xFFFFFF, 0x000000, bsHorizontal);
    QList<int> rows;
    for (int y = 0; y < h.height(); ++y) {
        if (h.pixelColor(16, y) == QColor(Qt::black))
            rows << y;
    }
    EXPECT_EQ(rows, (QList<int>{7, 20}));  // 33 and later fall outside 32 pixels
    const QImage big = RenderSwatchUnreduced(40, 40, 1, 12, -1, 2, 0xFFFFFF, 0x000000, bsVertical);
    QList<int> cols;
    for (int x = 0; x < big.width(); ++x) {
        if (big.pixelColor(x, 40) == QColor(Qt::black))
            cols << x;
    }
    EXPECT_EQ(cols, (QList<int>{7, 20, 33, 46, 59, 72}));
    // Solid and clear draw only the bevelled background.
    for (TBrushStyle s : {bsSolid, bsClear}) {
        const QImage plain = RenderSwatchUnreduced(16, 16, 3, 12, 3, 2, 0x808080, 0x000000, s);
        EXPECT_EQ(plain.pixelColor(16, 16), QColor(128, 128, 128));
        EXPECT_EQ(plain.pixelColor(16, 0), QColor(228, 228, 228));  // top edge +100
        EXPECT_EQ(plain.pixelColor(16, 31), QColor(28, 28, 28));    // bottom edge -100
        EXPECT_EQ(plain.pixelColor(16, 2), QColor(198, 198, 198));  // +70 at depth 2
        EXPECT_EQ(plain.pixelColor(0, 0), QColor(255, 255, 255));   // top and left, clamped
    }
    const QImage cross = RenderSwatchUnreduced(16, 16, 1, 12, -1, 2, 0xFFFFFF, 0x000000, bsCross);
    EXPECT_EQ(cross.pixelColor(7, 3), QColor(Qt::black));
    EXPECT_EQ(cross.pixelColor(3, 7), QColor(Qt::black));
    const QImage reduced = RenderSwatch(20, 20, 3, 12, 3, 2, 0x0000FF, 0x000000, bsClear, 0);
    EXPECT_EQ(reduced.size(), QSize(20, 20));
    EXPECT_EQ(reduced.pixelColor(10, 10), QColor(255, 0, 0));
    const QImage light = RenderSwatch(20, 20, 3, 12, 3, 2, 0x0000FF, 0x000000, bsClear, 50);
    EXPECT_EQ(light.pixelColor(10, 10), QColor(255, 50, 50));
}

TEST(Hint, TextsOfTheHoveredHalfDay)
{
    EXPECT_EQ(MiddleBarCaption(5, 1, 2, 2009), QStringLiteral("Lundi 5 Janvier 2009 (Après-Midi) "));
    EXPECT_EQ(MiddleBarCaption(29, 2, 1, 2024), QStringLiteral("Jeudi 29 Février 2024 (Matinée) "));
    EXPECT_EQ(MiddleBarCaption(29, 2, 1, 2100), QStringLiteral(" "));
    EXPECT_EQ(MiddleBarCaption(0, 3, 1, 2024), QStringLiteral(" "));
    EXPECT_EQ(MiddleBarCaption(-4, 3, 1, 2024), QStringLiteral(" "));
    EXPECT_EQ(HoverHintText(1, 12, 0, 2024), QStringLiteral("Dimanche 1 Décembre 2024"));
}
