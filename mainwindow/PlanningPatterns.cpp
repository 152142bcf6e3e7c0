// The main window's selection commands: copy, paste, erase and repeat of
// half-days, each one undo step, and the keys of the views that reach it.
#include "mainwindow/TMainForm.h"

#include "db/DbError.h"
#include "db/TDataModule1.h"
#include "mainwindow/TRepeatDialog.h"
#include "planning/Holidays.h"
#include "planning/PlanningUndo.h"
#include "planning/PlanningViews.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"
#include "ui/TDrawGrid.h"
#include "ui/TPopupMenuMod.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>

#include <algorithm>
#include <map>
#include <memory>

namespace mainwindow {

void TMainForm::buildPatternItems(ui::TPopupMenuMod* tools)
{
    tools->addSeparator();
    QAction* repeat = addItem(tools, QStringLiteral("Ré&péter…"), QStringLiteral("Popup_Tools_Repeat"),
                              [this] { Popup_Tools_RepeatClick(); });
    repeat->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    tools->addSeparator();
    addAction(repeat);
    // Keys without a menu item: they act on the visible view wherever the
    // focus is in the window.
    auto key = [this](const QString& name, const QKeySequence& sequence, void (TMainForm::*run)()) {
        auto* a = new QAction(this);
        a->setObjectName(name);
        a->setShortcut(sequence);
        connect(a, &QAction::triggered, this, [this, run] { (this->*run)(); });
        addAction(a);
    };
    key(QStringLiteral("Action_Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), &TMainForm::CopySelection);
    key(QStringLiteral("Action_Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), &TMainForm::PasteAtTarget);
    key(QStringLiteral("Action_Erase"), QKeySequence(Qt::Key_Delete), &TMainForm::EraseSelection);
}

void TMainForm::connectPatternSignals()
{
    auto labels = [](const QString& entry) -> QString {
        const QString second = planning::EntryField(entry, 5);
        return planning::EntryField(entry, 4) + (second.isEmpty() ? QString() : QStringLiteral(", ") + second);
    };
    Grid_Object->OnAccessibleText = [this, labels](int, int r) {
        const QStringList& list = m_session.objectSide().entries;
        return Grid_Object->property("tag").toInt() == 0 || r >= list.size() ? QString() : labels(list.at(r));
    };
    Grid_Key->OnAccessibleText = [this, labels](int c, int r) {
        const QStringList& list = m_session.legendSide().entries;
        const int i = c + 3 * r;
        return i >= Grid_Key->property("tag").toInt() || i >= list.size() ? QString() : labels(list.at(i));
    };
    connect(AnnualGraphicPlanning, &planning::TAnnualGraphicPlanning::SelectionChanged, this,
            [this] { updatePatternItems(); });
    connect(MonthlyGraphicPlanning, &planning::TMonthlyGraphicPlanning::SelectionChanged, this,
            [this] { updatePatternItems(); });
    // Page Up and Page Down do what the year and month buttons do.
    connect(AnnualGraphicPlanning, &planning::TAnnualGraphicPlanning::PageRequested, this, [this](QObject*, int delta) {
        if (!AnnualGraphicPlanning->gestureInProgress())
            stepYear(delta);
    });
    connect(MonthlyGraphicPlanning, &planning::TMonthlyGraphicPlanning::PageRequested, this,
            [this](QObject*, int delta) {
                if (!MonthlyGraphicPlanning->gestureInProgress())
                    stepMonth(delta);
            });
}

planning::NonWorkingHalfDay TMainForm::nonWorkingHalfDays() const
{
    if (m_nonWorking)
        return m_nonWorking;
    if (m_session.ctx.dossierId == -1)
        return {};
    // The dossier's holidays and closed half-days, whether or not the
    // planning shows them; each year worked out once, when first asked.
    auto years = std::make_shared<std::map<int, planning::NonWorkingDays>>();
    const planning::HolidaySettings settings = m_session.holidays;
    return [years, settings](const QDate& date, int half) {
        auto it = years->find(date.year());
        if (it == years->end())
            it = years->emplace(date.year(), planning::NonWorkingDays(date.year(), settings)).first;
        return it->second.isOff(date.month(), date.day(), half);
    };
}

bool TMainForm::hasSelection() const
{
    if (m_session.ctx.dossierId == -1)
        return false;
    if (m_session.ctx.planningType == 0)
        return AnnualGraphicPlanning->isVisible() && AnnualGraphicPlanning->selection().has_value();
    return MonthlyGraphicPlanning->isVisible() && MonthlyGraphicPlanning->selection().has_value();
}

void TMainForm::updatePatternItems()
{
    const bool selection = hasSelection();
    const bool viewVisible = m_session.ctx.dossierId != -1
        && (m_session.ctx.planningType == 0 ? AnnualGraphicPlanning->isVisible() : MonthlyGraphicPlanning->isVisible());
    for (const char* name : {"Popup_Tools_Repeat", "Action_Copy", "Action_Erase"})
        if (QAction* a = action(QString::fromLatin1(name)))
            a->setEnabled(selection);
    if (QAction* paste = action(QStringLiteral("Action_Paste")))
        paste->setEnabled(viewVisible && m_clipboard.has_value());
}

void TMainForm::CopySelection()
{
    if (!hasSelection())
        return;
    const bool annual = m_session.ctx.planningType == 0;
    planning::HalfDayBlock block =
        annual ? AnnualGraphicPlanning->copySelection() : MonthlyGraphicPlanning->copySelection();
    if (block.isEmpty())
        return;
    const QString text = planning::BlockText(block, m_session.legendSide().entries);
    m_clipboard = std::move(block);
    QGuiApplication::clipboard()->setText(text);
    updatePatternItems();
}

bool TMainForm::recordHalfDays(std::vector<planning::HalfDayChange> changes, const QString& what)
{
    if (changes.empty())
        return true;
    try {
        planning::RecordHalfDays(*m_undo, *AnnualGraphicPlanning, *MonthlyGraphicPlanning, m_session,
                                 std::move(changes));
    } catch (const db::DbError& e) {
        ui::showError(what + QStringLiteral(" n'a pas pu être enregistré : le planning est resté tel qu'il était.\r\r")
                          + e.message(),
                      this);
        return false;
    }
    return true;
}

void TMainForm::PasteAtTarget()
{
    if (!m_clipboard || m_session.ctx.dossierId == -1 || AnnualGraphicPlanning->gestureInProgress()
        || MonthlyGraphicPlanning->gestureInProgress())
        return;
    const bool annual = m_session.ctx.planningType == 0;
    const auto target = annual ? AnnualGraphicPlanning->pasteTarget() : MonthlyGraphicPlanning->pasteTarget();
    if (!target || !(annual ? AnnualGraphicPlanning->isVisible() : MonthlyGraphicPlanning->isVisible()))
        return;
    // Half-days still marked after a failed save go first: the befores of
    // the step are then what the database holds.
    if (!saveVisibleView())
        return;
    const int object = m_session.ctx.orientation == 0 ? m_session.ctx.personId : m_session.ctx.projectId;
    recordHalfDays(annual ? AnnualGraphicPlanning->pasteChanges(*m_clipboard, *target, object)
                          : MonthlyGraphicPlanning->pasteChanges(*m_clipboard, *target, m_session.objectSide().entries),
                   QStringLiteral("Le collage"));
}

void TMainForm::EraseSelection()
{
    if (!hasSelection() || AnnualGraphicPlanning->gestureInProgress() || MonthlyGraphicPlanning->gestureInProgress()
        || !saveVisibleView())
        return;
    const int object = m_session.ctx.orientation == 0 ? m_session.ctx.personId : m_session.ctx.projectId;
    std::vector<planning::HalfDayChange> changes = m_session.ctx.planningType == 0
        ? AnnualGraphicPlanning->selectionHalfDays(object)
        : MonthlyGraphicPlanning->selectionHalfDays(m_session.objectSide().entries);
    changes.erase(
        std::remove_if(changes.begin(), changes.end(), [](const planning::HalfDayChange& c) { return c.before == -1; }),
        changes.end());
    for (planning::HalfDayChange& c : changes)
        c.after = -1;
    recordHalfDays(std::move(changes), QStringLiteral("L'effacement"));
}

void TMainForm::Popup_Tools_RepeatClick()
{
    if (!hasSelection() || AnnualGraphicPlanning->gestureInProgress() || MonthlyGraphicPlanning->gestureInProgress()
        || !saveVisibleView())
        return;
    const int object = m_session.ctx.orientation == 0 ? m_session.ctx.personId : m_session.ctx.projectId;
    const std::vector<planning::HalfDayChange> selection = m_session.ctx.planningType == 0
        ? AnnualGraphicPlanning->selectionHalfDays(object)
        : MonthlyGraphicPlanning->selectionHalfDays(m_session.objectSide().entries);
    if (selection.empty())
        return;
    const auto last = std::max_element(selection.begin(), selection.end(),
                                       [](const auto& a, const auto& b) { return a.day < b.day; });
    TRepeatDialog dialog(last->date(), this);
    const planning::NonWorkingHalfDay nonWorking = nonWorkingHalfDays();
    dialog.Check_SkipNonWorking->setEnabled(static_cast<bool>(nonWorking));
    if (ui::prompt().exec(&dialog) != QDialog::Accepted)
        return;
    planning::RepeatRule rule = dialog.rule();
    if (!nonWorking)
        rule.skipNonWorking = false;
    std::vector<planning::HalfDayChange> changes;
    try {
        ui::HourglassCursor wait;
        changes = planning::RepeatChanges(m_dm.ADOConnection1, m_session.ctx.dossierId, m_session.ctx.orientation,
                                          selection, rule, nonWorking);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
        return;
    }
    if (changes.empty()) {
        ui::showInformation(QStringLiteral("La répétition ne change aucune demi-journée."), this);
        return;
    }
    recordHalfDays(std::move(changes), QStringLiteral("La répétition"));
}

}  // namespace mainwindow
