#pragma once

#include "dossiers/DossierCommands.h"
#include "maintenance/MaintenanceCommands.h"
#include "mainwindow/GridPainting.h"
#include "output/HtmlCommands.h"
#include "planning/HalfDayBlock.h"
#include "planning/PlanningSession.h"
#include "records/RecordCommands.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QTimer;
class QToolButton;

namespace db {
class Dataset;
class TDataModule1;
class TDataModuleObject;
}  // namespace db
namespace printing {
class ReportCommands;
class TDataModuleReport;
}  // namespace printing
namespace planning {
class PlanningUndo;
class TAnnualGraphicPlanning;
class TMonthlyGraphicPlanning;
}  // namespace planning
namespace ui {
class TDrawGrid;
class TMiniCalendar;
class TPopupMenuMod;
class TitleBar;
}  // namespace ui

namespace mainwindow {

// The program's main window: the dossier's planning, its grids, its menus.
// It owns the open dossier: the planning context and the two entry lists
// (one PlanningSession), which it lends to the loaders and commands.
class TMainForm : public QWidget, public dossiers::DossierDisplay {
    Q_OBJECT
public:
    // Empty dialogs: the entry dialogs of the records layer.
    TMainForm(db::TDataModule1& dataModule, db::TDataModuleObject& objectStore, records::RecordDialogs dialogs = {},
              QWidget* parent = nullptr);
    ~TMainForm() override;

    // Part of the dossier commands' contract.
    void OpenDossierDisplay(int number, int planningMode, const QString& name) override;
    void CloseDossierDisplay(bool storePreferences) override;
    void UpdateMenus() override;
    QWidget* displayWindow() override { return this; }
    int OpenDossierNumber() const override { return m_session.ctx.dossierId; }
    // Empties the open dossier's undo steps (also when it closes or another opens).
    void ClearUndoHistory() override;

    void RefreshPlanning();
    void LoadPlanning();
    void LoadPersonEntries(int idToSelect);
    void LoadProjectEntries(int idToSelect);
    void SyncPaintFromLegend();
    void EditPerson(int id, bool isNew);
    void EditProject(int id, bool isNew);

    // Handlers, named after their controls.
    void Btn_Year_DecClick();
    void Btn_Year_IncClick();
    void Btn_Month_DecClick();
    void Btn_Month_IncClick();
    void Btn_PlanningTypeClick();
    void Popup_Display_AnnualClick();
    void Popup_Display_MonthlyClick();
    void Popup_Display_DaysNumbersClick();
    void Grid_ObjectClick();
    void Grid_KeyClick();
    void Grid_ObjectDblClick();
    void Grid_KeyDblClick();
    void Popup_Grid_Object_AddClick();
    void Popup_Grid_Object_EditClick();
    void Popup_Grid_Object_DeleteClick();
    void Popup_Grid_Key_AddClick();
    void Popup_Grid_Key_EditClick();
    void Popup_Grid_Key_DeleteClick();
    void MonthlyGraphicPlanningClick();
    void MonthlyGraphicPlanningTopLeftChanged();
    void AnnualGraphicPlanningAfterChange();
    void MonthlyGraphicPlanningAfterChange();
    void AnnualGraphicPlanningMouseMove();
    void MonthlyGraphicPlanningMouseMove();
    void Popup_Parameters_PeopleClick();
    void Popup_Parameters_ProjectClick();
    void Btn_ReportClick();
    void Popup_Report_PlanningClick();
    void Popup_Report_List_PeopleClick();
    void Popup_Report_List_ProjectClick();
    void Popup_Help_DocClick();
    void MenuItem13Click();
    void Apropos1Click();
    void ClockTimer();
    void Btn_HtmlClick();
    // "&Annuler" (Ctrl+Z) and "&Rétablir" (Ctrl+Y, Ctrl+Shift+Z) of "&Outils".
    void Popup_Tools_UndoClick();
    void Popup_Tools_RedoClick();
    // "&Jours fériés et fermetures…" of "&Outils": the open dossier's window.
    void Popup_Tools_HolidaysClick();

    // Ctrl+C copies the visible view's selection (also as text to the
    // system clipboard), Ctrl+V pastes it at the keyboard cursor or the
    // hovered half-day, Delete erases the selection; "Ré&péter…" (Ctrl+R)
    // repeats it. Each is one undo step.
    void CopySelection();
    void PasteAtTarget();
    void EraseSelection();
    void Popup_Tools_RepeatClick();
    const std::optional<planning::HalfDayBlock>& clipboardBlock() const { return m_clipboard; }

    // Which half-days the repeat's "skip holidays and closed half-days"
    // option leaves alone. Empty (the option disabled) until a calendar of
    // holidays and closures is set; tests plant their own.
    planning::NonWorkingHalfDay nonWorkingHalfDays() const;
    void setNonWorkingHalfDays(planning::NonWorkingHalfDay predicate) { m_nonWorking = std::move(predicate); }

