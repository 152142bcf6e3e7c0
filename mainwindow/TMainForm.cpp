#include "mainwindow/TMainForm.h"

#include "core/Clock.h"
#include "core/Globals.h"
#include "core/MessageCatalog.h"
#include "core/Settings.h"
#include "db/DbError.h"
#include "db/QueryHelpers.h"
#include "db/TDataModule1.h"
#include "db/TDataModuleObject.h"
#include "planning/HolidayStore.h"
#include "planning/PlanningAccessible.h"
#include "planning/PlanningPaint.h"
#include "planning/PlanningUndo.h"
#include "planning/PlanningViews.h"
#include "planning/PlanningWriter.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/THolidays.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "printing/ReportCommands.h"
#include "printing/TDataModuleReport.h"
#include "records/TListRecords.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"
#include "ui/TDrawGrid.h"
#include "ui/TGrandePolicesMsg.h"
#include "ui/TMiniCalendar.h"
#include "ui/TPopupMenuMod.h"
#include "ui/WindowFrame.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace mainwindow {

using planning::EntryField;
using planning::EntryId;

namespace {

QString monthName(int m)
{
    return planning::MonthName(m);
}

// The about window: product, version, maker.
class TAbout : public QDialog {
public:
    explicit TAbout(QWidget* parent) : QDialog(parent)
    {
        // "About" keeps its drawn frame in both frame modes.
        setObjectName(QStringLiteral("About"));
        auto* outer = ui::FramedLayout(this, QStringLiteral("  A propos"), ui::TitleBar::Close);
        outer->setSpacing(0);
        auto* layout = new QVBoxLayout;
        layout->setContentsMargins(12, 10, 12, 10);
        outer->addLayout(layout);
        const core::Globals& g = core::globals();
        auto* text =
            new QLabel(QStringLiteral("<b>%1</b><br>Version %2<br><br>© %3 Brindell Software Development<br>%4")
                           .arg(g.productName, g.version, QString::number(core::today().year()),
                                QString::fromLatin1(core::kMakerWebSite)),
                       this);
        layout->addWidget(text);
        auto* close = new QPushButton(QStringLiteral(" &Fermer"), this);
        close->setObjectName(QStringLiteral("Btn_Close"));
        connect(close, &QPushButton::clicked, this, &QDialog::accept);
        layout->addWidget(close, 0, Qt::AlignRight);
        ui::SetUpWindow(this);
    }
};

}  // namespace

namespace {

records::RecordDialogs withDefaults(records::RecordDialogs dialogs, db::TDataModule1& dm)
{
    const records::RecordDialogs defaults = records::DefaultRecordDialogs(dm);
    if (!dialogs.person)
        dialogs.person = defaults.person;
    if (!dialogs.project)
        dialogs.project = defaults.project;
    return dialogs;
}

}  // namespace

TMainForm::TMainForm(db::TDataModule1& dataModule, db::TDataModuleObject& objectStore, records::RecordDialogs dialogs,
                     QWidget* parent)
    : QWidget(parent), m_dm(dataModule), m_store(objectStore), m_records(dataModule, withDefaults(dialogs, dataModule))
{
    setObjectName(QStringLiteral("MainForm"));
    m_dossiers = std::make_unique<dossiers::DossierCommands>(m_dm, *this);
    m_maintenance = std::make_unique<maintenance::MaintenanceCommands>(m_dm, *this);
    m_reportModule = std::make_unique<printing::TDataModuleReport>(m_dm.ADOConnection1);
    m_reports = std::make_unique<printing::ReportCommands>(*m_reportModule, this);
    // New persons and projects belong to the dossier open here.
    m_dm.setDossierSource([this] { return m_session.ctx.dossierId; });
    m_undo = std::make_unique<planning::PlanningUndo>();
    // Before any widget exists, so that no other interface is cached for them.
    planning::InstallPlanningAccessibility();
    buildLayout();
    m_undo->setDisplay([this](const std::vector<planning::HalfDayChange>& changes, bool after) {
        planning::ShowHalfDays(*AnnualGraphicPlanning, *MonthlyGraphicPlanning, m_session, changes, after);
    });
    m_html = std::make_unique<output::HtmlCommands>(m_dm, this, m_session, *AnnualGraphicPlanning,
                                                    *MonthlyGraphicPlanning, [this] { return Grid_Object->Row(); });
    buildMenus();
    connectSignals();
    FormCreate();
}

