#include "planning/THolidays.h"

#include "core/Clock.h"
#include "db/DbError.h"
#include "planning/HolidayStore.h"
#include "planning/PlanningPaint.h"
#include "planning/PlanningSession.h"
#include "ui/DialogButtons.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace planning {

namespace {

const QString kDateShown = QStringLiteral("dd/MM/yyyy");

// "lundi 1 avril 2024", in the program's French names.
QString LongDate(const QDate& d)
{
    return WeekdayName(d.dayOfWeek()).toLower() + QLatin1Char(' ') + QString::number(d.day()) + QLatin1Char(' ')
        + MonthName(d.month()).toLower() + QLatin1Char(' ') + QString::number(d.year());
}

QDateEdit* dateEdit(const QString& name, const QDate& date, QWidget* parent)
{
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(kDateShown);
    edit->setDateRange(QDate(kFirstHolidayYear, 1, 1), QDate(kLastHolidayYear, 12, 31));
    edit->setDate(date);
    return edit;
}

QTreeWidget* grid(const QString& name, const QStringList& headers, QWidget* parent)
{
    auto* g = new QTreeWidget(parent);
    g->setObjectName(name);
    g->setRootIsDecorated(false);
    g->setHeaderLabels(headers);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->header()->setStretchLastSection(true);
    return g;
}

}  // namespace

