#include "planning/PlanningModel.h"

#include <gtest/gtest.h>

using namespace planning;

// User texts holding the markers, or a "%", come back exactly; the other
// fields and the id are not disturbed.
TEST(Entries, LabelsHoldingMarkersSurvive)
{
    const QString texts[] = {
        QStringLiteral("Tour %&e% Nord"),
        QStringLiteral("%&a%%&b%%&c%%&d%%&e%%&f%"),
        QStringLiteral("Remise 10%"),
        QStringLiteral("%25 littéral"),
        QStringLiteral("%"),
        QString(),
    };
    for (const QString& a : texts) {
        for (const QString& b : texts) {
            const QString entry = MakeEntry(42, 255, 65280, 3, a, b);
            EXPECT_EQ(EntryField(entry, 1), QStringLiteral("255"));
            EXPECT_EQ(EntryField(entry, 2), QStringLiteral("65280"));
            EXPECT_EQ(EntryField(entry, 3), QStringLiteral("3"));
            EXPECT_EQ(EntryField(entry, 4), a);
            EXPECT_EQ(EntryField(entry, 5), b);
            EXPECT_EQ(EntryId({entry}, 0), 42);
            EXPECT_EQ(EntryIndexOfId({entry}, 42), 0);
        }
    }
    // Plain labels keep the entry string exactly as it always was.
    EXPECT_EQ(MakeEntry(7, 1, 2, 0, QStringLiteral("Pont"), QStringLiteral("Neuf")),
              QStringLiteral("0007%&a%1%&b%2%&c%0%&d%Pont%&e%Neuf%&f%"));
}
