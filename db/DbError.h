#pragma once

#include "core/UserError.h"

#include <QString>

#include <stdexcept>

namespace db {

// A failure of the data layer, carrying the underlying message text, which the
// windows show as it stands.
class DbError : public core::UserError {
public:
    using UserError::UserError;
};

}  // namespace db
