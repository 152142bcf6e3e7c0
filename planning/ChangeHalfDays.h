#pragma once

#include "planning/PlanningWriter.h"

#include <QUndoCommand>

#include <vector>

namespace planning {

class PlanningUndo;

// One planning gesture as an undo step: the half-days it touched, with what
// each held before and after. redo() writes the after ids, undo() the
// before ids, both through the owner (one transaction each).
class ChangeHalfDays : public QUndoCommand {
public:
    ChangeHalfDays(PlanningUndo& owner, std::vector<HalfDayChange> changes);

    void undo() override;
    void redo() override;

    const std::vector<HalfDayChange>& changes() const { return m_changes; }
    // False when every half-day holds after what it held before.
    bool changesSomething() const;
    size_t memoryBytes() const { return sizeof(*this) + m_changes.capacity() * sizeof(HalfDayChange); }

    // "la peinture de 12 demi-journées", "l'effacement d'une demi-journée",
    // "la modification de 3 demi-journées" (painted and erased together).
    static QString StepText(const std::vector<HalfDayChange>& changes);

private:
    PlanningUndo& m_owner;
    std::vector<HalfDayChange> m_changes;
};

}  // namespace planning
