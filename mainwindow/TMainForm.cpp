#include "mainwindow/TMainForm.h"

#include "core/Clock.h"
#include "core/Globals.h"
#include "core/MessageCatalog.h"
#include "core/Settings.h"
#include "db/DbError.h"
#include "db/QueryHelpers.h"
#include "db/TDataModule1.h"
#include "db/TDataModuleObject.h"
#include "images/ImageRoutines.h"
#include "planning/PlanningLoader.h"
#include "planning/PlanningPaint.h"
#include "planning/PlanningWriter.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "records/TEnterRecord.h"
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
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
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

QFrame* separator(QWidget* parent, const QString& name)
{
    auto* sep = new QFrame(parent);
    sep->setObjectName(name);
    sep->setFrameShape(QFrame::VLine);
    sep->setFrameShadow(QFrame::Sunken);
    return sep;
}

QToolButton* smallButton(const QString& text, const QString& name, const QString& hint, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    return b;
}

// The about window: product, version, maker.
class TAbout : public QDialog {
public:
    explicit TAbout(QWidget* parent) : QDialog(parent)
    {
        setObjectName(QStringLiteral("About"));
        setWindowTitle(QStringLiteral("A propos"));
        auto* layout = new QVBoxLayout(this);
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
    }
};

}  // namespace

TMainForm::TMainForm(db::TDataModule1& dataModule, db::TDataModuleObject& objectStore, RecordDialogs dialogs,
                     QWidget* parent)
    : QWidget(parent), m_dm(dataModule), m_store(objectStore), m_dialogs(std::move(dialogs))
{
    setObjectName(QStringLiteral("MainForm"));
    if (!m_dialogs.person)
        m_dialogs.person = [this](db::Dataset&, bool isNew, QWidget* parent) {
            records::TEnterPeople dialog(m_dm.DSPeople, m_dm.People, parent);
            dialog.IsNewRecord = isNew;
            return ui::prompt().exec(&dialog);
        };
    if (!m_dialogs.project)
        m_dialogs.project = [this](db::Dataset&, bool isNew, QWidget* parent) {
            records::TEnterProject dialog(m_dm.DSProject, m_dm.Project, parent);
            dialog.IsNewRecord = isNew;
            return ui::prompt().exec(&dialog);
        };
    m_dossiers = std::make_unique<dossiers::DossierCommands>(m_dm, *this);
    buildLayout();
    buildMenus();
    FormCreate();
}

TMainForm::~TMainForm() = default;

QAction* TMainForm::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

