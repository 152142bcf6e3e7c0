#include "ui/Prompt.h"

#include "core/Globals.h"
#include "ui/FileDialogs.h"

#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace ui {

Prompt::~Prompt() = default;

namespace {

QString titleFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Plain: return core::globals().productName;
    case MessageKind::Information: return QStringLiteral("Information");
    case MessageKind::Warning: return QStringLiteral("Avertissement");
    case MessageKind::Error: return QStringLiteral("Erreur");
    case MessageKind::Confirmation: return QStringLiteral("Confirmation");
    }
    return {};
}

class QtPrompt final : public Prompt {
public:
    Answer message(QWidget* parent, MessageKind kind, const QString& text) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(titleFor(kind));
        // "\r" is the line break of the program's texts.
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        box.setText(shown);
        switch (kind) {
        case MessageKind::Plain: box.setIcon(QMessageBox::NoIcon); break;
        case MessageKind::Information: box.setIcon(QMessageBox::Information); break;
        case MessageKind::Warning: box.setIcon(QMessageBox::Warning); break;
        case MessageKind::Error: box.setIcon(QMessageBox::Critical); break;
        case MessageKind::Confirmation: box.setIcon(QMessageBox::Question); break;
        }
        if (kind == MessageKind::Confirmation) {
            QPushButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
            QPushButton* no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
            box.setDefaultButton(yes);
            box.setEscapeButton(no);
            box.exec();
            return box.clickedButton() == yes ? Answer::Yes : Answer::No;
        }
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        box.exec();
        return Answer::Ok;
    }

    QString openFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter) override
    {
        return runFileDialog(parent, title, dir, filter, QFileDialog::AcceptOpen);
    }

    QString saveFileName(QWidget* parent, const QString& title, const QString& fileName, const QString& filter) override
    {
        return runFileDialog(parent, title, fileName, filter, QFileDialog::AcceptSave);
    }

    static QString runFileDialog(QWidget* parent, const QString& title, const QString& path, const QString& filter,
                                 QFileDialog::AcceptMode mode)
    {
        QFileDialog dialog(parent, title, path, toQtFilter(filter));
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        PrepareFileDialog(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        return dialog.selectedFiles().value(0);
    }

    std::optional<QColor> color(QWidget* parent, const QColor& initial) override
    {
        const QColor c = QColorDialog::getColor(initial, parent);
        if (!c.isValid())
            return std::nullopt;
        return c;
    }

    int exec(QDialog* dialog) override { return dialog->exec(); }
};

Prompt*& installed()
{
    static Prompt* p = nullptr;
    return p;
}

}  // namespace

Prompt& prompt()
{
    static QtPrompt real;
    Prompt* p = installed();
    return p ? *p : real;
}

void setPrompt(Prompt* p)
{
    installed() = p;
}

void showMessage(const QString& text, QWidget* parent)
{
    prompt().message(parent, MessageKind::Plain, text);
}

void showInformation(const QString& text, QWidget* parent)
{
    prompt().message(parent, MessageKind::Information, text);
}

void showWarning(const QString& text, QWidget* parent)
{
    prompt().message(parent, MessageKind::Warning, text);
}

void showError(const QString& text, QWidget* parent)
{
    prompt().message(parent, MessageKind::Error, text);
}

bool confirm(const QString& text, QWidget* parent)
{
    return prompt().message(parent, MessageKind::Confirmation, text) == Answer::Yes;
}

QString toQtFilter(const QString& filter)
{
    if (filter.isEmpty())
        return {};
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString masks = parts.at(i + 1);
        masks.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString label = parts.at(i);
        // Qt reads the masks from the parentheses; labels already holding
        // them are shown as they are.
        if (!label.contains(QLatin1Char('(')))
            label += QStringLiteral(" (") + masks + QLatin1Char(')');
        out.append(label);
    }
    return out.join(QStringLiteral(";;"));
}

namespace {

QString& lastSaveFolder()
{
    static QString folder;
    return folder;
}

}  // namespace

QString UserSaveFolder()
{
    QString folder = lastSaveFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void RememberSaveFolder(const QString& chosenFile)
{
    if (!chosenFile.isEmpty())
        lastSaveFolder() = QFileInfo(chosenFile).absolutePath();
}

}  // namespace ui
