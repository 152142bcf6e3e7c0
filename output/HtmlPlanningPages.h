#pragma once

#include "planning/AnnualRenderer.h"
#include "planning/MonthRenderer.h"
#include "planning/PlanningModel.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace db {
class Dataset;
}

// The "Html" → "&Planning" pages: index.htm with the planning drawn as
// JPEG pictures, the objects' thumbnails and photo pop-ups, and the legend.
namespace output {

// "Planning de l'année 2024" or "Planning Mars 2024", by the display type.
QString PlanningPageTitle(const planning::PlanningContext& ctx);

// The pictures of the pages, drawn with direct colours (the models are
// not changed): the 680 × 500 year, the 500 × 48 strip of a monthly row,
// the 30 × 20 legend swatch of a key entry. 24-bit.
QImage RenderYearPicture(const planning::AnnualModel& year, bool showDayNumber);
QImage RenderMonthStrip(const planning::MonthModel& month, int row, bool showDayNumber);
QImage RenderKeySwatch(const QString& keyEntry);

// The annual page in directory (normally HtmlWorkDirectory()): the object
// objectId (-1 for none) of the dossier's orientation, the year as the
// model holds it, the key list as legend. Every frame step runs: the
// directories are prepared, the directory is emptied and index.htm is
// written last, all-or-nothing. query is the data module's work query.
// Throws OutputError or db::DbError; index.htm then does not exist.
void WriteAnnualPlanningPage(db::Dataset& query, const QString& directory, const QString& title,
                             const planning::AnnualModel& year, const planning::PlanningContext& ctx, int objectId,
                             const QStringList& keys);

// The monthly page: one row per object entry i with row i of the model.
void WriteMonthlyPlanningPage(db::Dataset& query, const QString& directory, const QString& title,
                              const planning::MonthModel& month, const planning::PlanningContext& ctx,
                              const QStringList& objects, const QStringList& keys);

}  // namespace output