TClosedDay::TClosedDay(const ClosedDays& c, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ClosedDay"));
    auto* outer = ui::FramedLayout(this, QStringLiteral(" Fermeture"), ui::TitleBar::Close);
    auto* form = new QFormLayout;
    form->setContentsMargins(8, 8, 8, 8);
    const QDate first = c.first.isValid() ? c.first : core::today();
    Ed_First = dateEdit(QStringLiteral("Ed_First"), first, this);
    Ed_Last = dateEdit(QStringLiteral("Ed_Last"), c.last.isValid() ? c.last : first, this);
    Combo_Part = new QComboBox(this);
    Combo_Part->setObjectName(QStringLiteral("Combo_Part"));
    for (DayPart p : {DayPart::WholeDay, DayPart::Morning, DayPart::Afternoon})
        Combo_Part->addItem(DayPartText(p), static_cast<int>(p));
    Combo_Part->setCurrentIndex(Combo_Part->findData(static_cast<int>(c.part)));
    Ed_Label = new QLineEdit(c.label, this);
    Ed_Label->setObjectName(QStringLiteral("Ed_Label"));
    Ed_Label->setMaxLength(100);
    form->addRow(QStringLiteral("Du"), Ed_First);
    form->addRow(QStringLiteral("Au"), Ed_Last);
    form->addRow(QStringLiteral("Partie"), Combo_Part);
    form->addRow(QStringLiteral("Libellé"), Ed_Label);
    outer->addLayout(form);
    // A later first day carries the last one along, so a single day needs one pick.
    connect(Ed_First, &QDateEdit::dateChanged, this, [this](const QDate& d) {
        if (Ed_Last->date() < d)
            Ed_Last->setDate(d);
    });
    QPushButton* cancel;
    ui::addOkCancelRow(this, outer, &Btn_Ok, &cancel);
    connect(Btn_Ok, &QPushButton::clicked, this, [this] {
        const QString problem = ClosedDaysProblem(closure());
        if (problem.isEmpty())
            accept();
        else
            ui::showWarning(problem, this);
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(320, 190);
    ui::SetUpWindow(this);
}

ClosedDays TClosedDay::closure() const
{
    ClosedDays c;
    c.first = Ed_First->date();
    c.last = Ed_Last->date();
    c.part = static_cast<DayPart>(Combo_Part->currentData().toInt());
    c.label = Ed_Label->text().trimmed();
    return c;
}

THolidays::THolidays(const HolidaySettings& settings, int year, QWidget* parent) : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("Holidays"));
    auto* outer = ui::FramedLayout(this, QStringLiteral(" Jours fériés et fermetures"), ui::TitleBar::Close);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 8, 8, 8);
    outer->addLayout(body, 1);

    auto* yearRow = new QHBoxLayout;
    auto* yearLabel = new QLabel(QStringLiteral("Jours fériés de l'année"), this);
    Ed_Year = new QSpinBox(this);
    Ed_Year->setObjectName(QStringLiteral("Ed_Year"));
    Ed_Year->setRange(kFirstHolidayYear, kLastHolidayYear);
    Ed_Year->setValue(qBound(kFirstHolidayYear, year, kLastHolidayYear));
    yearRow->addWidget(yearLabel);
    yearRow->addWidget(Ed_Year);
    yearRow->addStretch();
    body->addLayout(yearRow);

    Grid_Holidays = grid(QStringLiteral("Grid_Holidays"), {QStringLiteral("Jour férié"), QStringLiteral("Date")}, this);
    body->addWidget(Grid_Holidays, 3);
    Check_AlsaceMoselle =
        new QCheckBox(QStringLiteral("Alsace-Moselle (Vendredi saint et Saint-Étienne, 26 décembre)"), this);
    Check_AlsaceMoselle->setObjectName(QStringLiteral("Check_AlsaceMoselle"));
    Check_AlsaceMoselle->setChecked(m_settings.alsaceMoselle);
    body->addWidget(Check_AlsaceMoselle);

    body->addWidget(new QLabel(QStringLiteral("Fermetures du dossier"), this));
    Grid_Closures =
        grid(QStringLiteral("Grid_Closures"),
             {QStringLiteral("Du"), QStringLiteral("Au"), QStringLiteral("Partie"), QStringLiteral("Libellé")}, this);
    body->addWidget(Grid_Closures, 2);
    auto* buttons = new QHBoxLayout;
    Btn_Add = new QPushButton(QStringLiteral("&Ajouter"), this);
    Btn_Add->setObjectName(QStringLiteral("Btn_Add"));
    Btn_Edit = new QPushButton(QStringLiteral("&Modifier"), this);
    Btn_Edit->setObjectName(QStringLiteral("Btn_Edit"));
    Btn_Delete = new QPushButton(QStringLiteral("&Supprimer"), this);
    Btn_Delete->setObjectName(QStringLiteral("Btn_Delete"));
    for (QPushButton* b : {Btn_Add, Btn_Edit, Btn_Delete})
        buttons->addWidget(b);
    buttons->addStretch();
    body->addLayout(buttons);

    Check_ShowInPlanning =
        new QCheckBox(QStringLiteral("Montrer les jours fériés et fermetures dans le planning"), this);
    Check_ShowInPlanning->setObjectName(QStringLiteral("Check_ShowInPlanning"));
    Check_ShowInPlanning->setChecked(m_settings.showInPlanning);
    body->addWidget(Check_ShowInPlanning);

    QPushButton *ok, *cancel;
    ui::addOkCancelRow(this, outer, &ok, &cancel);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    connect(Ed_Year, &QSpinBox::valueChanged, this, [this] { fillHolidays(); });
    connect(Check_AlsaceMoselle, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.alsaceMoselle = on;
        fillHolidays();
    });
    connect(Grid_Holidays, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (!m_filling)
            m_settings.setOn(static_cast<Holiday>(item->data(0, Qt::UserRole).toInt()),
                             item->checkState(0) == Qt::Checked);
    });
    connect(Check_ShowInPlanning, &QCheckBox::toggled, this, [this](bool on) { m_settings.showInPlanning = on; });
    connect(Btn_Add, &QPushButton::clicked, this, &THolidays::Btn_AddClick);
    connect(Btn_Edit, &QPushButton::clicked, this, &THolidays::Btn_EditClick);
    connect(Btn_Delete, &QPushButton::clicked, this, &THolidays::Btn_DeleteClick);
    connect(Grid_Closures, &QTreeWidget::itemDoubleClicked, this, [this] { Btn_EditClick(); });
    connect(Grid_Closures, &QTreeWidget::currentItemChanged, this, [this] {
        const bool any = Grid_Closures->currentItem() != nullptr;
        Btn_Edit->setEnabled(any);
        Btn_Delete->setEnabled(any);
    });

    fillHolidays();
    fillClosures(-1);
    resize(460, 560);
    ui::SetUpWindow(this);
}

