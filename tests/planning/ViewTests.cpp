#include "core/Clock.h"
#include "planning/PlanningModel.h"
#include "planning/PlanningWriter.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace planning;

namespace {

void mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

const quint32 kRed = 0x0000FF;
const quint32 kBlue = 0xFF0000;

class AnnualViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::setClock([] { return QDateTime(QDate(2024, 6, 15), QTime(9, 0)); });
        view.resize(25 + 37 * 20, 15 + 24 * 15);  // cell 20 wide, half-rows 15 high
        view.Year = 2024;
        view.Legend = {MakeEntry(5, kRed, kBlue, 0, QStringLiteral("Pont"), {}),
                       MakeEntry(7, kBlue, kRed, 1, QStringLiteral("Tour"), {})};
        view.show();
        view.Relayout(true);
        QObject::connect(&view, &TAnnualGraphicPlanning::BeforeChange, &view,
                         [this](QObject*) { log << QStringLiteral("before"); });
        QObject::connect(&view, &TAnnualGraphicPlanning::AfterChange, &view,
                         [this](QObject*) { log << QStringLiteral("after"); });
    }
    void TearDown() override { core::setClock({}); }

    QPoint at(int month, int day, int half) const
    {
        const int column = view.firstColumn(month) + day - 1;
        return QPoint(25 + (column - 1) * 20 + 10, 15 + (2 * (month - 1) + half - 1) * 15 + 7);
    }
    QColor pixel(QPoint p) const { return view.bitmap().pixelColor(p); }

    TAnnualGraphicPlanning view;
    QStringList log;
};

}  // namespace

TEST_F(AnnualViewTest, GridBandsHeadersAndCells)
{
    EXPECT_EQ(view.cellWidth(), 20);
    EXPECT_EQ(view.halfRowHeight(), 15);
    EXPECT_EQ(view.firstColumn(1), 1);
    EXPECT_EQ(view.firstColumn(12), 7);
    EXPECT_EQ(view.daysOf(2), 29);
    EXPECT_EQ(pixel(at(1, 1, 1)), QColor(Qt::white));                       // an empty weekday
    EXPECT_EQ(pixel(at(1, 6, 2)), QColor(245, 245, 245));                   // Saturday 6 January
    EXPECT_EQ(pixel(QPoint(25 + 3 * 20, 15 + 20)), QColor(192, 192, 192));  // grid line inside January
    // Outside the month the weekend band (column 35) or the background (column 37) shows.
    EXPECT_EQ(pixel(QPoint(25 + 34 * 20 + 10, 15 + 7)), QColor(245, 245, 245));
    EXPECT_EQ(pixel(QPoint(25 + 36 * 20 + 10, 15 + 7)), QColor(Qt::white));
    EXPECT_EQ(AnnualRenderer::MonthHeaderText(6), QStringLiteral("Jui"));
    EXPECT_EQ(AnnualRenderer::MonthHeaderText(7), QStringLiteral("Jui"));
    EXPECT_EQ(AnnualRenderer::MonthHeaderText(8), QStringLiteral("Aoû"));
    EXPECT_EQ(AnnualRenderer::WeekdayHeaderText(1), QStringLiteral("L"));
    EXPECT_EQ(AnnualRenderer::WeekdayHeaderText(37), QStringLiteral("M"));
    EXPECT_EQ(view.positionRect(1, 1, 1), QRect(26, 16, 19, 14));

    // Assigned half-days: the legend image, faded when the day has begun.
    view.SetYearCell(6, 14, 1, 5, kRed, kBlue, bsClear);   // yesterday
    view.SetYearCell(6, 15, 2, 5, kRed, kBlue, bsClear);   // today, afternoon: past once the day began
    view.SetYearCell(6, 16, 1, 5, kRed, kBlue, bsClear);   // tomorrow
    view.SetYearCell(6, 17, 1, 99, kRed, kBlue, bsClear);  // no legend entry: nothing drawn over the band
    view.Relayout(false);
    EXPECT_EQ(pixel(at(6, 14, 1)), QColor(255, 50, 50));
    EXPECT_EQ(pixel(at(6, 15, 2)), QColor(255, 50, 50));
    EXPECT_EQ(pixel(at(6, 16, 1)), QColor(255, 0, 0));
    EXPECT_EQ(pixel(at(6, 17, 1)), QColor(Qt::white));
    const QRect r = view.positionRect(view.firstColumn(6) + 16 - 1, 6, 1);
    EXPECT_EQ(pixel(r.center()), QColor(255, 0, 0));
    EXPECT_EQ(pixel(QPoint(r.left() - 1, r.center().y())), QColor(192, 192, 192));

    // Direct colours render each half-day itself, lightened by 20 when past.
    view.DirectColors = true;
    view.Relayout(true);
    EXPECT_EQ(pixel(at(6, 14, 1)), QColor(255, 20, 20));
    EXPECT_EQ(pixel(at(6, 17, 1)), QColor(255, 0, 0));
}

