#pragma once

#include "planning/Holidays.h"
#include "planning/PlanningModel.h"

#include <QImage>
#include <QStringList>

#include <vector>

namespace db {
class Dataset;
}

namespace planning {

// One entry list with its 35 × 35 thumbnails, in entry order.
struct EntryList {
    QStringList entries;
    std::vector<QImage> thumbnails;
    void clear()
    {
        entries.clear();
        thumbnails.clear();
    }
};

// What the main window holds for the open dossier: the planning context and
// the person and project entry lists. Loaders and exports borrow it.
struct PlanningSession {
    PlanningContext ctx;
    EntryList persons;
    EntryList projects;
    // The dossier's holidays and closed days, and whether the views show them.
    HolidaySettings holidays;

    // Rows of Grid_Object and the legend, by orientation.
    const EntryList& objectSide() const { return ctx.orientation == 0 ? persons : projects; }
    const EntryList& legendSide() const { return ctx.orientation == 0 ? projects : persons; }
    // The current object id and the current legend-side id.
    int& objectId() { return ctx.orientation == 0 ? ctx.personId : ctx.projectId; }
    int& legendId() { return ctx.orientation == 0 ? ctx.projectId : ctx.personId; }
};

// Reads the dossier's persons (ordered by name) or projects (by title) into
// an entry list; a record without a thumbnail shows defaultPicture.
// *indexOfId receives the index of idToSelect, 0 when absent. Throws DbError.
EntryList ReadEntryList(db::Dataset& query, int dossierId, bool persons, const QImage& defaultPicture,
                        int idToSelect = -1, int* indexOfId = nullptr);

}  // namespace planning
