#include "records/TEnterProperties.h"

#include "core/Globals.h"
#include "images/Scanner.h"
#include "records/ComboLists.h"
#include "records/EditControls.h"
#include "ui/DialogButtons.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace records {

TEnterProperties::TEnterProperties(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EnterProperties"));
    const QString title = QStringLiteral("  Propriétés");
    auto* outer = ui::FramedLayout(this, title, ui::TitleBar::Close);
    auto* group = new QGroupBox(QStringLiteral(" Paramètrage du scanner"), this);
    group->setObjectName(QStringLiteral("GroupBox_Scan"));
    auto* grid = new QGridLayout(group);
    // Four rows in a 200-pixel window, title bar and buttons included.
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setVerticalSpacing(2);
    int row = 0;
    grid->addWidget(new QLabel(QStringLiteral("Source TWAIN"), group), row, 0);
    Ed_TwainSource = new QLineEdit(group);
    Ed_TwainSource->setObjectName(QStringLiteral("Ed_TwainSource"));
    Ed_TwainSource->setMaxLength(255);
    Ed_TwainSource->installEventFilter(this);
    grid->addWidget(Ed_TwainSource, row, 1);
    Btn_Source = new QPushButton(QStringLiteral("..."), group);
    Btn_Source->setObjectName(QStringLiteral("Btn_Source"));
    Btn_Source->setFixedWidth(24);
    grid->addWidget(Btn_Source, row++, 2);
    Check_ShowTwainUI = new QCheckBox(QStringLiteral("Afficher la fenêtre du pilote"), group);
    Check_ShowTwainUI->setObjectName(QStringLiteral("Check_ShowTwainUI"));
    grid->addWidget(Check_ShowTwainUI, row++, 1, 1, 2);
    auto number = [&](const QString& label, const QString& name) {
        grid->addWidget(new QLabel(label, group), row, 0);
        auto* e = new TumNumberEdit(group);
        e->setObjectName(name);
        e->setMaxLength(4);
        e->setMaxValue(5000);
        grid->addWidget(e, row++, 1);
        return e;
    };
    Ed_ScanMaxWidth = number(QStringLiteral("Largeur maximale (pixel)"), QStringLiteral("Ed_ScanMaxWidth"));
    Ed_ScanJpegQuality = number(QStringLiteral("Taux de compression Jpeg"), QStringLiteral("Ed_ScanJpegQuality"));
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 4, 8, 0);
    body->addWidget(group);
    outer->addLayout(body, 1);
    QPushButton* ok;
    QPushButton* cancel;
    ui::addOkCancelRow(this, outer, &ok, &cancel);
    connect(ok, &QPushButton::clicked, this, &TEnterProperties::Btn_OkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Btn_Source, &QPushButton::clicked, this, &TEnterProperties::Btn_SourceClick);
    m_probeTimer = new QTimer(this);
    m_probeTimer->setInterval(50);
    connect(m_probeTimer, &QTimer::timeout, this, &TEnterProperties::probeAnswered);
    resize(450, 200);
    ui::SetUpWindow(this);
}

void TEnterProperties::setValues(const core::Settings& settings)
{
    Ed_TwainSource->setText(settings.twainSource);
    Check_ShowTwainUI->setChecked(settings.showTwainUI);
    Ed_ScanMaxWidth->setValue(settings.maxWidth);
    Ed_ScanJpegQuality->setValue(settings.jpegQuality);
}

void TEnterProperties::values(core::Settings& settings) const
{
    settings.twainSource = Ed_TwainSource->text();
    settings.showTwainUI = Check_ShowTwainUI->isChecked();
    settings.maxWidth = Ed_ScanMaxWidth->Value();
    settings.jpegQuality = Ed_ScanJpegQuality->Value();
}

void TEnterProperties::Btn_SourceClick()
{
    if (m_probe)
        return;  // already listing
    // SANE may take seconds to probe network backends: the dialog goes on
    // meanwhile and the picker opens when the list is known.
    m_probe = images::SourceProbe::start();
    Btn_Source->setEnabled(false);
    Ed_TwainSource->setCursor(Qt::BusyCursor);
    m_probeTimer->start();
}

void TEnterProperties::probeAnswered()
{
    if (!m_probe || !m_probe->ready())
        return;
    m_probeTimer->stop();
    const QStringList sources = m_probe->sources();
    m_probe.reset();
    Btn_Source->setEnabled(true);
    Ed_TwainSource->unsetCursor();
    ShowItemPicker(Ed_TwainSource, false, sources, nullptr, nullptr, nullptr, QString());
}

void TEnterProperties::Btn_OkClick()
{
    if (Ed_ScanMaxWidth->Value() < 500)
        Ed_ScanMaxWidth->setValue(500);
    if (Ed_ScanJpegQuality->Value() < 10)
        Ed_ScanJpegQuality->setValue(10);
    accept();
}

bool TEnterProperties::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Ed_TwainSource && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Btn_SourceClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Popup_File_PropertiesClick(QWidget* parent)
{
    TEnterProperties dialog(parent);
    core::Settings& settings = core::globals().settings;
    dialog.setValues(settings);
    if (ui::prompt().exec(&dialog) != QDialog::Accepted)
        return;
    dialog.values(settings);
    if (!core::SaveSettings())
        ui::showError(QStringLiteral("Les paramètres n'ont pas pu être enregistrés."), parent);
}

}  // namespace records
