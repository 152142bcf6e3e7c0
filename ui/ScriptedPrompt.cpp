#include "ui/ScriptedPrompt.h"

#include <QDialog>

namespace ui {

ScriptedPrompt::ScriptedPrompt()
{
    setPrompt(this);
}

ScriptedPrompt::~ScriptedPrompt()
{
    setPrompt(nullptr);
}

Answer ScriptedPrompt::message(QWidget*, MessageKind kind, const QString& text)
{
    m_messages.append({kind, text});
    if (!m_answers.empty()) {
        const Answer a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    return kind == MessageKind::Confirmation ? Answer::No : Answer::Ok;
}

QString ScriptedPrompt::openFileName(QWidget*, const QString&, const QString& proposed, const QString&)
{
    m_proposed.append(proposed);
    if (m_fileNames.empty())
        return {};
    QString f = m_fileNames.front();
    m_fileNames.pop_front();
    return f;
}

QString ScriptedPrompt::saveFileName(QWidget* w, const QString& t, const QString& f, const QString& flt)
{
    return openFileName(w, t, f, flt);
}

std::optional<QColor> ScriptedPrompt::color(QWidget*, const QColor&)
{
    if (m_colors.empty())
        return std::nullopt;
    auto c = m_colors.front();
    m_colors.pop_front();
    return c;
}

int ScriptedPrompt::exec(QDialog* dialog)
{
    m_dialogTitles.append(dialog->windowTitle());
    if (m_dialogs.empty())
        return QDialog::Rejected;
    auto h = std::move(m_dialogs.front());
    m_dialogs.pop_front();
    return h(dialog);
}

}  // namespace ui
