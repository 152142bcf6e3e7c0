// Renders both planning views with sample data into PNG files, to look at
// them: planning_snapshot OUTDIR
#include "core/Clock.h"
#include "planning/PlanningModel.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"

#include <QApplication>
#include <QMouseEvent>

using namespace planning;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    core::setClock([] { return QDateTime(QDate(2024, 5, 15), QTime(10, 0)); });
    const QStringList legend = {MakeEntry(1, 0x3050E0, 0xFFFFFF, 2, QStringLiteral("Pont"), {}),
                                MakeEntry(2, 0x40C040, 0x106010, 4, QStringLiteral("Tour"), {}),
                                MakeEntry(3, 0xE0A030, 0x603000, 6, QStringLiteral("Quai"), {}),
                                MakeEntry(4, 0x3090F0, 0x000000, 1, QStringLiteral("Gare"), {})};

    TAnnualGraphicPlanning year;
    year.resize(1000, 520);
    year.setBackGroundColor(16120570);
    year.Year = 2024;
    year.Legend = legend;
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= 28; d += 1 + m % 3)
            year.SetYearCell(m, d, 1 + d % 2, 1 + (m + d) % 4, EntryField(legend[(m + d) % 4], 1).toUInt(),
                             EntryField(legend[(m + d) % 4], 2).toUInt(),
                             DecodeBrushStyle(EntryField(legend[(m + d) % 4], 3).toInt()));
    year.show();
    year.Relayout(true);
    QMouseEvent move(QEvent::MouseMove, QPointF(400, 200), QPointF(400, 200), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&year, &move);
    year.bitmap().save(out + QStringLiteral("/annual.png"));

    TMonthlyGraphicPlanning month;
    month.setColor(16120570);
    month.setBackGroundColor(16120570);
    month.resize(1000, 400);
    month.show();
    month.Year = 2024;
    month.Month = 5;
    month.Legend = legend;
    month.SetMonthDimensions(8, 12, 31, 2);
    for (int r = 0; r < 8; ++r)
        for (int d = 1; d <= 31; d += 1 + r % 2)
            month.SetMonthCell(r, 5, d, 1 + (d + r) % 2, 1 + (r + d) % 4, EntryField(legend[(r + d) % 4], 1).toUInt(),
                               EntryField(legend[(r + d) % 4], 2).toUInt(),
                               DecodeBrushStyle(EntryField(legend[(r + d) % 4], 3).toInt()));
    month.ObjectCount = 8;
    month.setRowCount(8);
    month.Relayout();
    QMouseEvent move2(QEvent::MouseMove, QPointF(300, 80), QPointF(300, 80), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&month, &move2);
    month.bitmap().save(out + QStringLiteral("/monthly.png"));
    return 0;
}
