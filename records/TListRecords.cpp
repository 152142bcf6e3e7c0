#include "records/TListRecords.h"

#include "core/ColorRef.h"
#include "db/CustomLabels.h"
#include "db/DbError.h"
#include "db/QueryHelpers.h"
#include "db/TDataModule1.h"
#include "records/RecordCommands.h"
#include "records/ShellLinks.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace records {

namespace {
constexpr int kClientWidth = 621;
constexpr int kClientHeight = 372;
constexpr int kAlignRightRole = Qt::UserRole + 1;
const QColor kRowLight(Qt::white);
const QColor kRowBlue(232, 242, 255);
const QColor kSelection(49, 106, 197);

QColor shifted(const QColor& c, int amount)
{
    return QColor::fromRgb(core::RgbFromColorRef(core::ShiftColor(core::ColorRefFromRgb(c.rgb()), amount)));
}

// Paints every cell itself, so the sort column and the selected row look the
// same in every style.
class ListDelegate : public QStyledItemDelegate {
public:
    ListDelegate(QTableWidget* grid, std::function<int()> sortIndex)
        : QStyledItemDelegate(grid), m_grid(grid), m_sortIndex(std::move(sortIndex))
    { }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = m_grid->selectionModel()->isRowSelected(index.row(), QModelIndex());
        const int screenRow = index.row() - qMax(0, m_grid->rowAt(0));
        const ListCellColors colors = ListCellColorsFor(screenRow, selected, index.column() == m_sortIndex());
        p->save();
        p->fillRect(option.rect, colors.background);
        p->setPen(colors.text);
        p->setFont(option.font);
        QString text = index.data().toString().left(255);
        const bool right = index.data(kAlignRightRole).toBool();
        if (right)
            text += QLatin1Char(' ');
        const QRect r = option.rect.adjusted(2, 2, -2, 0);
        p->drawText(r, (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop | Qt::TextSingleLine, text);
        p->restore();
    }

private:
    QTableWidget* m_grid;
    std::function<int()> m_sortIndex;
};

QPushButton* barButton(QWidget* parent, QHBoxLayout* row, const QString& name, const QString& text, const QString& hint)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    row->addWidget(b);
    return b;
}
}  // namespace

QList<ListColumn> PersonListColumns()
{
    QList<ListColumn> columns = {
        {QStringLiteral("Name"), QStringLiteral("Nom"), 30},
        {QStringLiteral("Function"), QStringLiteral("Fonction"), 30},
        {QStringLiteral("Phone"), QStringLiteral("Téléphone"), 30},
        {QStringLiteral("Fax"), QStringLiteral("Fax"), 30},
        {QStringLiteral("Email"), QStringLiteral("Email"), 30},
        {QStringLiteral("Country"), QStringLiteral("Pays"), 30},
    };
    for (int i = 1; i <= 5; ++i)
        columns.append({QStringLiteral("Misc%1").arg(i, 2, 10, QLatin1Char('0')), QString(), 30});
    return columns;
}

QList<ListColumn> ProjectListColumns()
{
    return {
        {QStringLiteral("Title"), QStringLiteral("Titre"), 30},
        {QStringLiteral("Name"), QStringLiteral("Responsable"), 30},
        {QStringLiteral("ShortDescription"), QStringLiteral("Description courte"), 80},
        {QStringLiteral("Phone"), QStringLiteral("Téléphone"), 30},
        {QStringLiteral("Fax"), QStringLiteral("Fax"), 30},
        {QStringLiteral("Email"), QStringLiteral("Email"), 30},
        {QStringLiteral("WebSite"), QStringLiteral("Site web"), 30},
    };
}

ListCellColors ListCellColorsFor(int screenRow, bool selectedRow, bool sortColumn)
{
    ListCellColors c;
    c.background = selectedRow ? kSelection : (screenRow % 2 == 0 ? kRowLight : kRowBlue);
    c.text = selectedRow ? QColor(Qt::white) : QColor(Qt::black);
    if (selectedRow || sortColumn)
        c.background = shifted(c.background, -10);
    return c;
}

