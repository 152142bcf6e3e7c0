#pragma once

#include <QColor>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

class QPushButton;
class QTableWidget;

namespace db {
class Dataset;
class TDataModule1;
}  // namespace db

namespace records {

class RecordCommands;

// One visible column of a list: its field, its title and its width in
// characters.
struct ListColumn {
    QString field;
    QString title;
    int widthChars = 30;
};

QList<ListColumn> PersonListColumns();
QList<ListColumn> ProjectListColumns();

// What the list asks of the windows above it: the list report and the HTML
// list export. An empty hook leaves its button disabled.
struct ListHooks {
    std::function<void(QWidget* parent)> print;
    std::function<void(QWidget* parent)> html;
};

// The colours of one cell of a list: rows alternate by their position on
// screen, the selected row has the selection colour, and the cells of the
// sort column and of the selected row are shifted by -10.
struct ListCellColors {
    QColor background;
    QColor text;
};
ListCellColors ListCellColorsFor(int screenRow, bool selectedRow, bool sortColumn);

// The modal list of the open dossier's persons or projects over the data
// module's shared query (People or Project, already restricted to the
// dossier). The sort order chosen here stays in the query text. Database
// failures are shown in the French box; the list then shows what it read.
class TListRecords : public QDialog {
    Q_OBJECT
public:
    TListRecords(bool persons, db::TDataModule1& dataModule, RecordCommands& commands, int dossierId, ListHooks hooks,
                 QWidget* parent = nullptr);
    ~TListRecords() override;

    QTableWidget* Grid_Producer = nullptr;
    QPushButton* Btn_Add = nullptr;
    QPushButton* Btn_Edit = nullptr;
    QPushButton* Btn_Delete = nullptr;
    QPushButton* Btn_Email = nullptr;
    QPushButton* Btn_Print = nullptr;
    QPushButton* Btn_Html = nullptr;
    QPushButton* Btn_Close = nullptr;

    void FormCreate();
    void FormShow();
    void FormClose();
    void Btn_AddClick();
    void Btn_EditClick();
    void Grid_ProducerDblClick();
    void Btn_DeleteClick();
    void Grid_ProducerTitleClick(int column);
    void Btn_EmailClick();
    void Btn_PrintClick();
    void Btn_HtmlClick();
    void Btn_CloseClick();
    void UpdateButtons();

    // The field the list is ordered by ("Name", "Title" at first).
    const QString& sortColumn() const { return m_sortColumn; }
    // The current row's Id; -1 when the list is empty.
    int currentId() const;
    int recordCount() const { return static_cast<int>(m_ids.size()); }
    const QList<ListColumn>& columns() const { return m_columns; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    // Reopens the query in its current order and fills the grid; the row
    // with idToSelect becomes current (the first row when absent).
    void reload(int idToSelect);
    void sortBy(const QString& field);
    void editRecord(bool isNew);
    db::Dataset& query() const;

    bool m_persons;
    db::TDataModule1& m_dm;
    RecordCommands& m_commands;
    int m_dossierId;
    ListHooks m_hooks;
    QList<ListColumn> m_columns;
    QString m_sortColumn;
    std::vector<int> m_ids;
    QStringList m_emails;
};

// "  Liste des personnes".
class TListPeople : public TListRecords {
    Q_OBJECT
public:
    TListPeople(db::TDataModule1& dataModule, RecordCommands& commands, int dossierId, ListHooks hooks,
                QWidget* parent = nullptr)
        : TListRecords(true, dataModule, commands, dossierId, std::move(hooks), parent)
    { }
};

// "  Liste des projets".
class TListProject : public TListRecords {
    Q_OBJECT
public:
    TListProject(db::TDataModule1& dataModule, RecordCommands& commands, int dossierId, ListHooks hooks,
                 QWidget* parent = nullptr)
        : TListRecords(false, dataModule, commands, dossierId, std::move(hooks), parent)
    { }
};

}  // namespace records