void THolidays::fillHolidays()
{
    m_filling = true;
    Grid_Holidays->clear();
    for (const PublicHoliday& h : PublicHolidaysOf(Ed_Year->value(), m_settings.alsaceMoselle)) {
        auto* item = new QTreeWidgetItem(Grid_Holidays, {HolidayName(h.which), LongDate(h.date)});
        item->setData(0, Qt::UserRole, static_cast<int>(h.which));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, m_settings.isOn(h.which) ? Qt::Checked : Qt::Unchecked);
    }
    Grid_Holidays->resizeColumnToContents(0);
    m_filling = false;
}

void THolidays::fillClosures(int select)
{
    Grid_Closures->clear();
    for (const ClosedDays& c : m_settings.closures)
        new QTreeWidgetItem(Grid_Closures,
                            {c.first.toString(kDateShown), c.last.toString(kDateShown), DayPartText(c.part), c.label});
    for (int i = 0; i < 3; ++i)
        Grid_Closures->resizeColumnToContents(i);
    if (select >= 0 && select < Grid_Closures->topLevelItemCount())
        Grid_Closures->setCurrentItem(Grid_Closures->topLevelItem(select));
    const bool any = Grid_Closures->currentItem() != nullptr;
    Btn_Edit->setEnabled(any);
    Btn_Delete->setEnabled(any);
}

void THolidays::Btn_AddClick()
{
    ClosedDays fresh;
    fresh.first = fresh.last = QDate(Ed_Year->value(), 1, 1);
    if (core::today().year() == Ed_Year->value())
        fresh.first = fresh.last = core::today();
    TClosedDay editor(fresh, this);
    if (ui::prompt().exec(&editor) != QDialog::Accepted)
        return;
    m_settings.closures.push_back(editor.closure());
    fillClosures(static_cast<int>(m_settings.closures.size()) - 1);
}

void THolidays::Btn_EditClick()
{
    const int i = Grid_Closures->indexOfTopLevelItem(Grid_Closures->currentItem());
    if (i < 0 || i >= static_cast<int>(m_settings.closures.size()))
        return;
    TClosedDay editor(m_settings.closures[i], this);
    if (ui::prompt().exec(&editor) != QDialog::Accepted)
        return;
    m_settings.closures[i] = editor.closure();
    fillClosures(i);
}

void THolidays::Btn_DeleteClick()
{
    const int i = Grid_Closures->indexOfTopLevelItem(Grid_Closures->currentItem());
    if (i < 0 || i >= static_cast<int>(m_settings.closures.size()))
        return;
    m_settings.closures.erase(m_settings.closures.begin() + i);
    fillClosures(qMin(i, static_cast<int>(m_settings.closures.size()) - 1));
}

bool EditDossierHolidays(db::TDataModuleObject& store, PlanningSession& session, QWidget* parent)
{
    if (session.ctx.dossierId == -1)
        return false;
    THolidays window(session.holidays, session.ctx.year, parent);
    if (ui::prompt().exec(&window) != QDialog::Accepted || window.settings() == session.holidays)
        return false;
    try {
        WriteHolidaySettings(store, session.ctx.dossierId, window.settings());
    } catch (const db::DbError& e) {
        ui::showError(QStringLiteral("Les jours fériés et fermetures n'ont pas pu être enregistrés.\r\r") + e.message(),
                      parent);
        return false;
    }
    session.holidays = window.settings();
    return true;
}

}  // namespace planning