void TMainForm::buildLayout()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    m_titleBar =
        new ui::TitleBar(QString(), ui::TitleBar::Minimize | ui::TitleBar::Maximize | ui::TitleBar::Close, this);
    outer->addWidget(m_titleBar);

    auto* menuBar = new QWidget(this);
    menuBar->setObjectName(QStringLiteral("MenuBar"));
    menuBar->setFixedHeight(21);
    auto* bar = new QHBoxLayout(menuBar);
    bar->setContentsMargins(2, 0, 2, 0);
    bar->setSpacing(2);
    auto* toolBar = new QWidget(menuBar);
    toolBar->setObjectName(QStringLiteral("ToolBar2"));
    auto* tools = new QHBoxLayout(toolBar);
    tools->setContentsMargins(0, 0, 0, 0);
    tools->setSpacing(0);
    bar->addWidget(toolBar);
    bar->addWidget(separator(menuBar, QStringLiteral("MenuBar_Sep1")));

    Pan_PlanningType = new QWidget(menuBar);
    Pan_PlanningType->setObjectName(QStringLiteral("Pan_PlanningType"));
    auto* pt = new QHBoxLayout(Pan_PlanningType);
    pt->setContentsMargins(0, 0, 0, 0);
    Btn_PlanningType = smallButton(QString(), QStringLiteral("Btn_PlanningType"), QStringLiteral("Types de planning"),
                                   Pan_PlanningType);
    pt->addWidget(Btn_PlanningType);
    bar->addWidget(Pan_PlanningType);
    MenuBar_Sep2 = separator(menuBar, QStringLiteral("MenuBar_Sep2"));
    bar->addWidget(MenuBar_Sep2);

    auto navPanel = [&](const QString& name, QToolButton** dec, QLabel** label, QToolButton** inc,
                        const QString& decName, const QString& labelName, const QString& incName, int labelWidth) {
        auto* panel = new QWidget(menuBar);
        panel->setObjectName(name);
        auto* l = new QHBoxLayout(panel);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(1);
        *dec = smallButton(QStringLiteral("<"), decName, QString(), panel);
        *label = new QLabel(panel);
        (*label)->setObjectName(labelName);
        (*label)->setAlignment(Qt::AlignCenter);
        (*label)->setFixedWidth(labelWidth);
        QFont f = (*label)->font();
        f.setBold(true);
        (*label)->setFont(f);
        *inc = smallButton(QStringLiteral(">"), incName, QString(), panel);
        l->addWidget(*dec);
        l->addWidget(*label);
        l->addWidget(*inc);
        bar->addWidget(panel);
        m_navigation << *dec << *label << *inc;
        return panel;
    };
    QToolButton *yearDec, *yearInc, *monthDec, *monthInc;
    Pan_Year = navPanel(QStringLiteral("Pan_Year"), &yearDec, &Lab_Year, &yearInc, QStringLiteral("Btn_Year_Dec"),
                        QStringLiteral("Lab_Year"), QStringLiteral("Btn_Year_Inc"), 44);
    Pan_Month = navPanel(QStringLiteral("Pan_Month"), &monthDec, &Lab_Month, &monthInc, QStringLiteral("Btn_Month_Dec"),
                         QStringLiteral("Lab_Month"), QStringLiteral("Btn_Month_Inc"), 84);
    connect(yearDec, &QToolButton::clicked, this, &TMainForm::Btn_Year_DecClick);
    connect(yearInc, &QToolButton::clicked, this, &TMainForm::Btn_Year_IncClick);
    connect(monthDec, &QToolButton::clicked, this, &TMainForm::Btn_Month_DecClick);
    connect(monthInc, &QToolButton::clicked, this, &TMainForm::Btn_Month_IncClick);

    Pan_DaysNumbers = new QWidget(menuBar);
    Pan_DaysNumbers->setObjectName(QStringLiteral("Pan_DaysNumbers"));
    auto* dn = new QHBoxLayout(Pan_DaysNumbers);
    dn->setContentsMargins(0, 0, 0, 0);
    Btn_DaysNumbers =
        smallButton(QString(), QStringLiteral("Btn_DaysNumbers"), QStringLiteral("Numéros des jours"), Pan_DaysNumbers);
    dn->addWidget(Btn_DaysNumbers);
    bar->addWidget(Pan_DaysNumbers);
    bar->addStretch();
    outer->addWidget(menuBar);
    connect(Btn_PlanningType, &QToolButton::clicked, this, &TMainForm::Btn_PlanningTypeClick);
    connect(Btn_DaysNumbers, &QToolButton::clicked, this, &TMainForm::Popup_Display_DaysNumbersClick);

    auto* work = new QWidget(this);
    auto* row = new QHBoxLayout(work);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    auto* barreLeft = new QWidget(work);
    barreLeft->setObjectName(QStringLiteral("BarreLeft"));
    barreLeft->setFixedWidth(50);
    MiniCalendar = new ui::TMiniCalendar(barreLeft);
    MiniCalendar->setGeometry(11, 10, 30, 43);
    MiniCalendar->setEnabled(false);
    MiniCalendar->setToolTip(QStringLiteral("Calendrier\nperpétuel"));
    MiniCalendar->setLanguage(ui::TMiniCalendar::Language::French);
    DigitalTime = new QLabel(barreLeft);
    DigitalTime->setObjectName(QStringLiteral("DigitalTime"));
    DigitalTime->setGeometry(2, 58, 46, 16);
    DigitalTime->setAlignment(Qt::AlignCenter);
    Btn_Report = smallButton(QStringLiteral("Imprimer"), QStringLiteral("Btn_Report"), QString(), barreLeft);
    QFont tiny = Btn_Report->font();
    tiny.setPointSize(7);
    Btn_Report->setFont(tiny);
    Btn_Report->setGeometry(2, 84, 46, 40);
    Btn_Html = smallButton(QStringLiteral("Html"), QStringLiteral("Btn_Html"), QString(), barreLeft);
    Btn_Html->setGeometry(2, 128, 46, 40);
    row->addWidget(barreLeft);

    auto* panObject = new QWidget(work);
    panObject->setObjectName(QStringLiteral("Pan_Object"));
    panObject->setFixedWidth(191);
    auto* objectColumn = new QVBoxLayout(panObject);
    objectColumn->setContentsMargins(0, 0, 0, 0);
    objectColumn->setSpacing(0);
    Pan_Object_Top = new QWidget(panObject);
    Pan_Object_Top->setObjectName(QStringLiteral("Pan_Object_Top"));
    Pan_Object_Top->setFixedHeight(8);
    objectColumn->addWidget(Pan_Object_Top);
    Grid_Object = new ui::TDrawGrid(panObject);
    Grid_Object->setObjectName(QStringLiteral("Grid_Object"));
    Grid_Object->setColor(planning::ColorFromRef(kGridBackground));
    Grid_Object->setDefaultRowHeight(50);
    Grid_Object->setDefaultColWidth(800);
    Grid_Object->setRowCount(0);
    objectColumn->addWidget(Grid_Object);
    row->addWidget(panObject);

    auto* right = new QSplitter(Qt::Vertical, work);
    right->setObjectName(QStringLiteral("Splitter_Horizontal"));
    auto* planningArea = new QWidget(right);
    planningArea->setObjectName(QStringLiteral("Pan_Planning"));
    auto* planningColumn = new QVBoxLayout(planningArea);
    planningColumn->setContentsMargins(0, 0, 0, 0);
    planningColumn->setSpacing(0);
    auto* stack = new QWidget(planningArea);
    auto* stackLayout = new QGridLayout(stack);
    stackLayout->setContentsMargins(0, 0, 0, 0);
    Lab_Planning = new QLabel(stack);
    Lab_Planning->setObjectName(QStringLiteral("Lab_Planning"));
    Lab_Planning->setAlignment(Qt::AlignCenter);
    QFont big = Lab_Planning->font();
    big.setPointSize(16);
    big.setBold(true);
    Lab_Planning->setFont(big);
    AnnualGraphicPlanning = new planning::TAnnualGraphicPlanning(stack);
    AnnualGraphicPlanning->setBackGroundColor(kGridBackground);
    MonthlyGraphicPlanning = new planning::TMonthlyGraphicPlanning(stack);
    MonthlyGraphicPlanning->setColor(kGridBackground);
    MonthlyGraphicPlanning->setBackGroundColor(kGridBackground);
    stackLayout->addWidget(Lab_Planning, 0, 0);
    stackLayout->addWidget(AnnualGraphicPlanning, 0, 0);
    stackLayout->addWidget(MonthlyGraphicPlanning, 0, 0);
    planningColumn->addWidget(stack, 1);
    MiddleBar = new QLabel(planningArea);
    MiddleBar->setObjectName(QStringLiteral("MiddleBar"));
    MiddleBar->setFixedHeight(12);
    MiddleBar->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont small = MiddleBar->font();
    small.setPointSize(7);
    MiddleBar->setFont(small);
    planningColumn->addWidget(MiddleBar);
    Grid_Key = new ui::TDrawGrid(right);
    Grid_Key->setObjectName(QStringLiteral("Grid_Key"));
    Grid_Key->setColor(planning::ColorFromRef(kGridBackground));
    Grid_Key->setDefaultRowHeight(30);
    Grid_Key->setColCount(3);
    Grid_Key->setFitColumns(true);
    Grid_Key->setRowCount(0);
    right->addWidget(planningArea);
    right->addWidget(Grid_Key);
    right->setStretchFactor(0, 1);
    right->setSizes({440, 100});
    row->addWidget(right, 1);
    outer->addWidget(work, 1);

    auto* status = new QWidget(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    status->setFixedHeight(15);
    auto* statusRow = new QHBoxLayout(status);
    statusRow->setContentsMargins(4, 0, 0, 0);
    Lab_Status = new QLabel(QStringLiteral("Quillmark Planning - © 2008 Brindell Software Development"), status);
    Lab_Status->setObjectName(QStringLiteral("Lab_Status"));
    Lab_Status->setFont(small);
    statusRow->addWidget(Lab_Status, 1);
    statusRow->addWidget(new ui::ResizeGrip(QStringLiteral("Image1"), 640, 480, status), 0, Qt::AlignBottom);
    outer->addWidget(status);

    // Grids and views.
    Grid_Object->OnDrawCell = [this](QPainter& p, int, int r, const QRect& cell) {
        const EntryList& list = objectSide();
        if (Grid_Object->property("tag").toInt() == 0 || r >= list.entries.size())
            return;
        DrawObjectRow(p, cell, Grid_Object->ClientWidth(), r == Grid_Object->Row(), kGridBackground, list.entries.at(r),
                      list.thumbnails.at(static_cast<size_t>(r)));
    };
    Grid_Key->OnDrawCell = [this](QPainter& p, int c, int r, const QRect& cell) {
        const EntryList& list = legendSide();
        const int i = c + 3 * r;
        if (i >= Grid_Key->property("tag").toInt() || i >= list.entries.size())
            return;
        DrawLegendItem(p, cell, c == Grid_Key->Col() && r == Grid_Key->Row(), kGridBackground, list.entries.at(i));
    };
    Grid_Object->OnClick = [this] { Grid_ObjectClick(); };
    Grid_Object->OnDblClick = [this] { Grid_ObjectDblClick(); };
    Grid_Object->OnKeyUp = [this](int key) {
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown)
            Grid_ObjectClick();
    };
    Grid_Key->OnClick = [this] { Grid_KeyClick(); };
    Grid_Key->OnKeyUp = [this](int) { Grid_KeyClick(); };
    Grid_Key->OnDblClick = [this] { Grid_KeyDblClick(); };
    AnnualGraphicPlanning->AfterChange = [this](QObject*) { AnnualGraphicPlanningAfterChange(); };
    AnnualGraphicPlanning->OnMouseMove = [this](QObject*) { AnnualGraphicPlanningMouseMove(); };
    MonthlyGraphicPlanning->AfterChange = [this](QObject*) { MonthlyGraphicPlanningAfterChange(); };
    MonthlyGraphicPlanning->OnMouseMove = [this](QObject*) { MonthlyGraphicPlanningMouseMove(); };
    MonthlyGraphicPlanning->OnClick = [this](QObject*) { MonthlyGraphicPlanningClick(); };
    MonthlyGraphicPlanning->OnTopLeftChanged = [this](QObject*) { MonthlyGraphicPlanningTopLeftChanged(); };
    Grid_Object->OnTopLeftChanged = [this] {
        if (m_ctx.planningType == 1 && !m_syncing) {
            m_syncing = true;
            MonthlyGraphicPlanning->setTopRow(Grid_Object->TopRow());
            m_syncing = false;
        }
    };

    Clock = new QTimer(this);
    Clock->setObjectName(QStringLiteral("Clock"));
    Clock->setInterval(1000);
    connect(Clock, &QTimer::timeout, this, &TMainForm::ClockTimer);
    Clock->start();
    ClockTimer();
}

