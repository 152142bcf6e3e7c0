#pragma once

#include "core/ScriptFeedback.h"

#include <QPointer>

#include <memory>

class QLabel;

namespace ui {

class TNewGauge;

// An update-script run seen on screen: the progress window TNewGauge for the
// length of the run, the question through the prompt, and the status texts in
// the caller's label (the splash's status line, a wait window's task text),
// which may be none.
class ScriptGauge final : public core::ScriptFeedback {
public:
    explicit ScriptGauge(QLabel* status = nullptr);
    ~ScriptGauge() override;

    bool confirm(const QString& question) override;
    void beginProgress(int maximum, int position) override;
    void setProgressText(const QString& text) override;
    void advanceProgress() override;
    void endProgress() override;
    void setStatus(const QString& text) override;
    void pump() override;
    void reportFailures(int failed, const QString& logFile) override;

    TNewGauge* gauge() const { return m_gauge.get(); }

private:
    QPointer<QLabel> m_status;
    std::unique_ptr<TNewGauge> m_gauge;
};

}  // namespace ui
