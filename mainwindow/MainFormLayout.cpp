#include "mainwindow/TMainForm.h"

#include "planning/PlanningModel.h"
#include "planning/PlanningUndo.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "records/TEnterProperties.h"
#include "ui/TDrawGrid.h"
#include "ui/TMiniCalendar.h"
#include "ui/TPopupMenuMod.h"
#include "ui/WindowFrame.h"

#include <QAction>
#include <QCursor>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

// The main window's controls, menus and the wiring of their notifications.
namespace mainwindow {

namespace {

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

}  // namespace

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
    // Both captions in one small font that fits "Imprimer" into the bar.
    Btn_Report = smallButton(QStringLiteral("Imprimer"), QStringLiteral("Btn_Report"), QString(), barreLeft);
    QFont barFont = Btn_Report->font();
    barFont.setPointSize(7);
    Btn_Report->setFont(barFont);
    Btn_Report->setGeometry(2, 84, 46, 40);
    connect(Btn_Report, &QToolButton::clicked, this, &TMainForm::Btn_ReportClick);
    Btn_Html = smallButton(QStringLiteral("Html"), QStringLiteral("Btn_Html"), QString(), barreLeft);
    Btn_Html->setFont(barFont);
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
    // The pop-up took the mouse, so no leave event reaches the button: it
    // would stay drawn raised after its menu closes.
    connect(menu, &QMenu::aboutToHide, b, [b] {
        QTimer::singleShot(0, b, [b] {
            if (!b->rect().contains(b->mapFromGlobal(QCursor::pos()))) {
                b->setAttribute(Qt::WA_UnderMouse, false);
                b->update();
            }
        });
    });
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
    addItem(file, QStringLiteral("&Propriétés"), QStringLiteral("Popup_File_Properties"),
            [this] { records::Popup_File_PropertiesClick(this); });
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
    addItem(parameters, QStringLiteral("&Personnes"), QStringLiteral("Popup_Parameters_People"),
            [this] { Popup_Parameters_PeopleClick(); });
    addItem(parameters, QStringLiteral("&Projets"), QStringLiteral("Popup_Parameters_Project"),
            [this] { Popup_Parameters_ProjectClick(); });
    m_menuParameters = menuButton(QStringLiteral("&Paramètrage"), QStringLiteral("ToolButton_Parameters"), parameters);

    Popup_Report = makeMenu(QStringLiteral("Popup_Report"));
    addItem(Popup_Report, QStringLiteral("&Planning"), QStringLiteral("Popup_Report_Planning"),
            [this] { Popup_Report_PlanningClick(); });
    Popup_Report->addSeparator();
    addItem(Popup_Report, QStringLiteral("Liste des p&ersonnes"), QStringLiteral("Popup_Report_List_People"),
            [this] { Popup_Report_List_PeopleClick(); });
    addItem(Popup_Report, QStringLiteral("Liste des p&rojets"), QStringLiteral("Popup_Report_List_Project"),
            [this] { Popup_Report_List_ProjectClick(); });
    m_menuPrint = menuButton(QStringLiteral("&Impression"), QStringLiteral("Menu_Report"), Popup_Report);

    Popup_Html = makeMenu(QStringLiteral("Popup_Html"));
    addItem(Popup_Html, QStringLiteral("&Planning"), QStringLiteral("Popup_Html_Planning"),
            [this] { m_html->Popup_Html_PlanningClick(); });
    Popup_Html->addSeparator();
    addItem(Popup_Html, QStringLiteral("Liste des p&ersonnes"), QStringLiteral("Popup_Html_List_People"),
            [this] { m_html->Popup_Html_List_PeopleClick(); });
    addItem(Popup_Html, QStringLiteral("Liste des p&rojets"), QStringLiteral("Popup_Html_List_Project"),
            [this] { m_html->Popup_Html_List_ProjectClick(); });
    m_menuHtml = menuButton(QStringLiteral("&Html"), QStringLiteral("Menu_Html"), Popup_Html);
    connect(Btn_Html, &QToolButton::clicked, this, &TMainForm::Btn_HtmlClick);

    auto* tools = makeMenu(QStringLiteral("Popup_Tools"));
    auto* database = new ui::TPopupMenuMod(tools);
    database->setObjectName(QStringLiteral("Popup_Tools_DataBase"));
    database->setTitle(QStringLiteral("&Base de données"));
    addItem(database, QStringLiteral("&Sauvegarde"), QStringLiteral("Popup_Tools_DataBase_Backup"),
            [this] { m_maintenance->Popup_Tools_DataBase_BackupClick(); });
    addItem(database, QStringLiteral("&Restauration"), QStringLiteral("Popup_Tools_DataBase_restore"),
            [this] { m_maintenance->Popup_Tools_DataBase_restoreClick(); });
    addItem(database, QStringLiteral("&Historique"), QStringLiteral("Popup_Tools_DataBase_History"),
            [this] { m_maintenance->Popup_Tools_DataBase_HistoryClick(); });
    database->addSeparator();
    addItem(database, QStringLiteral("&Compacter/Réparer"), QStringLiteral("Popup_Tools_DataBase_Compact"),
            [this] { m_maintenance->Popup_Tools_DataBase_CompactClick(); });
    tools->addMenu(database);
    tools->addSeparator();
    QAction* undo = addItem(tools, QStringLiteral("&Annuler"), QStringLiteral("Popup_Tools_Undo"),
                            [this] { Popup_Tools_UndoClick(); });
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo = addItem(tools, QStringLiteral("&Rétablir"), QStringLiteral("Popup_Tools_Redo"),
                            [this] { Popup_Tools_RedoClick(); });
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // On the window too, so that the keys work wherever the focus is in it.
    addActions({undo, redo});
    buildPatternItems(tools);
    addItem(tools, QStringLiteral("&Jours fériés et fermetures…"), QStringLiteral("Popup_Tools_Holidays"),
            [this] { Popup_Tools_HolidaysClick(); });
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
    // The grid menus carry the pictures of their commands in the image column.
    for (ui::TPopupMenuMod* grid : {Popup_Grid_Object, Popup_Grid_Key}) {
        grid->HasImages = true;
        const QList<QAction*> items = grid->actions();
        for (int i = 0; i < items.size(); ++i)
            items.at(i)->setIcon(QIcon(QPixmap::fromImage(GridCommandPicture(i))));
    }
}

