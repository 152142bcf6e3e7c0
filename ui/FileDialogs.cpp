#include "ui/FileDialogs.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

namespace ui {

namespace {

constexpr int kSizeColumn = 1;
constexpr int kDateColumn = 3;

// The file system model writes sizes and dates with the system locale,
// which follows the environment (often "C" or English on this platform).
class FrenchFileColumns final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid()
            || (index.column() != kSizeColumn && index.column() != kDateColumn))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == kSizeColumn) {
            if (files->isDir(source))
                return QIdentityProxyModel::data(index, role);
            return QLocale().formattedDataSize(files->size(source), 1);
        }
        const QDateTime modified = files->lastModified(source);
        return modified.isValid() ? QLocale().toString(modified, QLocale::ShortFormat) : QString();
    }
};

// Widens the detail view's columns to their header texts once the dialog
// has restored its saved layout (on show).
class HeaderFit final : public QObject {
public:
    explicit HeaderFit(QFileDialog* dialog) : QObject(dialog), m_dialog(dialog) { dialog->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_dialog && event->type() == QEvent::Show)
            fit();
        return QObject::eventFilter(watched, event);
    }

private:
    void fit()
    {
        auto* tree = m_dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        if (!tree || !tree->model())
            return;
        QHeaderView* header = tree->header();
        const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        // Room for the sort indicator too.
        const int arrow = header->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
        for (int c = 0; c < header->count(); ++c) {
            const QString text = tree->model()->headerData(c, Qt::Horizontal).toString();
            const int needed = header->fontMetrics().horizontalAdvance(text) + margin + arrow;
            if (header->sectionSize(c) < needed)
                header->resizeSection(c, needed);
        }
    }

    QFileDialog* m_dialog;
};

}  // namespace

void PrepareFileDialog(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new FrenchFileColumns(&dialog));
    new HeaderFit(&dialog);
}

}  // namespace ui