TMainForm::~TMainForm()
{
    m_dm.setDossierSource({});
}

QAction* TMainForm::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

void TMainForm::setTitleText(const QString& text)
{
    m_titleBar->titleLabel()->setText(text);
    setWindowTitle(ui::WindowCaptionFromTitle(text));
}

void TMainForm::FormCreate()
{
    core::Globals& g = core::globals();
    if (g.recentSystem)
        ui::AdaptWindowFont(this);
    ui::SetHintsEnabled(true);
    core::LoadSettings();
    ui::SettleBigFontNotice(g.settings, ui::screenDpiX(), this);
    core::SaveSettings();
    ui::SetUpWindow(this);
    setTitleText(QStringLiteral(" ") + g.productName + QLatin1Char(' ') + g.version);
    ui::RestoreWindowPlacement(this, g.settings, ui::screenWorkArea());
    setMinimumSize(641, 481);
    const QString currency = QLocale().currencySymbol().toUpper();
    if (currency == QStringLiteral("FF") || currency == QStringLiteral("FR") || currency == QStringLiteral("F"))
        g.currencySymbol = QStringLiteral("€");
    m_session = planning::PlanningSession{};
    const QDate today = core::today();
    m_session.ctx.year = today.year();
    m_session.ctx.month = today.month();
    bool opened = false;
    try {
        opened = m_dossiers->AutoOpenFirstDossier();
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    Lab_Status->setText(Lab_Status->text().replace(QStringLiteral("2008"), QString::number(today.year())));
    g.settings.firstLaunch = false;
    showLabels();
    if (!opened)
        UpdateMenus();
}

void TMainForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    Grid_Object->setFocus();
    UpdateMenus();
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    if (m_session.ctx.dossierId != -1)
        CloseDossierDisplay(true);
    m_session.persons.clear();
    m_session.projects.clear();
    m_session.holidays = {};
    AnnualGraphicPlanning->DaysOff.reset();
    MonthlyGraphicPlanning->DaysOff.reset();
    ui::SaveWindowPlacement(this, core::globals().settings);
    core::SaveSettings();
    e->accept();
}

int TMainForm::selectedObjectId() const
{
    return EntryId(m_session.objectSide().entries, Grid_Object->Row());
}

int TMainForm::selectedLegendIndex() const
{
    const int i = Grid_Key->Col() + 3 * Grid_Key->Row();
    return i < Grid_Key->property("tag").toInt() ? i : -1;
}

void TMainForm::loadEntries(bool personsSide, int idToSelect)
{
    ui::HourglassCursor hourglass;
    planning::PlanningContext& ctx = m_session.ctx;
    planning::EntryList& list = personsSide ? m_session.persons : m_session.projects;
    int& current = personsSide ? ctx.personId : ctx.projectId;
    current = -1;
    list.clear();
    int index = 0;
    list = planning::ReadEntryList(m_dm.Query, ctx.dossierId, personsSide, DefaultPicture(personsSide ? 0 : 4),
                                   idToSelect, &index);
    const int count = static_cast<int>(list.entries.size());
    const bool objectIsThisSide = (ctx.orientation == 0) == personsSide;
    if (objectIsThisSide) {
        Grid_Object->setProperty("tag", count);
        Grid_Object->setRowCount(qMax(1, count));
        Grid_Object->setRow(index);
        Grid_Object->update();
        if (count > 0)
            current = EntryId(list.entries, Grid_Object->Row());
    } else {
        Grid_Key->setProperty("tag", count);
        Grid_Key->setColCount(3);
        Grid_Key->setRowCount(qMax(1, (count + 2) / 3));
        Grid_Key->select(index - 3 * (index / 3), index / 3);
        Grid_Key->setFitColumns(true);
        Grid_Key->update();
        if (count > 0)
            current = EntryId(list.entries, index);
        SyncPaintFromLegend();
    }
}

void TMainForm::LoadPersonEntries(int idToSelect)
{
    loadEntries(true, idToSelect);
}

void TMainForm::LoadProjectEntries(int idToSelect)
{
    loadEntries(false, idToSelect);
}