void TMainForm::connectSignals()
{
    Grid_Object->OnDrawCell = [this](QPainter& p, int, int r, const QRect& cell) {
        const planning::EntryList& list = m_session.objectSide();
        if (Grid_Object->property("tag").toInt() == 0 || r >= list.entries.size())
            return;
        DrawObjectRow(p, cell, Grid_Object->ClientWidth(), r == Grid_Object->Row(), kGridBackground, list.entries.at(r),
                      list.thumbnails.at(static_cast<size_t>(r)));
    };
    Grid_Key->OnDrawCell = [this](QPainter& p, int c, int r, const QRect& cell) {
        const planning::EntryList& list = m_session.legendSide();
        const int i = c + 3 * r;
        if (i >= Grid_Key->property("tag").toInt() || i >= list.entries.size())
            return;
        DrawLegendItem(p, cell, c == Grid_Key->Col() && r == Grid_Key->Row(), kGridBackground, list.entries.at(i));
    };
    connect(Grid_Object, &ui::TDrawGrid::Click, this, &TMainForm::Grid_ObjectClick);
    connect(Grid_Object, &ui::TDrawGrid::DblClick, this, &TMainForm::Grid_ObjectDblClick);
    connect(Grid_Object, &ui::TDrawGrid::KeyUp, this, [this](int key) {
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown)
            Grid_ObjectClick();
    });
    connect(Grid_Object, &ui::TDrawGrid::TopLeftChanged, this, [this] {
        if (m_session.ctx.planningType == 1 && !m_syncing) {
            m_syncing = true;
            MonthlyGraphicPlanning->setTopRow(Grid_Object->TopRow());
            m_syncing = false;
        }
    });
    connect(Grid_Object, &ui::TDrawGrid::ContextMenu, Popup_Grid_Object,
            [this](const QPoint& pos) { Popup_Grid_Object->popup(pos); });
    connect(Grid_Key, &ui::TDrawGrid::Click, this, &TMainForm::Grid_KeyClick);
    connect(Grid_Key, &ui::TDrawGrid::KeyUp, this, &TMainForm::Grid_KeyClick);
    connect(Grid_Key, &ui::TDrawGrid::DblClick, this, &TMainForm::Grid_KeyDblClick);
    connect(Grid_Key, &ui::TDrawGrid::ContextMenu, Popup_Grid_Key,
            [this](const QPoint& pos) { Popup_Grid_Key->popup(pos); });
    connect(AnnualGraphicPlanning, &planning::TAnnualGraphicPlanning::AfterChange, this,
            &TMainForm::AnnualGraphicPlanningAfterChange);
    connect(AnnualGraphicPlanning, &planning::TAnnualGraphicPlanning::MouseMove, this,
            &TMainForm::AnnualGraphicPlanningMouseMove);
    connect(MonthlyGraphicPlanning, &planning::TMonthlyGraphicPlanning::AfterChange, this,
            &TMainForm::MonthlyGraphicPlanningAfterChange);
    connect(MonthlyGraphicPlanning, &planning::TMonthlyGraphicPlanning::MouseMove, this,
            &TMainForm::MonthlyGraphicPlanningMouseMove);
    connect(MonthlyGraphicPlanning, &planning::TMonthlyGraphicPlanning::Click, this,
            &TMainForm::MonthlyGraphicPlanningClick);
    connect(MonthlyGraphicPlanning, &planning::TMonthlyGraphicPlanning::TopLeftChanged, this,
            &TMainForm::MonthlyGraphicPlanningTopLeftChanged);
    connect(AnnualGraphicPlanning, &planning::TAnnualGraphicPlanning::PaintPicked, this,
            [this](QObject*, int id) { pickLegendItem(id); });
    connect(MonthlyGraphicPlanning, &planning::TMonthlyGraphicPlanning::PaintPicked, this,
            [this](QObject*, int id) { pickLegendItem(id); });
    QUndoStack* steps = &m_undo->stack();
    for (auto signal : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged})
        connect(steps, signal, this, [this] { updateUndoItems(); });
    for (auto signal : {&QUndoStack::undoTextChanged, &QUndoStack::redoTextChanged})
        connect(steps, signal, this, [this] { updateUndoItems(); });
    connect(steps, &QUndoStack::indexChanged, this, [this] { updateUndoItems(); });
    connectPatternSignals();
}

}  // namespace mainwindow