QToolButton* TMainForm::menuButton(const QString& text, const QString& name, ui::TPopupMenuMod* menu)
{
    auto* b = new QToolButton(findChild<QWidget*>(QStringLiteral("ToolBar2")));
    b->setObjectName(name);
    b->setText(text);
    b->setAutoRaise(true);
    b->setPopupMode(QToolButton::InstantPopup);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMenu(menu);
    b->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    findChild<QWidget*>(QStringLiteral("ToolBar2"))->layout()->addWidget(b);
    return b;
}

QAction* TMainForm::addItem(ui::TPopupMenuMod* menu, const QString& text, const QString& name,
                            std::function<void()> run)
{
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    if (run)
        connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
    else
        a->setEnabled(false);  // its command comes with a later part of the program
    return a;
}

void TMainForm::buildMenus()
{
    auto makeMenu = [this](const QString& name) {
        auto* m = new ui::TPopupMenuMod(this);
        m->setObjectName(name);
        m->ItemsHeight = 20;
        return m;
    };
    auto* file = makeMenu(QStringLiteral("Popup_File"));
    addItem(file, QStringLiteral("&Créer un dossier"), QStringLiteral("Popup_File_Add"),
            [this] { m_dossiers->Popup_File_AddClick(); });
    addItem(file, QStringLiteral("&Ouvrir un dossier"), QStringLiteral("Popup_File_Open"),
            [this] { m_dossiers->OpenDossierCommand(); });
    file->addSeparator();
    addItem(file, QStringLiteral("&Fermer ce dossier"), QStringLiteral("Popup_File_Close"),
            [this] { m_dossiers->Popup_File_CloseClick(); });
    addItem(file, QStringLiteral("&Supprimer ce dossier"), QStringLiteral("Popup_File_Delete"),
            [this] { m_dossiers->DeleteDossier(); });
    file->addSeparator();
    addItem(file, QStringLiteral("&Modifier ce dossier"), QStringLiteral("Popup_File_Edit"),
            [this] { m_dossiers->Popup_File_EditClick(); });
    file->addSeparator();
    addItem(file, QStringLiteral("&Propriétés"), QStringLiteral("Popup_File_Properties"), {});
    file->addSeparator();
    addItem(file, QStringLiteral("&Quitter"), QStringLiteral("Popup_File_Exit"), [this] { close(); });
    menuButton(QStringLiteral("&Fichier"), QStringLiteral("ToolButton_File"), file);

    auto* display = makeMenu(QStringLiteral("Popup_Display"));
    addItem(display, QStringLiteral("Planning &annuel"), QStringLiteral("Popup_Display_Annual"), [this] {
        Popup_Display_AnnualClick();
    })->setCheckable(true);
    addItem(display, QStringLiteral("Planning &mensuel"), QStringLiteral("Popup_Display_Monthly"), [this] {
        Popup_Display_MonthlyClick();
    })->setCheckable(true);
    display->addSeparator();
    addItem(display, QStringLiteral("Affichage du n&uméro des jours"), QStringLiteral("Popup_Display_DaysNumbers"),
            [this] { Popup_Display_DaysNumbersClick(); })
        ->setCheckable(true);
    m_menuDisplay = menuButton(QStringLiteral("&Affichage"), QStringLiteral("ToolButton_Display"), display);

    auto* parameters = makeMenu(QStringLiteral("Popup_Parameters"));
    addItem(parameters, QStringLiteral("&Personnes"), QStringLiteral("Popup_Parameters_People"), {});
    addItem(parameters, QStringLiteral("&Projets"), QStringLiteral("Popup_Parameters_Project"), {});
    m_menuParameters = menuButton(QStringLiteral("&Paramètrage"), QStringLiteral("ToolButton_Parameters"), parameters);

    for (const auto& [title, prefix, holder] :
         {std::tuple{QStringLiteral("&Impression"), QStringLiteral("Popup_Print"), &m_menuPrint},
          std::tuple{QStringLiteral("&Html"), QStringLiteral("Popup_Html"), &m_menuHtml}}) {
        auto* m = makeMenu(prefix);
        addItem(m, QStringLiteral("&Planning"), prefix + QStringLiteral("_Planning"), {});
        m->addSeparator();
        addItem(m, QStringLiteral("Liste des p&ersonnes"), prefix + QStringLiteral("_People"), {});
        addItem(m, QStringLiteral("Liste des p&rojets"), prefix + QStringLiteral("_Project"), {});
        *holder = menuButton(title, QStringLiteral("ToolButton_") + prefix.mid(6), m);
    }

    auto* tools = makeMenu(QStringLiteral("Popup_Tools"));
    auto* database = new ui::TPopupMenuMod(tools);
    database->setObjectName(QStringLiteral("Popup_Tools_Database"));
    database->setTitle(QStringLiteral("&Base de données"));
    addItem(database, QStringLiteral("&Sauvegarde"), QStringLiteral("Popup_Tools_Backup"), {});
    addItem(database, QStringLiteral("&Restauration"), QStringLiteral("Popup_Tools_Restore"), {});
    addItem(database, QStringLiteral("&Historique"), QStringLiteral("Popup_Tools_History"), {});
    database->addSeparator();
    addItem(database, QStringLiteral("&Compacter/Réparer"), QStringLiteral("Popup_Tools_Compact"), {});
    tools->addMenu(database);
    menuButton(QStringLiteral("&Outils"), QStringLiteral("ToolButton_Tools"), tools);

    auto* help = makeMenu(QStringLiteral("Popup_Help"));
    addItem(help, QStringLiteral("&Documentation"), QStringLiteral("Popup_Help_Doc"),
            [this] { Popup_Help_DocClick(); });
    addItem(help, QStringLiteral("&Site web"), QStringLiteral("MenuItem13"), [this] { MenuItem13Click(); });
    addItem(help, QStringLiteral("&A propos"), QStringLiteral("Apropos1"), [this] { Apropos1Click(); });
    menuButton(QStringLiteral("&Aide"), QStringLiteral("ToolButton_Help"), help);

    Popup_Grid_Object = makeMenu(QStringLiteral("Popup_Grid_Object"));
    addItem(Popup_Grid_Object, QStringLiteral("&Ajouter"), QStringLiteral("Popup_Grid_Object_Add"),
            [this] { Popup_Grid_Object_AddClick(); });
    addItem(Popup_Grid_Object, QStringLiteral("&Modifier"), QStringLiteral("Popup_Grid_Object_Edit"),
            [this] { Popup_Grid_Object_EditClick(); });
    addItem(Popup_Grid_Object, QStringLiteral("&Supprimer"), QStringLiteral("Popup_Grid_Object_Delete"),
            [this] { Popup_Grid_Object_DeleteClick(); });
    Popup_Grid_Key = makeMenu(QStringLiteral("Popup_Grid_Key"));
    addItem(Popup_Grid_Key, QStringLiteral("&Ajouter"), QStringLiteral("Popup_Grid_Key_Add"),
            [this] { Popup_Grid_Key_AddClick(); });
    addItem(Popup_Grid_Key, QStringLiteral("&Modifier"), QStringLiteral("Popup_Grid_Key_Edit"),
            [this] { Popup_Grid_Key_EditClick(); });
    addItem(Popup_Grid_Key, QStringLiteral("&Supprimer"), QStringLiteral("Popup_Grid_Key_Delete"),
            [this] { Popup_Grid_Key_DeleteClick(); });
    Grid_Object->OnContextMenu = [this](const QPoint& pos) { Popup_Grid_Object->popup(pos); };
    Grid_Key->OnContextMenu = [this](const QPoint& pos) { Popup_Grid_Key->popup(pos); };
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
    m_ctx = planning::PlanningContext{};
    const QDate today = core::today();
    m_ctx.year = today.year();
    m_ctx.month = today.month();
    try {
        m_dossiers->AutoOpenFirstDossier();
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    Lab_Status->setText(Lab_Status->text().replace(QStringLiteral("2008"), QString::number(today.year())));
    g.settings.firstLaunch = false;
    showLabels();
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
    if (core::globals().currentDossier != -1)
        CloseDossierDisplay(true);
    m_persons.clear();
    m_projects.clear();
    ui::SaveWindowPlacement(this, core::globals().settings);
    core::SaveSettings();
    e->accept();
}

const EntryList& TMainForm::objectSide() const
{
    return m_ctx.orientation == 0 ? m_persons : m_projects;
}

const EntryList& TMainForm::legendSide() const
{
    return m_ctx.orientation == 0 ? m_projects : m_persons;
}

int TMainForm::selectedObjectId() const
{
    return EntryId(objectSide().entries, Grid_Object->Row());
}

int TMainForm::selectedLegendIndex() const
{
    const int i = Grid_Key->Col() + 3 * Grid_Key->Row();
    return i < Grid_Key->property("tag").toInt() ? i : -1;
}

void TMainForm::loadEntries(bool personsSide, int idToSelect)
{
    ui::HourglassCursor hourglass;
    EntryList& list = personsSide ? m_persons : m_projects;
    int index = 0;
    (personsSide ? m_ctx.personId : m_ctx.projectId) = -1;
    list.clear();
    db::Dataset& q = m_dm.Query;
    q.Close();
    q.clearBindings();
    q.setSQL({personsSide
                  ? QStringLiteral("SELECT * FROM PEOPLE WHERE ID_FILE=%1 ORDER BY NAME").arg(m_ctx.dossierId)
                  : QStringLiteral("SELECT * FROM PROJECT WHERE ID_FILE=%1 ORDER BY TITLE").arg(m_ctx.dossierId)});
    q.Open();
    for (; !q.Eof(); q.Next()) {
        const int id = q.FieldByName(QStringLiteral("ID")).AsInteger();
        list.entries << planning::MakeEntry(
            id, static_cast<quint32>(q.FieldByName(QStringLiteral("PenColor")).AsInteger()),
            static_cast<quint32>(q.FieldByName(QStringLiteral("BrushColor")).AsInteger()),
            q.FieldByName(QStringLiteral("BrushStyle")).AsInteger(),
            q.FieldByName(personsSide ? QStringLiteral("Name") : QStringLiteral("Title")).AsString(),
            q.FieldByName(personsSide ? QStringLiteral("Function") : QStringLiteral("ShortDescription")).AsString());
        QImage picture = images::ImageFromBlob(q.FieldByName(QStringLiteral("IMGMINI1")).AsBlob());
        if (picture.isNull() || picture.width() == 0)
            picture = DefaultPicture(personsSide ? 0 : 4);
        list.thumbnails.push_back(images::FitBitmapInto(picture, 35, 35));
        if (id == idToSelect)
            index = static_cast<int>(list.entries.size()) - 1;
    }
    q.Close();
    const int count = static_cast<int>(list.entries.size());
    const bool objectIsThisSide = (m_ctx.orientation == 0) == personsSide;
    int& current = personsSide ? m_ctx.personId : m_ctx.projectId;
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
    UpdateMenus();
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
    const EntryList& legend = legendSide();
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
        (m_ctx.orientation == 0 ? m_ctx.projectId : m_ctx.personId) = paintId;
    }
    const bool annual = m_ctx.planningType == 0;
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
    if (annual) {
        AnnualGraphicPlanning->PaintId = paintId;
        AnnualGraphicPlanning->PaintPenColor = pen;
        AnnualGraphicPlanning->PaintBrushColor = brush;
        AnnualGraphicPlanning->PaintStyle = style;
    } else {
        MonthlyGraphicPlanning->PaintId = paintId;
        MonthlyGraphicPlanning->PaintPenColor = pen;
        MonthlyGraphicPlanning->PaintBrushColor = brush;
        MonthlyGraphicPlanning->PaintStyle = style;
    }
}

