// Holidays and closed days in the two views and in their window.
#include "db/TDataModuleObject.h"
#include "planning/HolidayStore.h"
#include "planning/PlanningSession.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/THolidays.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "ui/ScriptedPrompt.h"

#include "PlanningDbFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTreeWidget>

using namespace planning;

namespace {

void move(QWidget* w, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

const QColor kGrey(245, 245, 245);
const QColor kHighlight(214, 222, 243);

HolidaySettings shownWithChristmasEve()
{
    HolidaySettings s;
    s.showInPlanning = true;
    s.closures = {{QDate(2024, 12, 24), QDate(2024, 12, 24), DayPart::Afternoon, QStringLiteral("Veille")}};
    return s;
}

}  // namespace

TEST(HolidayViews, AnnualHoverKeepsHolidaysGreyAndTheyStayPaintable)
{
    core::setClock([] { return QDateTime(QDate(2024, 6, 15), QTime(9, 0)); });
    TAnnualGraphicPlanning view;
    view.resize(25 + 37 * 20, 15 + 24 * 15);
    view.Year = 2024;
    view.Legend = {MakeEntry(5, 0x0000FF, 0xFF0000, 0, QStringLiteral("Pont"), {})};
    view.DaysOff = NonWorkingDaysShown(shownWithChristmasEve(), 2024);
    view.show();
    view.setShowDayNumber(false);  // no digits under the pixels looked at
    auto at = [&](int m, int d, int h) {
        const int column = view.firstColumn(m) + d - 1;
        return QPoint(25 + (column - 1) * 20 + 10, 15 + (2 * (m - 1) + h - 1) * 15 + 7);
    };
    EXPECT_EQ(view.bitmap().pixelColor(at(12, 24, 2)), kGrey);
    EXPECT_EQ(view.bitmap().pixelColor(at(12, 24, 1)), QColor(Qt::white));
    // The hover cross over March: the holidays off it stay grey.
    move(&view, at(3, 12, 2));
    EXPECT_EQ(view.bitmap().pixelColor(at(11, 11, 1)), kGrey);
    EXPECT_EQ(view.bitmap().pixelColor(at(12, 24, 2)), kGrey);
    EXPECT_EQ(view.bitmap().pixelColor(at(12, 24, 1)), QColor(Qt::white));
    // On the cross the highlight wins, as over a weekend.
    move(&view, at(12, 24, 2));
    EXPECT_EQ(view.bitmap().pixelColor(at(12, 23, 2)), kHighlight);
    EXPECT_EQ(view.bitmap().pixelColor(at(12, 24, 2) + QPoint(-5, -1)), kHighlight);
    // Painting a holiday is allowed; it keeps its swatch under the band.
    view.PaintId = 5;
    view.PaintPenColor = 0x0000FF;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at(12, 25, 1)), view.mapToGlobal(QPointF(at(12, 25, 1))),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    EXPECT_EQ(view.cells.cell(12, 25, 1).Id, 5);
    EXPECT_EQ(view.cells.cell(12, 25, 1).Modified, 1);
    const QRect r = view.positionRect(view.firstColumn(12) + 24, 12, 1);
    EXPECT_EQ(view.bitmap().pixelColor(r.left() + 5, r.top()), kGrey);
    EXPECT_NE(view.bitmap().pixelColor(r.center().x(), r.bottom() - 2), kGrey);
    core::setClock({});
}

TEST(HolidayViews, MonthlyHoverAndRepaintKeepTheClosedAfternoonGrey)
{
    core::setClock([] { return QDateTime(QDate(2024, 1, 1), QTime(9, 0)); });
    TMonthlyGraphicPlanning view;
    view.show();
    const int bar = view.findChild<QScrollBar*>()->sizeHint().width();
    view.Year = 2024;
    view.Month = 12;
    view.Legend = {MakeEntry(5, 0x0000FF, 0xFF0000, 0, QStringLiteral("Pont"), {})};
    view.SetMonthDimensions(2, 12, 31, 2);
    view.DaysOff = NonWorkingDaysShown(shownWithChristmasEve(), 2024);
    view.ObjectCount = 2;
    view.setRowCount(2);
    view.resize(10 + 20 * 31 + bar, 200);
    view.setShowDayNumberQuietly(false);
    view.Relayout();
    auto at = [&](int row, int d, int h) { return view.halfDayRect(view.CellRect(row), d, h).center(); };
    for (int row : {0, 1}) {
        EXPECT_EQ(view.bitmap().pixelColor(at(row, 24, 2)), kGrey);
        EXPECT_EQ(view.bitmap().pixelColor(at(row, 25, 1)), kGrey);
        EXPECT_EQ(view.bitmap().pixelColor(at(row, 24, 1)), QColor(Qt::white));
    }
    move(&view, at(1, 10, 1));
    EXPECT_EQ(view.bitmap().pixelColor(at(0, 24, 2)), kGrey);
    EXPECT_EQ(view.bitmap().pixelColor(at(0, 10, 2)), kHighlight);
    move(&view, at(1, 24, 1));
    EXPECT_EQ(view.bitmap().pixelColor(at(0, 24, 2)), kHighlight);
    EXPECT_EQ(view.bitmap().pixelColor(at(0, 25, 2)), kGrey);
    core::setClock({});
}