void TMainForm::SyncPaintFromLegend()
{
    const planning::EntryList& legend = m_session.legendSide();
    const int tag = Grid_Key->property("tag").toInt();
    const int i = Grid_Key->Col() + 3 * Grid_Key->Row();
    int paintId = -1;
    quint32 pen = 0, brush = 0;
    quint8 style = planning::bsSolid;
    if (i >= 0 && i < tag && i < legend.entries.size()) {
        const QString& e = legend.entries.at(i);
        pen = EntryField(e, 1).toUInt();
        brush = EntryField(e, 2).toUInt();
        style = planning::DecodeBrushStyle(EntryField(e, 3).toInt());
        paintId = EntryId(legend.entries, i);
        m_session.legendId() = paintId;
    }
    const bool annual = m_session.ctx.planningType == 0;
    int viewId = annual ? AnnualGraphicPlanning->PaintId : MonthlyGraphicPlanning->PaintId;
    if (paintId == -1 && viewId != -1) {
        const int j = planning::EntryIndexOfId(legend.entries, viewId);
        if (j >= 0) {
            Grid_Key->select(j - 3 * (j / 3), j / 3);
            Grid_Key->update();
            paintId = viewId;
            pen = annual ? AnnualGraphicPlanning->PaintPenColor : MonthlyGraphicPlanning->PaintPenColor;
            brush = annual ? AnnualGraphicPlanning->PaintBrushColor : MonthlyGraphicPlanning->PaintBrushColor;
            style = annual ? AnnualGraphicPlanning->PaintStyle : MonthlyGraphicPlanning->PaintStyle;
        }
    }
    planning::CurrentPaint& paint = annual ? static_cast<planning::CurrentPaint&>(*AnnualGraphicPlanning)
                                           : static_cast<planning::CurrentPaint&>(*MonthlyGraphicPlanning);
    paint = planning::CurrentPaint{paintId, pen, brush, style};
}

