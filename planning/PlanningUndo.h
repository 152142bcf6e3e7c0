#pragma once

#include "planning/PlanningWriter.h"

#include <QString>
#include <QUndoStack>

#include <functional>
#include <optional>
#include <vector>

namespace db {
class Connection;
}

namespace planning {

// The undo history of the open dossier: a QUndoStack of ChangeHalfDays
// steps, at most kMaxSteps. Every write goes through the steps' redo() and
// undo(), one transaction each. A write that fails leaves the database and
// the stack as they were and reaches the caller as DbError.
class PlanningUndo {
public:
    static constexpr int kMaxSteps = 200;
    // Shows written half-days in the visible view: after true for the after
    // ids (redo), false for the before ids (undo).
    using Display = std::function<void(const std::vector<HalfDayChange>& changes, bool after)>;

    PlanningUndo();
    ~PlanningUndo();
    PlanningUndo(const PlanningUndo&) = delete;
    PlanningUndo& operator=(const PlanningUndo&) = delete;

    // The dossier the steps write into (the connection is borrowed); empties
    // the stack.
    void setDossier(db::Connection* connection, int dossierId, int orientation);
    void setDisplay(Display display) { m_display = std::move(display); }

    // Writes a gesture's half-days (the step's first redo) and keeps it as
    // one step; a gesture that changed nothing is written and not kept. The
    // view already shows it, so it is not shown again. Throws DbError.
    void record(std::vector<HalfDayChange> changes);
    // Throw DbError; nothing to undo or redo does nothing.
    void undo();
    void redo();
    void clear() { m_stack.clear(); }
    // Drops every step one of whose half-days touches(change) holds for.
    void dropSteps(const std::function<bool(const HalfDayChange&)>& touches);

    QUndoStack& stack() { return m_stack; }
    const QUndoStack& stack() const { return m_stack; }
    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    // The step's text ("la peinture de 12 demi-journées"); empty when none.
    QString undoText() const { return m_stack.undoText(); }
    QString redoText() const { return m_stack.redoText(); }
    // The bytes the steps hold.
    size_t memoryBytes() const;

    // For the steps: writes one side of changes and shows it. A failure is
    // kept for the operation that runs the step.
    void apply(const std::vector<HalfDayChange>& changes, bool after);

private:
    // Moves the stack to index without writing anything.
    void setIndexQuietly(int index);

    QUndoStack m_stack;
    db::Connection* m_connection = nullptr;
    int m_dossierId = -1;
    int m_orientation = 0;
    Display m_display;
    bool m_quiet = false;   // the stack moves, the database and the views do not
    bool m_showing = true;  // false for a gesture's first write
    std::optional<QString> m_failure;
};

}  // namespace planning