namespace {

class HolidayWindowTest : public planning_test::PlanningDbTest {
protected:
    ui::ScriptedPrompt prompt;
};

// Fills the closure dialog the window opens and presses its Ok.
std::function<int(QDialog*)> closure(QDate first, QDate last, DayPart part, const QString& label)
{
    return [=](QDialog* d) {
        d->findChild<QDateEdit*>(QStringLiteral("Ed_First"))->setDate(first);
        d->findChild<QDateEdit*>(QStringLiteral("Ed_Last"))->setDate(last);
        auto* combo = d->findChild<QComboBox*>(QStringLiteral("Combo_Part"));
        combo->setCurrentIndex(combo->findData(static_cast<int>(part)));
        d->findChild<QLineEdit*>(QStringLiteral("Ed_Label"))->setText(label);
        d->findChild<QPushButton*>(QStringLiteral("Btn_Ok"))->click();
        return d->result();
    };
}

QStringList column(QTreeWidget* grid, int c)
{
    QStringList out;
    for (int i = 0; i < grid->topLevelItemCount(); ++i)
        out << grid->topLevelItem(i)->text(c);
    return out;
}

}  // namespace

TEST_F(HolidayWindowTest, ListsTheYearEditsClosuresAndStoresOnOkOnly)
{
    db::TDataModuleObject store(connection);
    PlanningSession session;
    session.ctx = ctx;
    session.ctx.year = 2024;
    prompt.setNextDialogHandler([&](QDialog* d) {
        auto* w = static_cast<THolidays*>(d);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Jours fériés et fermetures"));
        EXPECT_EQ(w->Ed_Year->value(), 2024);
        EXPECT_EQ(column(w->Grid_Holidays, 1).at(1), QStringLiteral("lundi 1 avril 2024"));
        EXPECT_EQ(w->Grid_Holidays->topLevelItemCount(), 11);
        w->Check_AlsaceMoselle->setChecked(true);
        EXPECT_EQ(column(w->Grid_Holidays, 0).at(1), QStringLiteral("Vendredi saint"));
        const int whit = static_cast<int>(column(w->Grid_Holidays, 0).indexOf(QStringLiteral("Lundi de Pentecôte")));
        w->Grid_Holidays->topLevelItem(whit)->setCheckState(0, Qt::Unchecked);
        // Another year lists its own dates with the same choices.
        w->Ed_Year->setValue(2025);
        EXPECT_EQ(column(w->Grid_Holidays, 1).at(2), QStringLiteral("lundi 21 avril 2025"));
        EXPECT_EQ(w->Grid_Holidays->topLevelItem(whit)->checkState(0), Qt::Unchecked);
        // A closure without label is refused with a French warning and not added.
        prompt.setNextDialogHandler(closure(QDate(2024, 8, 5), QDate(2024, 8, 23), DayPart::WholeDay, QString()));
        w->Btn_Add->click();
        EXPECT_EQ(prompt.messages().last().text, QStringLiteral("Le libellé de la fermeture est vide."));
        EXPECT_EQ(w->Grid_Closures->topLevelItemCount(), 0);
        prompt.setNextDialogHandler(
            closure(QDate(2024, 8, 5), QDate(2024, 8, 23), DayPart::WholeDay, QStringLiteral("Fermeture annuelle")));
        w->Btn_Add->click();
        prompt.setNextDialogHandler(
            closure(QDate(2024, 12, 24), QDate(2024, 12, 24), DayPart::Morning, QStringLiteral("24 décembre")));
        w->Btn_Add->click();
        // Modifier on the selected (last added) closure.
        prompt.setNextDialogHandler(closure(QDate(2024, 12, 24), QDate(2024, 12, 24), DayPart::Afternoon,
                                            QStringLiteral("24 décembre après-midi")));
        w->Btn_Edit->click();
        prompt.setNextDialogHandler(
            closure(QDate(2024, 5, 10), QDate(2024, 5, 10), DayPart::WholeDay, QStringLiteral("Pont de l'Ascension")));
        w->Btn_Add->click();
        w->Btn_Delete->click();
        EXPECT_EQ(column(w->Grid_Closures, 3),
                  (QStringList{QStringLiteral("Fermeture annuelle"), QStringLiteral("24 décembre après-midi")}));
        EXPECT_EQ(column(w->Grid_Closures, 2),
                  (QStringList{QStringLiteral("Journée entière"), QStringLiteral("Après-midi")}));
        w->Check_ShowInPlanning->setChecked(true);
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(EditDossierHolidays(store, session, nullptr));
    const HolidaySettings stored = ReadHolidaySettings(store, 1);
    EXPECT_EQ(stored, session.holidays);
    EXPECT_TRUE(stored.showInPlanning);
    EXPECT_TRUE(stored.alsaceMoselle);
    EXPECT_FALSE(stored.isOn(Holiday::WhitMonday));
    ASSERT_EQ(stored.closures.size(), 2u);
    EXPECT_EQ(stored.closures[1].part, DayPart::Afternoon);

    // Annuler stores nothing, whatever was changed in the window.
    prompt.setNextDialogHandler([](QDialog* d) {
        static_cast<THolidays*>(d)->Check_ShowInPlanning->setChecked(false);
        return int(QDialog::Rejected);
    });
    EXPECT_FALSE(EditDossierHolidays(store, session, nullptr));
    EXPECT_EQ(ReadHolidaySettings(store, 1), stored);
    EXPECT_TRUE(session.holidays.showInPlanning);
}