TListRecords::TListRecords(bool persons, db::TDataModule1& dataModule, RecordCommands& commands, int dossierId,
                           ListHooks hooks, QWidget* parent)
    : QDialog(parent),
      m_persons(persons),
      m_dm(dataModule),
      m_commands(commands),
      m_dossierId(dossierId),
      m_hooks(std::move(hooks)),
      m_columns(persons ? PersonListColumns() : ProjectListColumns())
{
    setObjectName(persons ? QStringLiteral("ListPeople") : QStringLiteral("ListProject"));
    setProperty("centredOnScreen", true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    const QString title = persons ? QStringLiteral("  Liste des personnes") : QStringLiteral("  Liste des projets");
    outer->addWidget(new ui::TitleBar(title, ui::TitleBar::Close, this));

    Grid_Producer = new QTableWidget(this);
    Grid_Producer->setObjectName(QStringLiteral("Grid_Producer"));
    Grid_Producer->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid_Producer->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid_Producer->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_Producer->verticalHeader()->hide();
    Grid_Producer->verticalHeader()->setDefaultSectionSize(Grid_Producer->fontMetrics().height() + 4);
    Grid_Producer->horizontalHeader()->setSectionsClickable(true);
    Grid_Producer->horizontalHeader()->setHighlightSections(false);
    Grid_Producer->setColumnCount(static_cast<int>(m_columns.size()));
    const int charWidth = Grid_Producer->fontMetrics().averageCharWidth();
    for (int c = 0; c < m_columns.size(); ++c) {
        Grid_Producer->setHorizontalHeaderItem(c, new QTableWidgetItem(m_columns.at(c).title));
        Grid_Producer->setColumnWidth(c, m_columns.at(c).widthChars * charWidth + 4);
    }
    Grid_Producer->setItemDelegate(new ListDelegate(Grid_Producer, [this] {
        for (int c = 0; c < m_columns.size(); ++c)
            if (m_columns.at(c).field.compare(m_sortColumn, Qt::CaseInsensitive) == 0)
                return m_ids.empty() ? -1 : c;
        return -1;
    }));
    outer->addWidget(Grid_Producer, 1);

    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 4, 0, 0);
    Btn_Add = barButton(bar, row, QStringLiteral("Btn_Add"), QStringLiteral(" &Ajouter"),
                        persons ? QStringLiteral("Ajouter une personne") : QStringLiteral("Ajouter un projet"));
    Btn_Edit = barButton(bar, row, QStringLiteral("Btn_Edit"), QStringLiteral(" &Modifier"),
                         persons ? QStringLiteral("Modifier la personne") : QStringLiteral("Modifier le projet"));
    Btn_Delete = barButton(bar, row, QStringLiteral("Btn_Delete"), QStringLiteral(" &Supprimer"),
                           persons ? QStringLiteral("Supprimer la personne") : QStringLiteral("Supprimer le projet"));
    Btn_Email =
        barButton(bar, row, QStringLiteral("Btn_Email"), QStringLiteral("Email"), QStringLiteral("Envoyer un message"));
    Btn_Print = barButton(bar, row, QStringLiteral("Btn_Print"), QStringLiteral("Imprimer"),
                          QStringLiteral("Imprimer la liste"));
    Btn_Html = barButton(bar, row, QStringLiteral("Btn_Html"), QStringLiteral("Html"),
                         QStringLiteral("Exporter la liste en HTML"));
    row->addStretch(1);
    Btn_Close = barButton(bar, row, QStringLiteral("Btn_Close"), QStringLiteral(" &Fermer"), QString());
    row->addWidget(new ui::ResizeGrip(QStringLiteral("RezisePad"), 400, 200, bar), 0, Qt::AlignBottom);
    outer->addWidget(bar);

    connect(Btn_Add, &QPushButton::clicked, this, &TListRecords::Btn_AddClick);
    connect(Btn_Edit, &QPushButton::clicked, this, &TListRecords::Btn_EditClick);
    connect(Btn_Delete, &QPushButton::clicked, this, &TListRecords::Btn_DeleteClick);
    connect(Btn_Email, &QPushButton::clicked, this, &TListRecords::Btn_EmailClick);
    connect(Btn_Print, &QPushButton::clicked, this, &TListRecords::Btn_PrintClick);
    connect(Btn_Html, &QPushButton::clicked, this, &TListRecords::Btn_HtmlClick);
    connect(Btn_Close, &QPushButton::clicked, this, &TListRecords::Btn_CloseClick);
    connect(Grid_Producer, &QTableWidget::cellDoubleClicked, this, [this] { Grid_ProducerDblClick(); });
    connect(Grid_Producer->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TListRecords::Grid_ProducerTitleClick);
    connect(Grid_Producer, &QTableWidget::currentCellChanged, this, [this] { UpdateButtons(); });

    setWindowTitle(ui::WindowCaptionFromTitle(title));
    resize(kClientWidth, kClientHeight);
    ui::SetUpWindow(this);
    FormCreate();
}

