#include "ui/ScriptGauge.h"

#include "ui/Prompt.h"
#include "ui/TNewGauge.h"

#include <QApplication>
#include <QLabel>

namespace ui {

ScriptGauge::ScriptGauge(QLabel* status) : m_status(status)
{ }

ScriptGauge::~ScriptGauge() = default;

bool ScriptGauge::confirm(const QString& question)
{
    return ui::confirm(question, m_gauge.get());
}

void ScriptGauge::reportFailures(int failed, const QString& logFile)
{
    ui::showWarning(QStringLiteral("La mise à jour de la base de données est terminée, mais %1 commande%2 de mise à "
                                   "jour %3 échoué.\rLe détail figure dans le journal « %4 ».")
                        .arg(failed)
                        .arg(failed > 1 ? QStringLiteral("s") : QString())
                        .arg(failed > 1 ? QStringLiteral("ont") : QStringLiteral("a"))
                        .arg(logFile));
}

void ScriptGauge::beginProgress(int maximum, int position)
{
    m_gauge = std::make_unique<TNewGauge>();
    m_gauge->setMaximum(maximum);
    m_gauge->setPosition(position);
    m_gauge->showCentered();
}

void ScriptGauge::setProgressText(const QString& text)
{
    if (m_gauge) {
        m_gauge->setText(text);
        m_gauge->redraw();
    }
}

void ScriptGauge::advanceProgress()
{
    if (m_gauge)
        m_gauge->advance();
}

void ScriptGauge::endProgress()
{
    m_gauge.reset();
}

void ScriptGauge::setStatus(const QString& text)
{
    if (m_status) {
        m_status->setText(text);
        m_status->repaint();
    }
}

void ScriptGauge::pump()
{
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace ui
