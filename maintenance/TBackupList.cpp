#include "maintenance/TBackupList.h"

#include "core/ColorRef.h"
#include "core/MessageCatalog.h"
#include "db/DbError.h"
#include "db/TDataModule1.h"
#include "ui/HourglassCursor.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace maintenance {

namespace {

constexpr quint32 kFixedColor = 14211288;
constexpr quint32 kSelectionColor = 12937777;

struct Column {
    const char* field;
    const char* label;
    int characters;  // display width
};

const Column kColumns[] = {
    {"DateSav", "Date", 10},
    {"TimeSav", "Heure", 10},
    {"Description", "Description", 30},
    {"Path", "Fichier de sauvegarde", 128},
};

QColor fromColorRef(quint32 colorRef)
{
    return QColor::fromRgb(core::RgbFromColorRef(colorRef));
}

}  // namespace

TBackupList::TBackupList(db::TDataModule1& dataModule, QWidget* parent) : QDialog(parent), m_dm(dataModule)
{
    setObjectName(QStringLiteral("BackupList"));
    setProperty("centredOnScreen", true);
    auto* outer = ui::FramedLayout(this, QStringLiteral("  Historique des sauvegardes"),
                                   ui::TitleBar::Close | ui::TitleBar::CloseAsExit);
    outer->setSpacing(0);

    BFSDBGridColor2 = new QTableWidget(this);
    BFSDBGridColor2->setObjectName(QStringLiteral("BFSDBGridColor2"));
    BFSDBGridColor2->setColumnCount(static_cast<int>(std::size(kColumns)));
    BFSDBGridColor2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    BFSDBGridColor2->setSelectionBehavior(QAbstractItemView::SelectRows);
    BFSDBGridColor2->setSelectionMode(QAbstractItemView::SingleSelection);
    BFSDBGridColor2->verticalHeader()->hide();
    BFSDBGridColor2->setShowGrid(true);
    const QFontMetrics fm(BFSDBGridColor2->font());
    QStringList labels;
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        labels << QString::fromUtf8(kColumns[c].label);
        BFSDBGridColor2->setColumnWidth(c, kColumns[c].characters * fm.horizontalAdvance(QLatin1Char('0')) + 6);
    }
    BFSDBGridColor2->setHorizontalHeaderLabels(labels);
    BFSDBGridColor2->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; } QTableWidget { selection-background-color: "
                       "%2; }")
            .arg(fromColorRef(kFixedColor).name(), fromColorRef(kSelectionColor).name()));
    outer->addWidget(BFSDBGridColor2, 1);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("Pan_Bottom"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 6, 8, 6);
    Btn_Delete = new QPushButton(QStringLiteral("Purger l'historique"), bar);
    Btn_Delete->setObjectName(QStringLiteral("Btn_Delete"));
    Btn_Close = new QPushButton(QStringLiteral(" &Fermer"), bar);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    row->addWidget(Btn_Delete);
    row->addStretch(1);
    row->addWidget(Btn_Close);
    outer->addWidget(bar);

    connect(Btn_Delete, &QPushButton::clicked, this, &TBackupList::Btn_DeleteClick);
    connect(Btn_Close, &QPushButton::clicked, this, &TBackupList::Btn_CloseClick);
    resize(kClientWidth, kClientHeight);
    ui::SetUpWindow(this);
    FormCreate();
}

void TBackupList::FormCreate()
{
    try {
        loadRows();
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
    Btn_Delete->setEnabled(BFSDBGridColor2->rowCount() > 0);
}

void TBackupList::loadRows()
{
    db::Dataset& q = m_dm.Backup;
    q.DisableControls();
    q.Close();
    q.Open();
    BFSDBGridColor2->setRowCount(0);
    for (q.First(); !q.Eof(); q.Next()) {
        const int r = BFSDBGridColor2->rowCount();
        BFSDBGridColor2->insertRow(r);
        for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
            BFSDBGridColor2->setItem(
                r, c, new QTableWidgetItem(q.FieldByName(QString::fromLatin1(kColumns[c].field)).AsString()));
        }
    }
    q.EnableControls();
}

void TBackupList::Btn_DeleteClick()
{
    if (!ui::confirm(core::LookupText(core::msg::BackupList_Message1), this))
        return;
    try {
        ui::HourglassCursor hourglass;
        db::Dataset& q = m_dm.Query;
        q.Close();
        q.SQL().clear();
        q.SQL().append(QStringLiteral("DELETE FROM Backup"));
        q.ExecSQL();
        loadRows();
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
    }
}

void TBackupList::closeEvent(QCloseEvent* e)
{
    m_dm.Backup.Close();
    QDialog::closeEvent(e);
}

}  // namespace maintenance
