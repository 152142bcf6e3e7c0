#pragma once

#include "ui/Prompt.h"

#include <QList>

#include <deque>
#include <functional>

namespace ui {

// Test double: records every message and answers from queues. With nothing
// queued a confirmation answers "Non", file dialogs answer empty, colour
// dialogs cancel and dialogs are rejected without being shown.
class ScriptedPrompt final : public Prompt {
public:
    struct Shown {
        MessageKind kind;
        QString text;
    };

    ScriptedPrompt();            // installs itself
    ~ScriptedPrompt() override;  // restores the real prompt

    void setNextAnswer(Answer a) { m_answers.push_back(a); }
    void setNextFileName(const QString& f) { m_fileNames.push_back(f); }
    void setNextColor(std::optional<QColor> c) { m_colors.push_back(c); }
    // Runs instead of the dialog's exec(); may fill or click its controls.
    void setNextDialogHandler(std::function<int(QDialog*)> h) { m_dialogs.push_back(std::move(h)); }

    const QList<Shown>& messages() const { return m_messages; }
    QStringList dialogTitles() const { return m_dialogTitles; }
    // The file names the file dialogs were opened on, in order.
    QStringList proposedFileNames() const { return m_proposed; }
    void clear()
    {
        m_messages.clear();
        m_dialogTitles.clear();
        m_proposed.clear();
    }

    Answer message(QWidget* parent, MessageKind kind, const QString& text) override;
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override;
    std::optional<QColor> color(QWidget*, const QColor&) override;
    int exec(QDialog* dialog) override;

private:
    std::deque<Answer> m_answers;
    std::deque<QString> m_fileNames;
    std::deque<std::optional<QColor>> m_colors;
    std::deque<std::function<int(QDialog*)>> m_dialogs;
    QList<Shown> m_messages;
    QStringList m_dialogTitles;
    QStringList m_proposed;
};

}  // namespace ui