    const planning::PlanningSession& session() const { return m_session; }
    const planning::PlanningContext& context() const { return m_session.ctx; }
    const planning::EntryList& persons() const { return m_session.persons; }
    const planning::EntryList& projects() const { return m_session.projects; }
    dossiers::DossierCommands& dossierCommands() { return *m_dossiers; }
    const planning::PlanningUndo& undoHistory() const { return *m_undo; }
    QAction* action(const QString& name) const;

protected:
    void showEvent(QShowEvent*) override;
    void closeEvent(QCloseEvent*) override;

private:
    void buildLayout();
    void buildMenus();
    QToolButton* menuButton(const QString& text, const QString& name, ui::TPopupMenuMod* menu);
    QAction* addItem(ui::TPopupMenuMod* menu, const QString& text, const QString& name, std::function<void()> run);
    void connectSignals();
    void loadEntries(bool personsSide, int idToSelect);
    void showLabels();
    void setTitleText(const QString& text);
    void FormCreate();
    int selectedObjectId() const;
    int selectedLegendIndex() const;
    void deleteRecord(bool person, int id);
    void showRecordList(bool persons);
    void editRecord(bool person, int id, bool isNew);
    // Moves the shown year or month by delta and loads once.
    void stepYear(int delta);
    void stepMonth(int delta);
    // The visible view's modified half-days become one undo step; false
    // when the write failed (told in French).
    bool saveVisibleView();
    void runUndoStep(bool undo);
    void updateUndoItems();
    // Drops the undo steps of persons or projects that are no longer in the lists.
    void trimUndoToEntries();
    // The eyedropper: the legend item of a Ctrl+clicked half-day becomes the paint.
    void pickLegendItem(int legendId);
    void buildPatternItems(ui::TPopupMenuMod* tools);
    void connectPatternSignals();
    void updatePatternItems();
    // The visible view has a selection with at least one half-day.
    bool hasSelection() const;
    // Writes half-days as one undo step and shows them; false when it
    // failed (told in French with what) or could not run now.
    bool recordHalfDays(std::vector<planning::HalfDayChange> changes, const QString& what);

    db::TDataModule1& m_dm;
    db::TDataModuleObject& m_store;
    records::RecordCommands m_records;
    std::unique_ptr<dossiers::DossierCommands> m_dossiers;
    std::unique_ptr<maintenance::MaintenanceCommands> m_maintenance;
    std::unique_ptr<printing::TDataModuleReport> m_reportModule;
    std::unique_ptr<printing::ReportCommands> m_reports;
    std::unique_ptr<output::HtmlCommands> m_html;
    planning::PlanningSession m_session;
    std::unique_ptr<planning::PlanningUndo> m_undo;
    bool m_syncing = false;
    std::optional<planning::HalfDayBlock> m_clipboard;
    planning::NonWorkingHalfDay m_nonWorking;
    int m_clockTick = 0;

    ui::TitleBar* m_titleBar = nullptr;
    QLabel* Lab_Year = nullptr;
    QLabel* Lab_Month = nullptr;
    QLabel* Lab_Planning = nullptr;
    QLabel* MiddleBar = nullptr;
    QLabel* DigitalTime = nullptr;
    QLabel* Lab_Status = nullptr;
    QWidget* Pan_Year = nullptr;
    QWidget* Pan_Month = nullptr;
    QWidget* Pan_PlanningType = nullptr;
    QWidget* Pan_DaysNumbers = nullptr;
    QWidget* MenuBar_Sep2 = nullptr;
    QWidget* Pan_Object_Top = nullptr;
    QToolButton* Btn_PlanningType = nullptr;
    QToolButton* Btn_DaysNumbers = nullptr;
    QToolButton* Btn_Report = nullptr;
    QToolButton* Btn_Html = nullptr;
    QList<QWidget*> m_navigation;
    QToolButton* m_menuDisplay = nullptr;
    QToolButton* m_menuParameters = nullptr;
    QToolButton* m_menuPrint = nullptr;
    QToolButton* m_menuHtml = nullptr;
    ui::TDrawGrid* Grid_Object = nullptr;
    ui::TDrawGrid* Grid_Key = nullptr;
    ui::TPopupMenuMod* Popup_Grid_Object = nullptr;
    ui::TPopupMenuMod* Popup_Grid_Key = nullptr;
    ui::TPopupMenuMod* Popup_Report = nullptr;
    ui::TPopupMenuMod* Popup_Html = nullptr;
    ui::TMiniCalendar* MiniCalendar = nullptr;
    planning::TAnnualGraphicPlanning* AnnualGraphicPlanning = nullptr;
    planning::TMonthlyGraphicPlanning* MonthlyGraphicPlanning = nullptr;
    QTimer* Clock = nullptr;
};

}  // namespace mainwindow
