#include "mainwindow/TRepeatDialog.h"

#include "ui/DialogButtons.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace mainwindow {

TRepeatDialog::TRepeatDialog(const QDate& selectionEnd, QWidget* parent) : QDialog(parent), m_selectionEnd(selectionEnd)
{
    setObjectName(QStringLiteral("RepeatDialog"));
    auto* outer = ui::FramedLayout(this, QStringLiteral("  Répéter la sélection"), ui::TitleBar::Close);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 4, 8, 0);
    outer->addLayout(body, 1);

    auto* period = new QGroupBox(QStringLiteral(" Périodicité"), this);
    auto* periodLayout = new QVBoxLayout(period);
    Radio_Week = new QRadioButton(QStringLiteral("Chaque &semaine"), period);
    Radio_Week->setObjectName(QStringLiteral("Radio_Week"));
    Radio_TwoWeeks = new QRadioButton(QStringLiteral("Toutes les &deux semaines"), period);
    Radio_TwoWeeks->setObjectName(QStringLiteral("Radio_TwoWeeks"));
    Radio_Month = new QRadioButton(QStringLiteral("Chaque &mois"), period);
    Radio_Month->setObjectName(QStringLiteral("Radio_Month"));
    for (QRadioButton* r : {Radio_Week, Radio_TwoWeeks, Radio_Month})
        periodLayout->addWidget(r);
    Radio_Week->setChecked(true);
    body->addWidget(period);

    auto* end = new QGroupBox(QStringLiteral(" Fin"), this);
    auto* endLayout = new QGridLayout(end);
    auto* endGroup = new QButtonGroup(this);
    Radio_Until = new QRadioButton(QStringLiteral("&Jusqu'au"), end);
    Radio_Until->setObjectName(QStringLiteral("Radio_Until"));
    Radio_Times = new QRadioButton(QStringLiteral("&Nombre de fois"), end);
    Radio_Times->setObjectName(QStringLiteral("Radio_Times"));
    endGroup->addButton(Radio_Until);
    endGroup->addButton(Radio_Times);
    Ed_Until = new QDateEdit(end);
    Ed_Until->setObjectName(QStringLiteral("Ed_Until"));
    Ed_Until->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    Ed_Until->setCalendarPopup(true);
    Ed_Until->setDate(selectionEnd.isValid() ? selectionEnd.addMonths(1) : QDate::currentDate());
    Ed_Times = new QSpinBox(end);
    Ed_Times->setObjectName(QStringLiteral("Ed_Times"));
    Ed_Times->setRange(1, 520);
    Ed_Times->setValue(4);
    endLayout->addWidget(Radio_Until, 0, 0);
    endLayout->addWidget(Ed_Until, 0, 1);
    endLayout->addWidget(Radio_Times, 1, 0);
    endLayout->addWidget(Ed_Times, 1, 1);
    Radio_Until->setChecked(true);
    connect(Radio_Until, &QRadioButton::toggled, this, [this](bool on) {
        Ed_Until->setEnabled(on);
        Ed_Times->setEnabled(!on);
    });
    Ed_Times->setEnabled(false);
    body->addWidget(end);

    Check_SkipNonWorking = new QCheckBox(QStringLiteral("Sauter les jours &fériés et les demi-journées fermées"), this);
    Check_SkipNonWorking->setObjectName(QStringLiteral("Check_SkipNonWorking"));
    body->addWidget(Check_SkipNonWorking);

    QPushButton* ok;
    QPushButton* cancel;
    ui::addOkCancelRow(this, outer, &ok, &cancel);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TRepeatDialog::Btn_OkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(360, 300);
    ui::SetUpWindow(this);
}

planning::RepeatRule TRepeatDialog::rule() const
{
    planning::RepeatRule r;
    r.period = Radio_Month->isChecked() ? planning::RepeatPeriod::Month
        : Radio_TwoWeeks->isChecked()   ? planning::RepeatPeriod::TwoWeeks
                                        : planning::RepeatPeriod::Week;
    if (Radio_Until->isChecked())
        r.until = Ed_Until->date();
    r.times = Ed_Times->value();
    r.skipNonWorking = Check_SkipNonWorking->isChecked();
    return r;
}

void TRepeatDialog::setRule(const planning::RepeatRule& r)
{
    Radio_Week->setChecked(r.period == planning::RepeatPeriod::Week);
    Radio_TwoWeeks->setChecked(r.period == planning::RepeatPeriod::TwoWeeks);
    Radio_Month->setChecked(r.period == planning::RepeatPeriod::Month);
    if (r.until) {
        Radio_Until->setChecked(true);
        Ed_Until->setDate(*r.until);
    } else {
        Radio_Times->setChecked(true);
    }
    Ed_Times->setValue(r.times);
    Check_SkipNonWorking->setChecked(r.skipNonWorking);
}

void TRepeatDialog::Btn_OkClick()
{
    if (Radio_Until->isChecked() && m_selectionEnd.isValid() && Ed_Until->date() <= m_selectionEnd) {
        ui::showWarning(QStringLiteral("La date de fin doit suivre le dernier jour de la sélection (")
                            + m_selectionEnd.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(")."),
                        this);
        return;
    }
    accept();
}

}  // namespace mainwindow
