#include "planning/PlanningUndo.h"

#include "db/DbError.h"
#include "planning/ChangeHalfDays.h"

#include <algorithm>
#include <memory>

namespace planning {

PlanningUndo::PlanningUndo()
{
    m_stack.setUndoLimit(kMaxSteps);
}

PlanningUndo::~PlanningUndo() = default;

void PlanningUndo::setDossier(db::Connection* connection, int dossierId, int orientation)
{
    m_stack.clear();
    m_connection = connection;
    m_dossierId = dossierId;
    m_orientation = orientation;
}

void PlanningUndo::apply(const std::vector<HalfDayChange>& changes, bool after)
{
    if (m_quiet)
        return;
    try {
        if (!m_connection)
            throw db::DbError(QStringLiteral("La connexion à la base de données est fermée."));
        WriteHalfDays(*m_connection, m_dossierId, m_orientation, changes, after);
    } catch (const db::DbError& e) {
        m_failure = e.message();
        return;
    }
    if (m_showing && m_display)
        m_display(changes, after);
}

void PlanningUndo::record(std::vector<HalfDayChange> changes)
{
    if (changes.empty())
        return;
    auto step = std::make_unique<ChangeHalfDays>(*this, std::move(changes));
    m_failure.reset();
    m_showing = false;
    step->redo();
    m_showing = true;
    if (m_failure)
        throw db::DbError(*m_failure);
    if (!step->changesSomething())
        return;
    // Written already: the push's own redo() must not write again.
    m_quiet = true;
    m_stack.push(step.release());
    m_quiet = false;
}

void PlanningUndo::undo()
{
    if (!m_stack.canUndo())
        return;
    const int index = m_stack.index();
    m_failure.reset();
    m_stack.undo();
    if (m_failure) {
        setIndexQuietly(index);
        throw db::DbError(*m_failure);
    }
}

void PlanningUndo::redo()
{
    if (!m_stack.canRedo())
        return;
    const int index = m_stack.index();
    m_failure.reset();
    m_stack.redo();
    if (m_failure) {
        setIndexQuietly(index);
        throw db::DbError(*m_failure);
    }
}

void PlanningUndo::setIndexQuietly(int index)
{
    m_quiet = true;
    m_stack.setIndex(index);
    m_quiet = false;
}

void PlanningUndo::dropSteps(const std::function<bool(const HalfDayChange&)>& touches)
{
    // A QUndoStack cannot remove a step: the survivors are rebuilt in order,
    // without writing, and the stack goes back to the same place among them.
    std::vector<std::vector<HalfDayChange>> kept;
    int index = 0;
    bool dropped = false;
    for (int i = 0; i < m_stack.count(); ++i) {
        const auto* step = static_cast<const ChangeHalfDays*>(m_stack.command(i));
        const auto& changes = step->changes();
        if (std::any_of(changes.begin(), changes.end(), touches)) {
            dropped = true;
            continue;
        }
        kept.push_back(changes);
        if (i < m_stack.index())
            ++index;
    }
    if (!dropped)
        return;
    m_stack.clear();
    m_quiet = true;
    for (auto& changes : kept)
        m_stack.push(new ChangeHalfDays(*this, std::move(changes)));
    m_stack.setIndex(index);
    m_quiet = false;
}

size_t PlanningUndo::memoryBytes() const
{
    size_t bytes = 0;
    for (int i = 0; i < m_stack.count(); ++i) {
        const auto* step = static_cast<const ChangeHalfDays*>(m_stack.command(i));
        bytes += step->memoryBytes() + static_cast<size_t>(step->text().capacity()) * sizeof(QChar);
    }
    return bytes;
}

}  // namespace planning