void TMainForm::LoadPlanning()
{
    if (m_ctx.dossierId == -1)
        return;
    try {
        planning::LoadPlanning(*AnnualGraphicPlanning, *MonthlyGraphicPlanning, m_dm.Query, m_ctx, m_persons.entries,
                               m_projects.entries, Grid_Object->RowCount(), Grid_Object->Row());
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
    Lab_Year->setText(QString::number(m_ctx.year));
    Lab_Month->setText(monthName(m_ctx.month));
}

void TMainForm::OpenDossierDisplay(int number, int planningMode, const QString& name)
{
    const core::Globals& g = core::globals();
    setTitleText(QStringLiteral(" ") + g.productName + QLatin1Char(' ') + g.version + QStringLiteral(" - ") + name);
    core::globals().currentDossier = number;
    m_ctx.dossierId = number;
    for (db::Dataset* q : {&m_dm.People, &m_dm.Project}) {
        q->Close();
        db::ReplaceWhereLine(q->SQL(), QStringLiteral("WHERE Id_File=%1").arg(number));
    }
    try {
        m_ctx.planningType =
            m_store.ReadInteger(number, QStringLiteral("PlanningType"), QStringLiteral("Integer"), 0) != 0 ? 1 : 0;
        m_ctx.showDayNumber =
            m_store.ReadBoolean(number, QStringLiteral("ShowDayNumber"), QStringLiteral("Logical"), false);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    m_ctx.orientation = planningMode == 0 ? 0 : 1;
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
    if (storePreferences && m_ctx.dossierId != -1) {
        try {
            m_store.WriteInteger(m_ctx.dossierId, QStringLiteral("PlanningType"), QStringLiteral("Integer"),
                                 m_ctx.planningType);
            m_store.WriteBoolean(m_ctx.dossierId, QStringLiteral("ShowDayNumber"), QStringLiteral("Logical"),
                                 m_ctx.showDayNumber);
        } catch (const db::DbError& e) {
            ui::showError(e.message(), this);
        }
    }
    core::globals().currentDossier = -1;
    m_ctx.dossierId = -1;
    m_ctx.personId = m_ctx.projectId = -1;
    m_persons.clear();
    m_projects.clear();
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
    const bool open = m_ctx.dossierId != -1;
    for (QToolButton* b : {m_menuPrint, m_menuHtml, m_menuParameters, m_menuDisplay})
        b->setEnabled(open);
    Btn_Report->setEnabled(false);  // printing and HTML come with their own commands
    Btn_Html->setEnabled(false);
    bool annualVisible = false, monthlyVisible = false;
    if (!open) {
        bool any = false;
        try {
            any = m_dossiers->HasDossiers();
        } catch (const db::DbError&) {
        }
        action(QStringLiteral("Popup_File_Open"))->setEnabled(any);
        action(QStringLiteral("Popup_File_Add"))->setEnabled(true);
        for (const char* n : {"Popup_File_Close", "Popup_File_Delete", "Popup_File_Edit"})
            action(QString::fromLatin1(n))->setEnabled(false);
        Grid_Object->setEnabled(false);
        Grid_Key->setEnabled(false);
        for (QWidget* w : {Pan_Year, Pan_Month, Pan_PlanningType, Pan_DaysNumbers, MenuBar_Sep2})
            w->hide();
        Lab_Planning->setText(QStringLiteral("Vous devez ouvrir ou créer un dossier"));
    } else {
        for (const char* n : {"Popup_File_Open", "Popup_File_Close", "Popup_File_Edit", "Popup_File_Delete"})
            action(QString::fromLatin1(n))->setEnabled(true);
        action(QStringLiteral("Popup_File_Add"))->setEnabled(false);
        Grid_Object->setEnabled(true);
        Grid_Key->setEnabled(true);
        for (QWidget* w : {Pan_PlanningType, Pan_DaysNumbers, MenuBar_Sep2, Pan_Year})
            w->show();
        action(QStringLiteral("Popup_Display_DaysNumbers"))->setChecked(m_ctx.showDayNumber);
        const bool annual = m_ctx.planningType == 0;
        Pan_Month->setVisible(!annual);
        action(QStringLiteral("Popup_Display_Annual"))->setChecked(annual);
        action(QStringLiteral("Popup_Display_Monthly"))->setChecked(!annual);
        annualVisible = annual;
        monthlyVisible = !annual;
        Pan_Object_Top->setVisible(!annual);
        Grid_Object->setScrollBarVisible(annual);
        const bool objectSelected = selectedObjectId() >= 0;
        const int legendIndex = selectedLegendIndex();
        const bool legendSelected = legendIndex >= 0 && EntryId(legendSide().entries, legendIndex) >= 0;
        const bool canEdit = static_cast<bool>(m_ctx.orientation == 0 ? m_dialogs.person : m_dialogs.project);
        const bool canEditLegend = static_cast<bool>(m_ctx.orientation == 0 ? m_dialogs.project : m_dialogs.person);
        action(QStringLiteral("Popup_Grid_Object_Add"))->setEnabled(canEdit);
        action(QStringLiteral("Popup_Grid_Object_Edit"))->setEnabled(objectSelected && canEdit);
        action(QStringLiteral("Popup_Grid_Object_Delete"))->setEnabled(objectSelected);
        action(QStringLiteral("Popup_Grid_Key_Add"))->setEnabled(canEditLegend);
        action(QStringLiteral("Popup_Grid_Key_Edit"))->setEnabled(legendSelected && canEditLegend);
        action(QStringLiteral("Popup_Grid_Key_Delete"))->setEnabled(legendSelected);
        const bool noPersons = m_persons.entries.isEmpty();
        const bool noProjects = m_projects.entries.isEmpty();
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

    Btn_DaysNumbers->setText(m_ctx.showDayNumber ? QStringLiteral("1·2") : QStringLiteral("·"));
    Btn_PlanningType->setText(m_ctx.planningType == 0 ? QStringLiteral("Année") : QStringLiteral("Mois"));
    const bool viewVisible = annualVisible || monthlyVisible;
    Btn_PlanningType->setEnabled(viewVisible);
    Btn_DaysNumbers->setEnabled(viewVisible);
    for (QWidget* w : m_navigation)
        w->setEnabled(viewVisible);
    for (const char* n : {"Popup_Display_Annual", "Popup_Display_Monthly", "Popup_Display_DaysNumbers"})
        action(QString::fromLatin1(n))->setEnabled(viewVisible);
    if (!viewVisible)
        MiddleBar->setText(QString());
}

void TMainForm::Btn_Year_DecClick()
{
    --m_ctx.year;
    showLabels();
    LoadPlanning();
}

void TMainForm::Btn_Year_IncClick()
{
    ++m_ctx.year;
    showLabels();
    LoadPlanning();
}

void TMainForm::Btn_Month_DecClick()
{
    if (--m_ctx.month < 1) {
        m_ctx.month = 12;
        Btn_Year_DecClick();
    }
    showLabels();
    LoadPlanning();
}

void TMainForm::Btn_Month_IncClick()
{
    if (++m_ctx.month > 12) {
        m_ctx.month = 1;
        Btn_Year_IncClick();
    }
    showLabels();
    LoadPlanning();
}

void TMainForm::Btn_PlanningTypeClick()
{
    m_ctx.planningType = 1 - m_ctx.planningType;
    RefreshPlanning();
}

void TMainForm::Popup_Display_AnnualClick()
{
    m_ctx.planningType = 0;
    RefreshPlanning();
}

void TMainForm::Popup_Display_MonthlyClick()
{
    m_ctx.planningType = 1;
    RefreshPlanning();
}

void TMainForm::Popup_Display_DaysNumbersClick()
{
    m_ctx.showDayNumber = !m_ctx.showDayNumber;
    RefreshPlanning();
}

void TMainForm::Grid_ObjectClick()
{
    if (Grid_Object->property("tag").toInt() <= 0)
        return;
    (m_ctx.orientation == 0 ? m_ctx.personId : m_ctx.projectId) = selectedObjectId();
    if (m_ctx.planningType == 0) {
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
        Grid_Object->setRow(MonthlyGraphicPlanning->Row());
        Grid_Object->setTopRow(MonthlyGraphicPlanning->TopRow());
    }
    m_syncing = false;
}

void TMainForm::MonthlyGraphicPlanningTopLeftChanged()
{
    MonthlyGraphicPlanningClick();
}

void TMainForm::AnnualGraphicPlanningAfterChange()
{
    planning::AnnualGraphicPlanningAfterChange(*AnnualGraphicPlanning, m_dm.Query, m_ctx);
}

void TMainForm::MonthlyGraphicPlanningAfterChange()
{
    planning::MonthlyGraphicPlanningAfterChange(*MonthlyGraphicPlanning, m_dm.Query, m_ctx, m_persons.entries,
                                                m_projects.entries);
}

void TMainForm::AnnualGraphicPlanningMouseMove()
{
    MiddleBar->setText(planning::MiddleBarCaption(AnnualGraphicPlanning->HoverDay, AnnualGraphicPlanning->HoverMonth,
                                                  AnnualGraphicPlanning->HoverHalf, AnnualGraphicPlanning->Year));
}

void TMainForm::MonthlyGraphicPlanningMouseMove()
{
    MiddleBar->setText(planning::MiddleBarCaption(MonthlyGraphicPlanning->HoverDay, MonthlyGraphicPlanning->Month,
                                                  MonthlyGraphicPlanning->HoverHalf, MonthlyGraphicPlanning->Year));
}

void TMainForm::editRecord(bool person, int id, bool isNew)
{
    const auto& dialog = person ? m_dialogs.person : m_dialogs.project;
    if (!dialog)
        return;
    db::Dataset& q = person ? m_dm.People : m_dm.Project;
    q.Open();
    if (isNew) {
        q.Insert();
    } else if (q.Locate(QStringLiteral("Id"), id)) {
        q.Edit();
    } else {
        q.Close();
        return;
    }
    if (dialog(q, isNew, this) == QDialog::Accepted) {
        // The edited or added record is selected.
        const int selected = q.FieldByName(QStringLiteral("Id")).AsInteger();
        person ? LoadPersonEntries(selected) : LoadProjectEntries(selected);
        LoadPlanning();
    }
    q.Close();
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
    m_ctx.orientation == 0 ? EditPerson(-1, true) : EditProject(-1, true);
    UpdateMenus();
}

void TMainForm::Popup_Grid_Object_EditClick()
{
    if (Grid_Object->property("tag").toInt() <= 0)
        return;
    m_ctx.orientation == 0 ? EditPerson(selectedObjectId(), false) : EditProject(selectedObjectId(), false);
}

void TMainForm::Popup_Grid_Key_AddClick()
{
    m_ctx.orientation == 0 ? EditProject(-1, true) : EditPerson(-1, true);
    UpdateMenus();
}

void TMainForm::Popup_Grid_Key_EditClick()
{
    if (Grid_Key->property("tag").toInt() <= 0)
        return;
    const int id = EntryId(legendSide().entries, selectedLegendIndex());
    m_ctx.orientation == 0 ? EditProject(id, false) : EditPerson(id, false);
    LoadPlanning();
    UpdateMenus();
}

void TMainForm::deleteRecord(bool person, int id)
{
    db::Dataset& q = person ? m_dm.People : m_dm.Project;
    try {
        q.Open();
        if (q.Locate(QStringLiteral("Id"), id)
            && ui::confirm(person ? QStringLiteral("Désirez-vous supprimer cette personne ?")
                                  : QStringLiteral("Désirez-vous supprimer ce projet ?"),
                           this)) {
            q.Delete();
            q.Close();
            person ? LoadPersonEntries(-1) : LoadProjectEntries(-1);
            LoadPlanning();
        }
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    q.Close();
    UpdateMenus();
}

void TMainForm::Popup_Grid_Object_DeleteClick()
{
    deleteRecord(m_ctx.orientation == 0, selectedObjectId());
}

void TMainForm::Popup_Grid_Key_DeleteClick()
{
    const int index = selectedLegendIndex();
    if (index < 0)
        return;
    deleteRecord(m_ctx.orientation != 0, EntryId(legendSide().entries, index));
}

void TMainForm::Popup_Help_DocClick()
{
    const QString help = core::globals().helpFile;
    if (QFile::exists(help))
        QDesktopServices::openUrl(QUrl::fromLocalFile(help));
    else
        ui::showMessage(core::LookupText(core::msg::CommonLib_String1), this);
}

void TMainForm::MenuItem13Click()
{
    QDesktopServices::openUrl(QUrl(core::LookupText(core::msg::Common_WebSite)));
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