TEST_F(AnnualViewTest, PaintEraseAndRefusedGestures)
{
    view.PaintId = 5;
    view.PaintPenColor = kRed;
    view.PaintBrushColor = kBlue;
    view.PaintStyle = bsClear;
    // Press paints at once, then BeforeChange; a drag paints what it crosses.
    mouse(&view, QEvent::MouseButtonPress, at(7, 2, 1), Qt::LeftButton, Qt::LeftButton);
    mouse(&view, QEvent::MouseMove, at(7, 3, 1), Qt::NoButton, Qt::LeftButton);
    mouse(&view, QEvent::MouseMove, at(7, 4, 1), Qt::NoButton, Qt::LeftButton);
    mouse(&view, QEvent::MouseButtonRelease, at(7, 4, 1), Qt::LeftButton, Qt::NoButton);
    for (int d : {2, 3, 4}) {
        EXPECT_EQ(view.cells.cell(7, d, 1).Id, 5) << d;
        EXPECT_EQ(view.cells.cell(7, d, 1).Modified, 1);
    }
    EXPECT_EQ(view.cells.cell(7, 5, 1).Id, -1);
    EXPECT_EQ(pixel(at(7, 3, 1)), QColor(255, 0, 0));
    EXPECT_EQ(log, (QStringList{QStringLiteral("before"), QStringLiteral("after")}));

    // Right button erases.
    mouse(&view, QEvent::MouseButtonPress, at(7, 3, 1), Qt::RightButton, Qt::RightButton);
    mouse(&view, QEvent::MouseButtonRelease, at(7, 3, 1), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(view.cells.cell(7, 3, 1).Id, -1);
    EXPECT_EQ(view.cells.cell(7, 3, 1).Modified, 1);

    // Modifiers, both buttons, outside the grid: nothing changes, AfterChange still fires.
    log.clear();
    mouse(&view, QEvent::MouseButtonPress, at(8, 1, 1), Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    mouse(&view, QEvent::MouseButtonRelease, at(8, 1, 1), Qt::LeftButton, Qt::NoButton, Qt::ControlModifier);
    mouse(&view, QEvent::MouseButtonPress, at(8, 2, 1), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    mouse(&view, QEvent::MouseButtonPress, at(8, 3, 1), Qt::LeftButton, Qt::LeftButton | Qt::RightButton);
    mouse(&view, QEvent::MouseButtonPress, QPoint(30, 15 + 24 * 15 + 3), Qt::LeftButton, Qt::LeftButton);
    // Right of the last day of February (29 days ending in column 32).
    mouse(&view, QEvent::MouseButtonPress, QPoint(25 + 33 * 20 + 5, 15 + 2 * 15 + 3), Qt::LeftButton, Qt::LeftButton);
    for (int d : {1, 2, 3})
        EXPECT_EQ(view.cells.cell(8, d, 1).Id, -1);
    EXPECT_EQ(log.count(QStringLiteral("after")), 1);
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= 31; ++d) {
            if (m != 7) {
                EXPECT_EQ(view.cells.cell(m, d, 1).Modified, 0) << m << "/" << d;
            }
        }
    }

    // No legend item chosen: neither painting nor erasing.
    view.PaintId = -1;
    mouse(&view, QEvent::MouseButtonPress, at(9, 1, 1), Qt::LeftButton, Qt::LeftButton);
    mouse(&view, QEvent::MouseButtonPress, at(7, 2, 1), Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(view.cells.cell(9, 1, 1).Id, -1);
    EXPECT_EQ(view.cells.cell(7, 2, 1).Id, 5);
}

TEST_F(AnnualViewTest, HoverCrossAndHint)
{
    QString caption;
    QObject::connect(&view, &TAnnualGraphicPlanning::MouseMove, &view, [this, &caption](QObject*) {
        caption = MiddleBarCaption(view.HoverDay, view.HoverMonth, view.HoverHalf, view.Year);
    });
    view.SetYearCell(3, 5, 2, 5, kRed, kBlue, bsClear);
    view.Relayout(false);
    mouse(&view, QEvent::MouseMove, at(3, 12, 2), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(view.HoverMonth, 3);
    EXPECT_EQ(view.HoverDay, 12);
    EXPECT_EQ(view.HoverHalf, 2);
    EXPECT_EQ(caption, QStringLiteral("Mardi 12 Mars 2024 (Après-Midi) "));
    const QColor highlight(214, 222, 243);
    EXPECT_EQ(pixel(at(3, 20, 2)), highlight);  // same half-row
    EXPECT_EQ(pixel(at(3, 20, 1)), QColor(Qt::white));
    EXPECT_EQ(pixel(at(3, 5, 2)), QColor(255, 50, 50));  // assigned (and past): untouched
    const int column = view.firstColumn(3) + 12 - 1;
    EXPECT_EQ(pixel(QPoint(25 + (column - 1) * 20 + 10, 15 + 7)), highlight);  // same column, January
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&view, &leave);
    EXPECT_EQ(pixel(at(3, 20, 2)), QColor(Qt::white));
}

namespace {

class MonthlyViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::setClock([] { return QDateTime(QDate(2024, 1, 1), QTime(9, 0)); });
        view.show();
        bar = view.findChild<QScrollBar*>()->sizeHint().width();
        view.Year = 2024;
        view.Month = 2;
        view.Legend = {MakeEntry(5, kRed, kBlue, 0, QStringLiteral("Pont"), {})};
        view.SetMonthDimensions(6, 12, 31, 2);
        view.ObjectCount = 6;
        view.setRowCount(6);
        view.resize(10 + 20 * 29 + bar, 200);  // day width 20 for February 2024
        QObject::connect(&view, &TMonthlyGraphicPlanning::AfterChange, &view,
                         [this](QObject*) { log << QStringLiteral("after"); });
        view.PaintId = 5;
        view.PaintPenColor = kRed;
        view.PaintBrushColor = kBlue;
        view.PaintStyle = bsClear;
    }
    void TearDown() override { core::setClock({}); }
    TMonthlyGraphicPlanning view;
    int bar = 0;
    QStringList log;
};

}  // namespace

