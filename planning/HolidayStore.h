#pragma once

#include "planning/Holidays.h"

namespace db {
class TDataModuleObject;
}

namespace planning {

// The dossier's holiday choices in the object store, under classes of their
// own; reading stores the defaults of missing values, as the store does.
// Database errors raise (DbError).
HolidaySettings ReadHolidaySettings(db::TDataModuleObject& store, int dossierId);
// All four values in one transaction: either every value is stored or none.
void WriteHolidaySettings(db::TDataModuleObject& store, int dossierId, const HolidaySettings& settings);

}  // namespace planning
