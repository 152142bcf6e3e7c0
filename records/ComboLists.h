#pragma once

#include <QDialog>
#include <QRect>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace db {
class DataSource;
class Dataset;
}  // namespace db

namespace records {

// A list text: in French order without regard to case or accents, later
// duplicates (without regard to case) dropped.
QStringList SortedComboItems(const QString& text);

// The list editor of one COMBOITEMS column.
class TComboList : public QDialog {
    Q_OBJECT
public:
    TComboList(const QString& caption, const QStringList& items, QWidget* parent = nullptr);
    QPlainTextEdit* Memo;
    QString text() const;
};

// Edits one list of the first COMBOITEMS row (created on the first confirmed
// edit) and stores it as edited. Answers true when stored.
bool EditComboList(const QString& caption, const QString& column, db::Dataset& comboItems, QWidget* parent = nullptr);

// Where the picker goes: under the edit, or above it when it would pass the
// bottom of the screen; 8 rows at most, one at least, plus 3 pixels.
QRect PickerGeometry(const QRect& editOnScreen, const QRect& screen, int itemCount, int rowHeight);

// The drop-down picker shown under an edit; Esc or focus loss close it.
class TStrList : public QWidget {
    Q_OBJECT
public:
    TStrList(QLineEdit* target, const QStringList& items);
    QListWidget* List;
    void choose(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    QLineEdit* m_target;
};

// Opens the picker of a combo-list field; the chosen item becomes the edit's
// text. With a column the items are that COMBOITEMS list, with an empty top
// item; otherwise itemsText is used as it stands. Answers the picker (it
// deletes itself when closed).
TStrList* ShowItemPicker(QLineEdit* target, bool sorted, const QStringList& itemsText, db::Dataset* record,
                         const db::DataSource* source, db::Dataset* listQuery, const QString& column);

}  // namespace records