TEST_F(MonthlyViewTest, GeometryAndStrictBounds)
{
    EXPECT_EQ(view.dayWidth(), 20);
    EXPECT_EQ(view.halfRowHeight(), 17);
    EXPECT_EQ(view.days(), 29);
    // Row 1, morning of day 1: x = 10 is on the bound and paints nothing; 11 paints.
    const int y = 50 + 15 + 5;
    mouse(&view, QEvent::MouseButtonPress, QPoint(10, y), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(view.cells.cell(1, 2, 1, 1).Id, -1);
    mouse(&view, QEvent::MouseButtonPress, QPoint(11, y), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(view.cells.cell(1, 2, 1, 1).Id, 5);
    EXPECT_EQ(view.cells.cell(1, 2, 1, 1).Modified, 1);
    // In the strip nothing happens; Ctrl refuses; AfterChange fires on every release.
    mouse(&view, QEvent::MouseButtonPress, QPoint(55, 50 + 8), Qt::LeftButton, Qt::LeftButton);
    mouse(&view, QEvent::MouseButtonPress, QPoint(55, y), Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    mouse(&view, QEvent::MouseButtonRelease, QPoint(55, y), Qt::LeftButton, Qt::NoButton, Qt::ControlModifier);
    for (int d = 2; d <= 29; ++d)
        EXPECT_EQ(view.cells.cell(1, 2, d, 1).Id, -1);
    EXPECT_EQ(log, QStringList{QStringLiteral("after")});
    // The afternoon half-row, and erasing with the right button.
    mouse(&view, QEvent::MouseButtonPress, QPoint(35, 50 + 15 + 17 + 5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(view.cells.cell(1, 2, 2, 2).Id, 5);
    mouse(&view, QEvent::MouseButtonPress, QPoint(35, 50 + 15 + 17 + 5), Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(view.cells.cell(1, 2, 2, 2).Id, -1);
    // The painted half-day shows its swatch, the empty Saturday is grey.
    const QImage& img = view.bitmap();
    EXPECT_EQ(img.pixelColor(20, y), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(10 + 2 * 20 + 10, y), QColor(245, 245, 245));  // Saturday 3 February
    EXPECT_EQ(img.pixelColor(10 + 4 * 20 + 10, y), QColor(Qt::white));      // Monday 5 February
    EXPECT_EQ(img.pixelColor(10 + 4 * 20, y), QColor(192, 192, 192));
}

TEST_F(MonthlyViewTest, MonthsWeekendsAndScrolling)
{
    view.Month = 6;  // June 2024 starts on a Saturday
    view.Relayout();
    EXPECT_EQ(view.firstWeekday(), 7);
    EXPECT_TRUE(view.isWeekendDay(1));
    EXPECT_TRUE(view.isWeekendDay(2));
    EXPECT_FALSE(view.isWeekendDay(3));
    view.Year = 2100;
    view.Month = 2;
    view.Relayout();
    EXPECT_EQ(view.days(), 28);

    view.Year = 2024;
    view.SetMonthDimensions(30, 12, 31, 2);
    view.ObjectCount = 30;
    view.setRowCount(30);
    view.Relayout();
    mouse(&view, QEvent::MouseMove, QPoint(10 + 4 * 20 + 10, 70), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(view.HoverDay, 5);
    EXPECT_EQ(view.bitmap().pixelColor(10 + 4 * 20 + 10, 50 + 15 + 5), QColor(214, 222, 243));
    view.setTopRow(10);
    EXPECT_EQ(view.TopRow(), 10);
    // A press in the first visible row now paints row 10.
    mouse(&view, QEvent::MouseButtonPress, QPoint(15, 15 + 5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(view.cells.cell(10, 2, 1, 1).Id, 5);
    EXPECT_EQ(view.Row(), 10);
    view.ClearMonth();
    EXPECT_FALSE(view.cells.dimensionsSet());
    EXPECT_EQ(view.ObjectCount, 0);
}

// The owner learns of a drag through one AfterChange carrying the view, whose
// modified cells are exactly those the drag crossed.
TEST_F(MonthlyViewTest, DragEmitsOneAfterChangeWithTheModifiedCells)
{
    QSignalSpy after(&view, &TMonthlyGraphicPlanning::AfterChange);
    QSignalSpy before(&view, &TMonthlyGraphicPlanning::BeforeChange);
    const int y = view.CellRect(1).top() + 15 + 5;  // row 1, morning
    mouse(&view, QEvent::MouseButtonPress, QPoint(10 + 20 * 2 + 5, y), Qt::LeftButton, Qt::LeftButton);
    for (int d = 4; d <= 6; ++d)
        mouse(&view, QEvent::MouseMove, QPoint(10 + 20 * (d - 1) + 5, y), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(after.count(), 0);
    mouse(&view, QEvent::MouseButtonRelease, QPoint(10 + 20 * 5 + 5, y), Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(after.count(), 1);
    EXPECT_EQ(before.count(), 1);
    EXPECT_EQ(after.first().first().value<QObject*>(), &view);
    QList<int> modified;
    for (int r = 0; r < 6; ++r) {
        for (int d = 1; d <= 29; ++d) {
            for (int h = 1; h <= 2; ++h) {
                if (view.cells.cell(r, 2, d, h).Modified == 1)
                    modified << r * 1000 + d * 10 + h;
            }
        }
    }
    EXPECT_EQ(modified, (QList<int>{1031, 1041, 1051, 1061}));
    EXPECT_EQ(view.cells.cell(1, 2, 4, 1).Id, 5);
}

// The day headers take BackGroundColor, never the grid's own colour, whether
// a full drawing or a mouse move drew them last.
TEST_F(MonthlyViewTest, DayHeadersTakeBackGroundColorAfterEveryDrawing)
{
    const QColor grid(250, 250, 245), background(200, 230, 255);
    view.setColor(0xF5FAFA);
    view.setBackGroundColor(0xFFE6C8);
    view.Relayout();
    const QPoint header3(10 + 2 * 20 + 3, 7), header5(10 + 4 * 20 + 3, 7);
    EXPECT_EQ(view.bitmap().pixelColor(header3), background) << "full drawing";
    EXPECT_EQ(view.bitmap().pixelColor(header3.x(), 50 + 7), grid) << "strip of the second row";
    mouse(&view, QEvent::MouseMove, QPoint(10 + 4 * 20 + 10, 70), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(view.bitmap().pixelColor(header3), background) << "mouse move";
    EXPECT_EQ(view.bitmap().pixelColor(header5), QColor(214, 222, 243));
    view.RepaintGrid();
    EXPECT_EQ(view.bitmap().pixelColor(header3), background) << "full drawing after a hover";
    EXPECT_EQ(view.bitmap().pixelColor(header5), QColor(214, 222, 243));
}