void TMainForm::LoadPlanning()
{
    if (m_session.ctx.dossierId == -1)
        return;
    try {
        planning::LoadPlanning(*AnnualGraphicPlanning, *MonthlyGraphicPlanning, m_dm.Query, m_session,
                               Grid_Object->RowCount(), Grid_Object->Row());
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    showLabels();
}

void TMainForm::RefreshPlanning()
{
    LoadPlanning();
    SyncPaintFromLegend();
    UpdateMenus();
}

void TMainForm::showLabels()
{
    Lab_Year->setText(QString::number(m_session.ctx.year));
    Lab_Month->setText(monthName(m_session.ctx.month));
}

void TMainForm::OpenDossierDisplay(int number, int planningMode, const QString& name)
{
    const core::Globals& g = core::globals();
    setTitleText(QStringLiteral(" ") + g.productName + QLatin1Char(' ') + g.version + QStringLiteral(" - ") + name);
    planning::PlanningContext& ctx = m_session.ctx;
    ctx.dossierId = number;
    for (db::Dataset* q : {&m_dm.People, &m_dm.Project}) {
        q->Close();
        db::ReplaceWhereLine(q->SQL(), QStringLiteral("WHERE Id_File=%1").arg(number));
    }
    try {
        ctx.planningType =
            m_store.ReadInteger(number, QStringLiteral("PlanningType"), QStringLiteral("Integer"), 0) != 0 ? 1 : 0;
        ctx.showDayNumber =
            m_store.ReadBoolean(number, QStringLiteral("ShowDayNumber"), QStringLiteral("Logical"), false);
        m_session.holidays = planning::ReadHolidaySettings(m_store, number);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    ctx.orientation = planningMode == 0 ? 0 : 1;
    m_undo->setDossier(&m_dm.ADOConnection1, number, ctx.orientation);
    AnnualGraphicPlanning->PaintId = -1;
    MonthlyGraphicPlanning->PaintId = -1;
    try {
        LoadPersonEntries(-1);
        LoadProjectEntries(-1);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    LoadPlanning();
    UpdateMenus();
}

void TMainForm::CloseDossierDisplay(bool storePreferences)
{
    const core::Globals& g = core::globals();
    setTitleText(QStringLiteral(" ") + g.productName + QLatin1Char(' ') + g.version);
    planning::PlanningContext& ctx = m_session.ctx;
    if (storePreferences && ctx.dossierId != -1) {
        try {
            m_store.WriteInteger(ctx.dossierId, QStringLiteral("PlanningType"), QStringLiteral("Integer"),
                                 ctx.planningType);
            m_store.WriteBoolean(ctx.dossierId, QStringLiteral("ShowDayNumber"), QStringLiteral("Logical"),
                                 ctx.showDayNumber);
        } catch (const db::DbError& e) {
            ui::showError(e.message(), this);
        }
    }
    ctx.dossierId = -1;
    ctx.personId = ctx.projectId = -1;
    m_undo->setDossier(nullptr, -1, 0);
    m_session.persons.clear();
    m_session.projects.clear();
    m_session.holidays = {};
    AnnualGraphicPlanning->DaysOff.reset();
    MonthlyGraphicPlanning->DaysOff.reset();
    for (ui::TDrawGrid* grid : {Grid_Key, Grid_Object}) {
        grid->setRowCount(0);
        grid->setProperty("tag", 0);
        grid->update();
    }
    AnnualGraphicPlanning->ClearAndRedraw();
    MonthlyGraphicPlanning->ClearMonth();
    UpdateMenus();
}

void TMainForm::UpdateMenus()
{
    const bool open = m_session.ctx.dossierId != -1;
    for (QToolButton* b : {m_menuPrint, m_menuHtml, m_menuParameters, m_menuDisplay})
        b->setEnabled(open);
    Btn_Report->setEnabled(open);
    Btn_Html->setEnabled(open);
    // The database tools work with or without an open dossier.
    for (const char* n : {"Popup_Tools_DataBase_Backup", "Popup_Tools_DataBase_restore", "Popup_Tools_DataBase_History",
                          "Popup_Tools_DataBase_Compact"})
        action(QString::fromLatin1(n))->setEnabled(true);
    bool annualVisible = false, monthlyVisible = false;
    if (!open) {
        bool any = false;
        try {
            any = m_dossiers->HasDossiers();
        } catch (const db::DbError&) {
        }
        action(QStringLiteral("Popup_File_Open"))->setEnabled(any);
        action(QStringLiteral("Popup_File_Add"))->setEnabled(true);
        for (const char* n : {"Popup_File_Close", "Popup_File_Delete", "Popup_File_Edit", "Popup_File_Properties"})
            action(QString::fromLatin1(n))->setEnabled(false);
        Grid_Object->setEnabled(false);
        Grid_Key->setEnabled(false);
        for (QWidget* w : {Pan_Year, Pan_Month, Pan_PlanningType, Pan_DaysNumbers, MenuBar_Sep2})
            w->hide();
        Lab_Planning->setText(QStringLiteral("Vous devez ouvrir ou créer un dossier"));
    } else {
        for (const char* n :
             {"Popup_File_Open", "Popup_File_Close", "Popup_File_Edit", "Popup_File_Delete", "Popup_File_Properties"})
            action(QString::fromLatin1(n))->setEnabled(true);
        action(QStringLiteral("Popup_File_Add"))->setEnabled(false);
        Grid_Object->setEnabled(true);
        Grid_Key->setEnabled(true);
        for (QWidget* w : {Pan_PlanningType, Pan_DaysNumbers, MenuBar_Sep2, Pan_Year})
            w->show();
        action(QStringLiteral("Popup_Display_DaysNumbers"))->setChecked(m_session.ctx.showDayNumber);
        const bool annual = m_session.ctx.planningType == 0;
        Pan_Month->setVisible(!annual);
        action(QStringLiteral("Popup_Display_Annual"))->setChecked(annual);
        action(QStringLiteral("Popup_Display_Monthly"))->setChecked(!annual);
        annualVisible = annual;
        monthlyVisible = !annual;
        Pan_Object_Top->setVisible(!annual);
        Grid_Object->setScrollBarVisible(annual);
        const bool objectSelected = selectedObjectId() >= 0;
        const int legendIndex = selectedLegendIndex();
        const bool legendSelected = legendIndex >= 0 && EntryId(m_session.legendSide().entries, legendIndex) >= 0;
        const bool canEdit = m_records.canEdit(m_session.ctx.orientation == 0);
        const bool canEditLegend = m_records.canEdit(m_session.ctx.orientation != 0);
        action(QStringLiteral("Popup_Grid_Object_Add"))->setEnabled(canEdit);
        action(QStringLiteral("Popup_Grid_Object_Edit"))->setEnabled(objectSelected && canEdit);
        action(QStringLiteral("Popup_Grid_Object_Delete"))->setEnabled(objectSelected);
        action(QStringLiteral("Popup_Grid_Key_Add"))->setEnabled(canEditLegend);
        action(QStringLiteral("Popup_Grid_Key_Edit"))->setEnabled(legendSelected && canEditLegend);
        action(QStringLiteral("Popup_Grid_Key_Delete"))->setEnabled(legendSelected);
        const bool noPersons = m_session.persons.entries.isEmpty();
        const bool noProjects = m_session.projects.entries.isEmpty();
        if (noPersons || noProjects) {
            annualVisible = monthlyVisible = false;
            QString missing;
            if (noPersons && noProjects)
                missing = QStringLiteral("\n") + QStringLiteral("une personne") + QStringLiteral(" et ")
                    + QStringLiteral("un projet");
            else if (noPersons)
                missing = QStringLiteral("une personne");
            else
                missing = QStringLiteral("un projet");
            Lab_Planning->setText(QStringLiteral("Vous devez créer ") + missing);
        }
    }
    AnnualGraphicPlanning->setVisible(annualVisible);
    MonthlyGraphicPlanning->setVisible(monthlyVisible);
    Lab_Planning->setVisible(!annualVisible && !monthlyVisible);

    Btn_DaysNumbers->setText(m_session.ctx.showDayNumber ? QStringLiteral("1·2") : QStringLiteral("·"));
    Btn_PlanningType->setText(m_session.ctx.planningType == 0 ? QStringLiteral("Année") : QStringLiteral("Mois"));
    const bool viewVisible = annualVisible || monthlyVisible;
    Btn_PlanningType->setEnabled(viewVisible);
    Btn_DaysNumbers->setEnabled(viewVisible);
    for (QWidget* w : m_navigation)
        w->setEnabled(viewVisible);
    action(QStringLiteral("Popup_Tools_Holidays"))->setEnabled(open);
    for (const char* n : {"Popup_Display_Annual", "Popup_Display_Monthly", "Popup_Display_DaysNumbers",
                          "Popup_Report_Planning", "Popup_Html_Planning"})
        action(QString::fromLatin1(n))->setEnabled(viewVisible);
    if (!viewVisible)
        MiddleBar->setText(QString());
    updateUndoItems();
    updatePatternItems();
}

void TMainForm::updateUndoItems()
{
    const bool open = m_session.ctx.dossierId != -1;
    QAction* undo = action(QStringLiteral("Popup_Tools_Undo"));
    QAction* redo = action(QStringLiteral("Popup_Tools_Redo"));
    if (!undo || !redo)
        return;
    undo->setEnabled(open && m_undo->canUndo());
    undo->setText(m_undo->canUndo() ? QStringLiteral("&Annuler ") + m_undo->undoText() : QStringLiteral("&Annuler"));
    redo->setEnabled(open && m_undo->canRedo());
    redo->setText(m_undo->canRedo() ? QStringLiteral("&Rétablir ") + m_undo->redoText() : QStringLiteral("&Rétablir"));
}

void TMainForm::ClearUndoHistory()
{
    m_undo->clear();
}

void TMainForm::trimUndoToEntries()
{
    QSet<int> objects, legend;
    const QStringList& objectEntries = m_session.objectSide().entries;
    const QStringList& legendEntries = m_session.legendSide().entries;
    for (int i = 0; i < objectEntries.size(); ++i)
        objects.insert(EntryId(objectEntries, i));
    for (int i = 0; i < legendEntries.size(); ++i)
        legend.insert(EntryId(legendEntries, i));
    // Undoing such a step would write rows of a record that is gone.
    m_undo->dropSteps([&](const planning::HalfDayChange& c) {
        return !objects.contains(c.objectId) || (c.before != -1 && !legend.contains(c.before))
            || (c.after != -1 && !legend.contains(c.after));
    });
}

bool TMainForm::saveVisibleView()
{
    if (m_session.ctx.planningType == 0)
        return planning::SaveAnnualEdit(*AnnualGraphicPlanning, *m_undo, m_session.ctx, this);
    return planning::SaveMonthlyEdit(*MonthlyGraphicPlanning, *m_undo, m_session, this);
}

void TMainForm::runUndoStep(bool undo)
{
    if (m_session.ctx.dossierId == -1 || AnnualGraphicPlanning->gestureInProgress()
        || MonthlyGraphicPlanning->gestureInProgress())
        return;
    // Half-days still marked after a failed save go first, so that the steps
    // and the database agree.
    if (!saveVisibleView())
        return;
    try {
        ui::HourglassCursor wait;
        undo ? m_undo->undo() : m_undo->redo();
    } catch (const db::DbError& e) {
        ui::showError((undo ? QStringLiteral("L'annulation n'a pas pu être enregistrée")
                            : QStringLiteral("Le rétablissement n'a pas pu être enregistré"))
                          + QStringLiteral(" : le planning est resté tel qu'il était.\r\r") + e.message(),
                      this);
    }
}

void TMainForm::Popup_Tools_UndoClick()
{
    runUndoStep(true);
}

void TMainForm::Popup_Tools_HolidaysClick()
{
    if (planning::EditDossierHolidays(m_store, m_session, this))
        LoadPlanning();
}

void TMainForm::Popup_Tools_RedoClick()
{
    runUndoStep(false);
}

void TMainForm::pickLegendItem(int legendId)
{
    const int j = planning::EntryIndexOfId(m_session.legendSide().entries, legendId);
    if (j < 0 || j >= Grid_Key->property("tag").toInt())
        return;
    Grid_Key->select(j - 3 * (j / 3), j / 3);
    Grid_Key->update();
    SyncPaintFromLegend();
    UpdateMenus();
}

void TMainForm::showRecordList(bool persons)
{
    // The entry selected before is selected again when it still exists.
    const bool objectSide = (m_session.ctx.orientation == 0) == persons;
    const int before = objectSide ? selectedObjectId() : EntryId(m_session.legendSide().entries, selectedLegendIndex());
    const int dossier = m_session.ctx.dossierId;
    records::ListHooks hooks;
    hooks.print = [this, persons, dossier](QWidget* parent) {
        printing::ReportCommands commands(*m_reportModule, parent);
        persons ? commands.PrintPersonList(dossier) : commands.PrintProjectList(dossier);
    };
    hooks.html = [this, persons, dossier](QWidget* parent) {
        persons ? output::ShowPersonListPage(m_dm, dossier, parent)
                : output::ShowProjectListPage(m_dm, dossier, parent);
    };
    if (persons) {
        records::TListPeople list(m_dm, m_records, dossier, hooks, this);
        ui::prompt().exec(&list);
    } else {
        records::TListProject list(m_dm, m_records, dossier, hooks, this);
        ui::prompt().exec(&list);
    }
    try {
        persons ? LoadPersonEntries(before) : LoadProjectEntries(before);
        // The list may have deleted records.
        trimUndoToEntries();
        LoadPlanning();
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    UpdateMenus();
}

void TMainForm::Popup_Parameters_PeopleClick()
{
    showRecordList(true);
}

void TMainForm::Popup_Parameters_ProjectClick()
{
    showRecordList(false);
}

void TMainForm::Btn_ReportClick()
{
    Popup_Report->popup(Btn_Report->mapToGlobal(QPoint(50, 0)));
}

void TMainForm::Popup_Report_PlanningClick()
{
    const planning::PlanningContext& ctx = m_session.ctx;
    const int id = EntryId(m_session.objectSide().entries, Grid_Object->Row());
    if (ctx.planningType == 0) {
        m_reports->PrintAnnualPlanning(ctx, {AnnualGraphicPlanning, AnnualGraphicPlanning->ShowDayNumber()}, id,
                                       printing::ReportCommands::AnnualTitle(ctx.year));
    } else {
        const printing::MonthSource month{MonthlyGraphicPlanning, MonthlyGraphicPlanning->ShowDayNumber(),
                                          MonthlyGraphicPlanning->firstWeekday(), MonthlyGraphicPlanning->days(),
                                          printing::RowIdsOf(m_session.objectSide().entries)};
        m_reports->PrintMonthlyPlanning(ctx, month, printing::ReportCommands::MonthlyTitle(ctx.year, ctx.month));
    }
}

void TMainForm::Popup_Report_List_PeopleClick()
{
    m_reports->PrintPersonList(m_session.ctx.dossierId);
}

void TMainForm::Popup_Report_List_ProjectClick()
{
    m_reports->PrintProjectList(m_session.ctx.dossierId);
}

void TMainForm::Btn_HtmlClick()
{
    Popup_Html->popup(Btn_Html->mapToGlobal(QPoint(50, 0)));
}

void TMainForm::stepYear(int delta)
{
    m_session.ctx.year += delta;
    showLabels();
    LoadPlanning();
}

void TMainForm::stepMonth(int delta)
{
    planning::PlanningContext& ctx = m_session.ctx;
    // Past either end of the year the month wraps and the year moves with it;
    // the planning is loaded once for the new month.
    const QDate month = QDate(ctx.year, ctx.month, 1).addMonths(delta);
    ctx.year = month.year();
    ctx.month = month.month();
    showLabels();
    LoadPlanning();
}

void TMainForm::Btn_Year_DecClick()
{
    stepYear(-1);
}

void TMainForm::Btn_Year_IncClick()
{
    stepYear(1);
}

void TMainForm::Btn_Month_DecClick()
{
    stepMonth(-1);
}

void TMainForm::Btn_Month_IncClick()
{
    stepMonth(1);
}

void TMainForm::Btn_PlanningTypeClick()
{
    m_session.ctx.planningType = 1 - m_session.ctx.planningType;
    RefreshPlanning();
}

void TMainForm::Popup_Display_AnnualClick()
{
    m_session.ctx.planningType = 0;
    RefreshPlanning();
}

void TMainForm::Popup_Display_MonthlyClick()
{
    m_session.ctx.planningType = 1;
    RefreshPlanning();
}

void TMainForm::Popup_Display_DaysNumbersClick()
{
    m_session.ctx.showDayNumber = !m_session.ctx.showDayNumber;
    RefreshPlanning();
}

void TMainForm::Grid_ObjectClick()
{
    if (Grid_Object->property("tag").toInt() <= 0)
        return;
    (m_session.ctx.orientation == 0 ? m_session.ctx.personId : m_session.ctx.projectId) = selectedObjectId();
    if (m_session.ctx.planningType == 0) {
        LoadPlanning();
    } else if (!m_syncing) {
        m_syncing = true;
        MonthlyGraphicPlanning->setRow(Grid_Object->Row());
        m_syncing = false;
    }
    UpdateMenus();
}

void TMainForm::Grid_KeyClick()
{
    SyncPaintFromLegend();
    UpdateMenus();
}

void TMainForm::MonthlyGraphicPlanningClick()
{
    if (!m_syncing) {
        m_syncing = true;
        const int before = Grid_Object->Row();
        Grid_Object->setRow(MonthlyGraphicPlanning->Row());
        Grid_Object->setTopRow(MonthlyGraphicPlanning->TopRow());
        // A new row is a new current object, as a click in the grid makes it;
        // the flag keeps that click from echoing back to the view.
        if (Grid_Object->Row() != before)
            Grid_ObjectClick();
    }
    m_syncing = false;
}

void TMainForm::MonthlyGraphicPlanningTopLeftChanged()
{
    MonthlyGraphicPlanningClick();
}

void TMainForm::AnnualGraphicPlanningAfterChange()
{
    planning::SaveAnnualEdit(*AnnualGraphicPlanning, *m_undo, m_session.ctx, this);
}

void TMainForm::MonthlyGraphicPlanningAfterChange()
{
    planning::SaveMonthlyEdit(*MonthlyGraphicPlanning, *m_undo, m_session, this);
}

void TMainForm::AnnualGraphicPlanningMouseMove()
{
    MiddleBar->setText(planning::MiddleBarCaption(AnnualGraphicPlanning->HoverDay, AnnualGraphicPlanning->HoverMonth,
                                                  AnnualGraphicPlanning->HoverHalf, AnnualGraphicPlanning->Year,
                                                  AnnualGraphicPlanning->DaysOff.get()));
}

void TMainForm::MonthlyGraphicPlanningMouseMove()
{
    MiddleBar->setText(planning::MiddleBarCaption(MonthlyGraphicPlanning->HoverDay, MonthlyGraphicPlanning->Month,
                                                  MonthlyGraphicPlanning->HoverHalf, MonthlyGraphicPlanning->Year,
                                                  MonthlyGraphicPlanning->DaysOff.get()));
}

void TMainForm::editRecord(bool person, int id, bool isNew)
{
    try {
        const int stored = m_records.EditRecord(person, id, isNew, this);
        if (stored == -1)
            return;
        // The edited or added record is selected.
        person ? LoadPersonEntries(stored) : LoadProjectEntries(stored);
        LoadPlanning();
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
}

void TMainForm::EditPerson(int id, bool isNew)
{
    editRecord(true, id, isNew);
}

void TMainForm::EditProject(int id, bool isNew)
{
    editRecord(false, id, isNew);
}

void TMainForm::Grid_ObjectDblClick()
{
    Popup_Grid_Object_EditClick();
}

void TMainForm::Grid_KeyDblClick()
{
    Popup_Grid_Key_EditClick();
}

void TMainForm::Popup_Grid_Object_AddClick()
{
    m_session.ctx.orientation == 0 ? EditPerson(-1, true) : EditProject(-1, true);
    UpdateMenus();
}

void TMainForm::Popup_Grid_Object_EditClick()
{
    if (Grid_Object->property("tag").toInt() <= 0)
        return;
    m_session.ctx.orientation == 0 ? EditPerson(selectedObjectId(), false) : EditProject(selectedObjectId(), false);
    UpdateMenus();
}

void TMainForm::Popup_Grid_Key_AddClick()
{
    m_session.ctx.orientation == 0 ? EditProject(-1, true) : EditPerson(-1, true);
    UpdateMenus();
}

void TMainForm::Popup_Grid_Key_EditClick()
{
    if (Grid_Key->property("tag").toInt() <= 0)
        return;
    const int id = EntryId(m_session.legendSide().entries, selectedLegendIndex());
    // The edit reloads the lists and the planning when it stored something.
    m_session.ctx.orientation == 0 ? EditProject(id, false) : EditPerson(id, false);
    UpdateMenus();
}

void TMainForm::deleteRecord(bool person, int id)
{
    if (m_records.DeleteRecord(person, id, this)) {
        try {
            person ? LoadPersonEntries(-1) : LoadProjectEntries(-1);
            trimUndoToEntries();
            LoadPlanning();
        } catch (const db::DbError& e) {
            ui::showError(e.message(), this);
        }
    }
    UpdateMenus();
}

void TMainForm::Popup_Grid_Object_DeleteClick()
{
    deleteRecord(m_session.ctx.orientation == 0, selectedObjectId());
}

void TMainForm::Popup_Grid_Key_DeleteClick()
{
    const int index = selectedLegendIndex();
    if (index < 0)
        return;
    deleteRecord(m_session.ctx.orientation != 0, EntryId(m_session.legendSide().entries, index));
}

void TMainForm::Popup_Help_DocClick()
{
    const QString help = core::globals().helpFile;
    if (!QFile::exists(help))
        ui::showMessage(core::LookupText(core::msg::CommonLib_String1), this);
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(help)))
        // A desktop without a browser or xdg-open: say where the manual is.
        ui::showInformation(QStringLiteral("Aucun programme n'est disponible pour afficher l'aide.\r"
                                           "Ouvrez le manuel avec votre navigateur : il se trouve dans le fichier\r")
                                + QDir::toNativeSeparators(QFileInfo(help).absoluteFilePath()),
                            this);
}

void TMainForm::MenuItem13Click()
{
    const QString site = core::LookupText(core::msg::Common_WebSite);
    if (!QDesktopServices::openUrl(QUrl(site)))
        ui::showInformation(
            QStringLiteral("Aucun navigateur n'est disponible pour ouvrir le site web.\rSon adresse est : ") + site,
            this);
}

void TMainForm::Apropos1Click()
{
    static bool shown = false;
    if (shown)
        return;
    shown = true;
    TAbout about(this);
    ui::prompt().exec(&about);
    shown = false;
}

void TMainForm::ClockTimer()
{
    QString text = core::now().time().toString(core::globals().longTimeFormat).left(5);
    if (++m_clockTick % 2 == 0)
        text.replace(QLatin1Char(':'), QLatin1Char(' '));
    DigitalTime->setText(text);
}

}  // namespace mainwindow
