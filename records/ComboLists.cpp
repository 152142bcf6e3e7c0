#include "records/ComboLists.h"

#include "core/StringUtils.h"
#include "db/Dataset.h"
#include "db/DbError.h"
#include "db/QueryHelpers.h"
#include "ui/DialogButtons.h"
#include "ui/Prompt.h"
#include "ui/WindowFrame.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace records {

namespace {
const QColor kListBackground(255, 255, 242);

QStringList linesOf(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = t.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
}  // namespace

QStringList SortedComboItems(const QString& text)
{
    QStringList out;
    for (const QString& item : linesOf(text)) {
        bool seen = false;
        for (const QString& kept : out)
            seen = seen || kept.compare(item, Qt::CaseInsensitive) == 0;
        if (!seen)
            out.append(item);
    }
    std::stable_sort(out.begin(), out.end(), core::lessFrench);
    return out;
}

TComboList::TComboList(const QString& caption, const QStringList& items, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ComboList"));
    setProperty("centredOnScreen", true);
    auto* outer = ui::FramedLayout(this, QStringLiteral(" ") + caption, ui::TitleBar::Close);
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette pal = Memo->palette();
    pal.setColor(QPalette::Base, kListBackground);
    Memo->setPalette(pal);
    Memo->setPlainText(items.join(QLatin1Char('\n')));
    outer->addWidget(Memo, 1);
    QPushButton *ok, *cancel;
    ui::addOkCancelRow(this, outer, &ok, &cancel);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(261, 244);
    ui::SetUpWindow(this);
}

QString TComboList::text() const
{
    // Stored as edited, one item a line with CR LF.
    QStringList lines = linesOf(Memo->toPlainText());
    return lines.join(QStringLiteral("\r\n"));
}

bool EditComboList(const QString& caption, const QString& column, db::Dataset& q, QWidget* parent)
{
    q.Close();
    q.Open();
    TComboList editor(caption, SortedComboItems(db::IsEmpty(q) ? QString() : q.FieldByName(column).AsString()), parent);
    bool stored = false;
    if (ui::prompt().exec(&editor) == QDialog::Accepted) {
        try {
            if (db::IsEmpty(q))
                q.Append();
            else
                q.Edit();
            q.FieldByName(column).SetValue(editor.text());
            q.Post();
            stored = true;
        } catch (const db::DbError& e) {
            if (q.Editing())
                q.Cancel();
            ui::showError(e.message(), parent);
        }
    }
    q.Close();
    return stored;
}

QRect PickerGeometry(const QRect& edit, const QRect& screen, int itemCount, int rowHeight)
{
    const int rows = itemCount <= 0 ? 1 : qMin(8, itemCount);
    const int fullHeight = 8 * rowHeight + 3;
    int top = edit.bottom() + 1;
    if (top + fullHeight > screen.bottom() + 1)
        top -= edit.height() + fullHeight + 1;
    return QRect(edit.left(), top, edit.width(), rows * rowHeight + 3);
}

TStrList::TStrList(QLineEdit* target, const QStringList& items)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_target(target)
{
    setObjectName(QStringLiteral("StrList"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    setAutoFillBackground(true);
    QPalette border = palette();
    border.setColor(QPalette::Window, QColor(220, 220, 207));  // the list colour shifted by -35
    setPalette(border);
    List = new QListWidget(this);
    List->setObjectName(QStringLiteral("List"));
    List->setFrameShape(QFrame::NoFrame);
    QPalette pal = List->palette();
    pal.setColor(QPalette::Base, kListBackground);
    List->setPalette(pal);
    List->addItems(items);
    // The picker's height follows its items (set by the caller), below the
    // list box's usual minimum.
    List->setMinimumSize(1, 1);
    layout->addWidget(List);
    List->viewport()->installEventFilter(this);
    connect(List, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { choose(List->row(item)); });
}

void TStrList::choose(int row)
{
    if (row < 0 || row >= List->count())
        return;
    m_target->setText(List->item(row)->text());
    m_target->setProperty("tag", row);
    m_target->setFocus();
    m_target->selectAll();
    close();
}

bool TStrList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == List->viewport() && event->type() == QEvent::MouseButtonRelease) {
        auto* e = static_cast<QMouseEvent*>(event);
        if (QListWidgetItem* item = List->itemAt(e->position().toPoint()))
            choose(List->row(item));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TStrList::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        choose(List->currentRow());
        return;
    }
    QWidget::keyPressEvent(e);
}

TStrList* ShowItemPicker(QLineEdit* target, bool sorted, const QStringList& itemsText, db::Dataset* record,
                         const db::DataSource* source, db::Dataset* listQuery, const QString& column)
{
    if (record && source && !source->editing() && record->IsOpen() && !db::IsEmpty(*record))
        record->Edit();
    QStringList items;
    if (!column.isEmpty() && listQuery) {
        listQuery->Close();
        listQuery->Open();
        if (!db::IsEmpty(*listQuery))
            items = linesOf(listQuery->FieldByName(column).AsString());
        listQuery->Close();
        if (sorted)
            std::stable_sort(items.begin(), items.end(), core::lessFrench);
        items.prepend(QString());
    } else {
        items = itemsText;
        if (sorted)
            std::stable_sort(items.begin(), items.end(), core::lessFrench);
    }
    auto* picker = new TStrList(target, items);
    // An empty list has no row to measure: measure a blank one.
    const bool empty = picker->List->count() == 0;
    if (empty)
        picker->List->addItem(QString());
    const int rowHeight = qMax(1, picker->List->sizeHintForRow(0));
    if (empty)
        delete picker->List->takeItem(0);
    const QRect edit(target->mapToGlobal(QPoint(0, 0)), target->size());
    QScreen* screen = target->screen() ? target->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    picker->setGeometry(PickerGeometry(edit, area, static_cast<int>(items.size()), rowHeight));
    target->setFocus();
    target->selectAll();
    if (picker->List->count() > 0)
        picker->List->setCurrentRow(0);
    for (int i = 0; i < picker->List->count(); ++i) {
        if (picker->List->item(i)->text() == target->text()) {
            picker->List->setCurrentRow(i);
            break;
        }
    }
    picker->show();
    picker->List->setFocus();
    return picker;
}

}  // namespace records
