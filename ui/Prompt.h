#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QDialog;
class QWidget;

namespace ui {

enum class MessageKind {
    Plain,         // the program's name as title, OK
    Information,   // OK
    Warning,       // OK
    Error,         // OK
    Confirmation,  // Oui / Non
};

enum class Answer { Ok, Yes, No };

// Every message box, file and colour dialog and every modal exec() of the
// program goes through the current prompt, so tests can answer them.
class Prompt {
public:
    virtual ~Prompt();

    virtual Answer message(QWidget* parent, MessageKind kind, const QString& text) = 0;
    // Empty when cancelled. filter uses the "Label|mask|Label|mask" form.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& fileName,
                                 const QString& filter) = 0;
    virtual std::optional<QColor> color(QWidget* parent, const QColor& initial) = 0;
    // Shows the dialog modally and answers its result code.
    virtual int exec(QDialog* dialog) = 0;
};

// The prompt in force; the real one unless a test installed another.
Prompt& prompt();
// Installs a prompt (not owned); nullptr restores the real one.
void setPrompt(Prompt* prompt);

// Shortcuts for the four kinds of box and the plain one.
void showMessage(const QString& text, QWidget* parent = nullptr);
void showInformation(const QString& text, QWidget* parent = nullptr);
void showWarning(const QString& text, QWidget* parent = nullptr);
void showError(const QString& text, QWidget* parent = nullptr);
// True only for "Oui".
bool confirm(const QString& text, QWidget* parent = nullptr);

// Where the save dialogs of the user's own copies (attached documents,
// pictures) open: the folder chosen last in one of them during this run,
// else the user's documents folder; never the program directory, which an
// installed program cannot write. Ends with "/".
QString UserSaveFolder();
// Remembers the folder of a file the user chose to save to.
void RememberSaveFolder(const QString& chosenFile);

// Turns a "Label|mask;mask|..." filter into Qt's "Label (mask mask);;..." form.
QString toQtFilter(const QString& filter);

}  // namespace ui
