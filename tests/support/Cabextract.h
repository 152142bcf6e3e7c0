#pragma once

#include <QString>

namespace testing_support {

// cabextract -t: an independent reader checks every entry of a cabinet.
// output, when given, receives what it printed.
bool CabextractAccepts(const QString& cabinet, QString* output = nullptr);

}  // namespace testing_support