TListRecords::~TListRecords() = default;

db::Dataset& TListRecords::query() const
{
    return m_persons ? m_dm.People : m_dm.Project;
}

int TListRecords::currentId() const
{
    const int r = Grid_Producer->currentRow();
    return r >= 0 && r < recordCount() ? m_ids[static_cast<std::size_t>(r)] : -1;
}

void TListRecords::FormCreate()
{
    query().Close();
    sortBy(m_persons ? QStringLiteral("Name") : QStringLiteral("Title"));
}

void TListRecords::FormShow()
{
    if (!m_persons)
        return;  // the project's custom fields are not listed
    QStringList labels;
    try {
        labels = db::ReadCustomLabels(m_dm.ADOConnection1, m_dossierId, true);
    } catch (const db::DbError& e) {
        ui::showError(e.message(), this);
        return;
    }
    for (int c = 0; c < m_columns.size(); ++c) {
        const QString& field = m_columns.at(c).field;
        if (!field.startsWith(QStringLiteral("Misc")))
            continue;
        const int n = QStringView(field).mid(4).toInt();
        if (n >= 1 && n <= labels.size()) {
            m_columns[c].title = labels.at(n - 1);
            Grid_Producer->horizontalHeaderItem(c)->setText(labels.at(n - 1));
        }
    }
}

void TListRecords::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TListRecords::FormClose()
{
    query().Close();
}

void TListRecords::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TListRecords::sortBy(const QString& field)
{
    QStringList& sql = query().SQL();
    const int at = db::FindOrderByLine(sql);
    const QString line = QStringLiteral("ORDER BY ") + field;
    if (at >= 0)
        sql[at] = line;
    else
        sql.append(line);
    m_sortColumn = field;
    reload(currentId());
}

