#pragma once

#include <QString>

namespace core {

// What an update-script run shows while it works: its progress window, the
// caller's status line and the safety-copy question. The data layer calls
// it and never shows a window itself; the window side implements it.
class ScriptFeedback {
public:
    virtual ~ScriptFeedback() = default;

    // True when the user wants the copy ("Oui").
    virtual bool confirm(const QString& question) = 0;
    virtual void beginProgress(int maximum, int position) = 0;
    virtual void setProgressText(const QString& text) = 0;
    virtual void advanceProgress() = 0;
    virtual void endProgress() = 0;
    // The caller's status line; does nothing when there is none.
    virtual void setStatus(const QString& text) = 0;
    // Lets pending window messages run.
    virtual void pump() = 0;
    // Told at the end of a run in which changing commands failed (they were
    // logged and the run went on).
    virtual void reportFailures(int failed, const QString& logFile)
    {
        Q_UNUSED(failed);
        Q_UNUSED(logFile);
    }
};

}  // namespace core
