#include "dossiers/DossierDialogs.h"

#include "core/StringUtils.h"
#include "db/Dataset.h"
#include "db/DbError.h"
#include "ui/DialogButtons.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSizeGrip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace dossiers {

namespace {

// Where the orientation group stands in the dossier dialog's main panel.
constexpr int kOrientationTop = 195;
constexpr int kOrientationHeight = 60;

}  // namespace

TEnterFile::TEnterFile(db::Dataset& dossier, bool isNew, QWidget* parent) : QDialog(parent), m_dossier(dossier)
{
    setObjectName(QStringLiteral("EnterFile"));
    setProperty("centredOnScreen", true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    ui::AddTitleBar(this, outer, QStringLiteral("  Dossier"), ui::TitleBar::Close);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Pan_Main"));
    // The fields fill the top of the panel; below them the orientation group
    // has its fixed place, 70 pixels that make the window taller.
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    auto* fields = new QWidget(panel);
    fields->setFixedHeight(kOrientationTop - 4);
    column->addWidget(fields);
    column->addSpacing(kOrientationHeight + 10);
    column->addStretch();
    auto* form = new QFormLayout(fields);
    form->setContentsMargins(10, 6, 10, 0);
    Ed_File = new QLineEdit(panel);
    Ed_File->setObjectName(QStringLiteral("Ed_File"));
    Ed_File->setMaxLength(128);
    Ed_PassWord = new QLineEdit(panel);
    Ed_PassWord->setObjectName(QStringLiteral("Ed_PassWord"));
    Ed_PassWord->setMaxLength(128);
    Ed_Name = new QLineEdit(panel);
    Ed_Name->setObjectName(QStringLiteral("Ed_Name"));
    Ed_Name->setMaxLength(128);
    Memo_Observation = new QPlainTextEdit(panel);
    Memo_Observation->setObjectName(QStringLiteral("Memo_Observation"));
    form->addRow(QStringLiteral("Dossier"), Ed_File);
    form->addRow(QStringLiteral("Mot de passes"), Ed_PassWord);
    form->addRow(QStringLiteral("Propriétaire"), Ed_Name);
    form->addRow(QStringLiteral("Observations"), Memo_Observation);

    Group_Orientation = new QGroupBox(QStringLiteral("Objet <==> Légende"), panel);
    Group_Orientation->setObjectName(QStringLiteral("Group_Orientation"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(8);
    Group_Orientation->setFont(arial);
    Group_Orientation->setGeometry(10, kOrientationTop, 261, kOrientationHeight);
    auto* radios = new QVBoxLayout(Group_Orientation);
    radios->setContentsMargins(8, 2, 8, 2);
    radios->setSpacing(0);
    Radio_PersonsProjects = new QRadioButton(QStringLiteral("Personnes <==> Projets"), Group_Orientation);
    Radio_PersonsProjects->setObjectName(QStringLiteral("Radio_PersonsProjects"));
    Radio_ProjectsPersons = new QRadioButton(QStringLiteral("Projets <==> Personnes"), Group_Orientation);
    Radio_ProjectsPersons->setObjectName(QStringLiteral("Radio_ProjectsPersons"));
    radios->addWidget(Radio_PersonsProjects);
    radios->addWidget(Radio_ProjectsPersons);
    outer->addWidget(panel);

    ui::addOkCancelRow(this, outer, &Btn_Ok, &Btn_Cancel);

    Ed_File->setText(dossier.FieldByName(QStringLiteral("LoginName")).AsString());
    Ed_PassWord->setText(dossier.FieldByName(QStringLiteral("LoginPassword")).AsString());
    Ed_Name->setText(dossier.FieldByName(QStringLiteral("FullName")).AsString());
    Memo_Observation->setPlainText(dossier.FieldByName(QStringLiteral("Color")).AsString());
    const int mode = isNew ? 0 : dossier.FieldByName(QStringLiteral("PlanningMode")).AsInteger();
    (mode == 0 ? Radio_PersonsProjects : Radio_ProjectsPersons)->setChecked(true);
    Group_Orientation->setEnabled(isNew);
    Btn_Ok->setEnabled(!Ed_File->text().isEmpty());
    connect(Ed_File, &QLineEdit::textChanged, this, [this](const QString& t) { Btn_Ok->setEnabled(!t.isEmpty()); });
    connect(Btn_Ok, &QPushButton::clicked, this, &TEnterFile::Btn_OkClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TEnterFile::reject);
    Btn_Ok->setDefault(true);
    resize(420, 390);
    ui::SetUpWindow(this);
}

int TEnterFile::orientation() const
{
    return Radio_ProjectsPersons->isChecked() ? 1 : 0;
}

void TEnterFile::Btn_OkClick()
{
    if (Ed_File->text().isEmpty())
        return;
    try {
        if (!m_dossier.Editing())
            m_dossier.Edit();
        m_dossier.FieldByName(QStringLiteral("LoginName")).SetValue(Ed_File->text());
        m_dossier.FieldByName(QStringLiteral("LoginPassword")).SetValue(Ed_PassWord->text());
        m_dossier.FieldByName(QStringLiteral("FullName")).SetValue(Ed_Name->text());
        m_dossier.FieldByName(QStringLiteral("Color")).SetValue(Memo_Observation->toPlainText());
        m_dossier.Post();
    } catch (const db::DbError& e) {
        // The row stays in edit mode; the user may correct it or cancel.
        ui::showError(e.message(), this);
        return;
    }
    accept();
}

void TEnterFile::reject()
{
    if (m_dossier.Editing())
        m_dossier.Cancel();
    QDialog::reject();
}

TFileList::TFileList(db::Dataset& dossier, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FileList"));
    setProperty("centredOnScreen", true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    ui::AddTitleBar(this, outer, QStringLiteral("  Liste des dossiers"), ui::TitleBar::Close);
    Tree_Global = new QTreeWidget(this);
    Tree_Global->setObjectName(QStringLiteral("Tree_Global"));
    Tree_Global->setHeaderHidden(true);
    Tree_Global->setRootIsDecorated(false);
    outer->addWidget(Tree_Global);
    QHBoxLayout* row = ui::addOkCancelRow(this, outer, &Btn_Ok, &Btn_Cancel);
    auto* grip = new QSizeGrip(this);
    grip->setObjectName(QStringLiteral("RezisePad"));
    row->addWidget(grip, 0, Qt::AlignBottom | Qt::AlignRight);

    const bool wasOpen = dossier.IsOpen();
    if (!wasOpen)
        dossier.Open();
    dossier.First();
    QList<QPair<QString, int>> rows;
    while (!dossier.Eof()) {
        rows.append({dossier.FieldByName(QStringLiteral("LoginName")).AsString(),
                     dossier.FieldByName(QStringLiteral("ID")).AsInteger()});
        dossier.Next();
    }
    if (!wasOpen)
        dossier.Close();
    // Names in French order; dossiers of the same name stay in table order.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return core::lessFrench(a.first, b.first); });
    for (const auto& [name, id] : rows) {
        auto* item = new QTreeWidgetItem(Tree_Global, {name});
        item->setData(0, Qt::UserRole, id);
    }
    if (Tree_Global->topLevelItemCount() > 0)
        Tree_Global->setCurrentItem(Tree_Global->topLevelItem(0));
    auto sync = [this] { Btn_Ok->setEnabled(Tree_Global->currentItem() != nullptr); };
    sync();
    connect(Tree_Global, &QTreeWidget::currentItemChanged, this, sync);
    connect(Tree_Global, &QTreeWidget::itemDoubleClicked, this, [this] { Btn_OkClick(); });
    connect(Btn_Ok, &QPushButton::clicked, this, &TFileList::Btn_OkClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    // A new size applies only above 400 × 200.
    setMinimumSize(401, 201);
    resize(420, 320);
    ui::SetUpWindow(this);
}

void TFileList::Btn_OkClick()
{
    QTreeWidgetItem* item = Tree_Global->currentItem();
    if (!item)
        return;
    m_id = item->data(0, Qt::UserRole).toInt();
    m_name = item->text(0);
    accept();
}

TEnterPassWord::TEnterPassWord(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EnterPassWord"));
    setProperty("centredOnScreen", true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    ui::AddTitleBar(this, outer, QStringLiteral("  Identification"), ui::TitleBar::Close);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 6, 10, 6);
    body->addWidget(new QLabel(QStringLiteral("Saisssez le mot de passes"), this));
    Ed_PassWord = new QLineEdit(this);
    Ed_PassWord->setObjectName(QStringLiteral("Ed_PassWord"));
    Ed_PassWord->setEchoMode(QLineEdit::Password);
    // Each typed character shows as "*" whatever the platform's style uses.
    Ed_PassWord->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    Ed_PassWord->setMaxLength(255);
    body->addWidget(Ed_PassWord);
    outer->addLayout(body);
    ui::addOkCancelRow(this, outer, &Btn_Ok, &Btn_Cancel);
    Btn_Ok->setEnabled(false);
    Btn_Ok->setDefault(true);
    connect(Ed_PassWord, &QLineEdit::textChanged, this, [this](const QString& t) { Btn_Ok->setEnabled(!t.isEmpty()); });
    connect(Ed_PassWord, &QLineEdit::returnPressed, this, [this] {
        if (!Ed_PassWord->text().isEmpty())
            accept();
    });
    connect(Btn_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(280, 120);
    ui::SetUpWindow(this);
}

QString TEnterPassWord::password() const
{
    return Ed_PassWord->text();
}

bool AskDossierPassword(const QString& storedPassword, QWidget* parent)
{
    TEnterPassWord dialog(parent);
    if (ui::prompt().exec(&dialog) != QDialog::Accepted)
        return false;
    if (dialog.password() != storedPassword.left(255)) {
        ui::showInformation(QStringLiteral("Mot de passe incorrect !"), parent);
        return false;
    }
    return true;
}

}  // namespace dossiers
