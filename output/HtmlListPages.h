#pragma once

#include <QString>

#include <functional>

namespace db {
class Dataset;
}

// The "Html" → "Liste des p&ersonnes" / "Liste des p&rojets" pages.
namespace output {

// What a list page tells its progress window: first the text and the
// maximum, then each new position. Optional.
struct ListProgress {
    std::function<void(const QString& text, int maximum)> start;
    std::function<void(int position)> position;
};

// The page of the persons (by name) or the projects (by title) of one
// dossier, with their thumbnails, photo pop-ups, swatches and contact
// details, in directory (normally HtmlWorkDirectory()). query is the data
// module's work query. Throws OutputError or db::DbError; index.htm then
// does not exist.
void WritePersonListPage(db::Dataset& query, const QString& directory, int dossierId, const QString& progressText,
                         const ListProgress& progress = {});
void WriteProjectListPage(db::Dataset& query, const QString& directory, int dossierId, const QString& progressText,
                          const ListProgress& progress = {});

}  // namespace output