void TListRecords::reload(int idToSelect)
{
    db::Dataset& q = query();
    Grid_Producer->setUpdatesEnabled(false);
    m_ids.clear();
    m_emails.clear();
    Grid_Producer->setRowCount(0);
    try {
        q.Close();
        q.Open();
        q.DisableControls();
        std::vector<int> indexes;
        std::vector<bool> numeric;
        for (const ListColumn& c : m_columns) {
            const int i = q.FieldIndex(c.field);
            indexes.push_back(i);
            const db::FieldType t = i >= 0 ? q.FieldAt(i).Type() : db::FieldType::Unknown;
            numeric.push_back(t == db::FieldType::AutoInc || t == db::FieldType::Smallint || t == db::FieldType::Integer
                              || t == db::FieldType::Float);
        }
        const int idIndex = q.FieldIndex(QStringLiteral("Id"));
        const int emailIndex = q.FieldIndex(QStringLiteral("Email"));
        Grid_Producer->setRowCount(q.RecordCount());
        int row = 0;
        for (q.First(); !q.Eof(); q.Next(), ++row) {
            m_ids.push_back(q.FieldAt(idIndex).AsInteger());
            m_emails.append(emailIndex >= 0 ? q.FieldAt(emailIndex).AsString() : QString());
            for (std::size_t c = 0; c < indexes.size(); ++c) {
                if (indexes[c] < 0)
                    continue;
                auto* item = new QTableWidgetItem(q.FieldAt(indexes[c]).AsString());
                item->setData(kAlignRightRole, static_cast<bool>(numeric[c]));
                Grid_Producer->setItem(row, static_cast<int>(c), item);
            }
        }
        q.First();
        q.EnableControls();
    } catch (const db::DbError& e) {
        if (q.ControlsDisabled())
            q.EnableControls();
        Grid_Producer->setRowCount(recordCount());
        ui::showError(e.message(), this);
    }
    int select = 0;
    for (std::size_t i = 0; i < m_ids.size(); ++i)
        if (m_ids[i] == idToSelect)
            select = static_cast<int>(i);
    if (!m_ids.empty()) {
        Grid_Producer->setCurrentCell(select, 0);
        Grid_Producer->selectRow(select);
        q.Locate(QStringLiteral("Id"), m_ids[static_cast<std::size_t>(select)]);
    }
    Grid_Producer->setUpdatesEnabled(true);
    UpdateButtons();
}

void TListRecords::UpdateButtons()
{
    const int r = Grid_Producer->currentRow();
    const bool any = !m_ids.empty();
    Btn_Edit->setEnabled(any && m_commands.canEdit(m_persons));
    Btn_Delete->setEnabled(any);
    Btn_Print->setEnabled(any && static_cast<bool>(m_hooks.print));
    Btn_Html->setEnabled(any && static_cast<bool>(m_hooks.html));
    Btn_Email->setEnabled(any && r >= 0 && r < m_emails.size() && !m_emails.at(r).trimmed().isEmpty());
    Btn_Add->setEnabled(m_commands.canEdit(m_persons));
}

void TListRecords::editRecord(bool isNew)
{
    const int before = currentId();
    int stored = -1;
    try {
        stored = m_commands.EditRecord(m_persons, isNew ? -1 : before, isNew, this);
    } catch (const db::DbError& e) {
        if (query().Editing())
            query().Cancel();
        ui::showError(e.message(), this);
    }
    reload(stored != -1 ? stored : before);
}

void TListRecords::Btn_AddClick()
{
    editRecord(true);
}

void TListRecords::Btn_EditClick()
{
    if (currentId() >= 0)
        editRecord(false);
}

void TListRecords::Grid_ProducerDblClick()
{
    if (Btn_Edit->isEnabled())
        Btn_EditClick();
}

void TListRecords::Btn_DeleteClick()
{
    const int id = currentId();
    if (id < 0)
        return;
    const int row = Grid_Producer->currentRow();
    if (m_commands.DeleteRecord(m_persons, id, this)) {
        // The row below the deleted one becomes current, else the one above.
        const int next = row + 1 < recordCount() ? row + 1 : row - 1;
        reload(next >= 0 ? m_ids[static_cast<std::size_t>(next)] : -1);
    } else {
        reload(id);
    }
}

void TListRecords::Grid_ProducerTitleClick(int column)
{
    if (column >= 0 && column < m_columns.size())
        sortBy(m_columns.at(column).field);
}

void TListRecords::Btn_EmailClick()
{
    const int r = Grid_Producer->currentRow();
    if (r >= 0 && r < m_emails.size())
        SendMailTo(m_emails.at(r).trimmed(), this);
}

void TListRecords::Btn_PrintClick()
{
    if (m_hooks.print)
        m_hooks.print(this);
}

void TListRecords::Btn_HtmlClick()
{
    if (m_hooks.html)
        m_hooks.html(this);
}

void TListRecords::Btn_CloseClick()
{
    reject();
}

}  // namespace records
