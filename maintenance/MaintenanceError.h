#pragma once

#include "core/UserError.h"

#include <QString>

#include <stdexcept>

namespace maintenance {

// A refused or failed maintenance operation; the message is French and says
// what was kept.
class MaintenanceError : public core::UserError {
public:
    using UserError::UserError;
};

// A restore stopped after its commit mark: the data is neither wholly old nor
// wholly new until the next start completes the swap, so nothing may open
// it before then.
class RestorePendingError : public MaintenanceError {
public:
    using MaintenanceError::MaintenanceError;
};

}  // namespace maintenance
