#include "planning/ChangeHalfDays.h"

#include "planning/PlanningUndo.h"

#include <algorithm>

namespace planning {

ChangeHalfDays::ChangeHalfDays(PlanningUndo& owner, std::vector<HalfDayChange> changes)
    : m_owner(owner), m_changes(std::move(changes))
{
    m_changes.shrink_to_fit();
    setText(StepText(m_changes));
}

void ChangeHalfDays::undo()
{
    m_owner.apply(m_changes, false);
}

void ChangeHalfDays::redo()
{
    m_owner.apply(m_changes, true);
}

bool ChangeHalfDays::changesSomething() const
{
    return std::any_of(m_changes.begin(), m_changes.end(), [](const HalfDayChange& c) { return c.before != c.after; });
}

QString ChangeHalfDays::StepText(const std::vector<HalfDayChange>& changes)
{
    const bool painted =
        std::any_of(changes.begin(), changes.end(), [](const HalfDayChange& c) { return c.after != -1; });
    const bool erased =
        std::any_of(changes.begin(), changes.end(), [](const HalfDayChange& c) { return c.after == -1; });
    const QString what = painted && erased ? QStringLiteral("la modification")
        : painted                          ? QStringLiteral("la peinture")
                                           : QStringLiteral("l'effacement");
    if (changes.size() == 1)
        return what + QStringLiteral(" d'une demi-journée");
    return what + QStringLiteral(" de ") + QString::number(changes.size()) + QStringLiteral(" demi-journées");
}

}  // namespace planning
