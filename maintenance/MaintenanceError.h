#pragma once

#include <QString>

#include <stdexcept>

namespace maintenance {

// A refused or failed maintenance operation; the message is French and says
// what was kept.
class MaintenanceError : public std::runtime_error {
public:
    explicit MaintenanceError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) { }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// A restore stopped after its commit mark: the data is neither wholly old nor
// wholly new until the next start completes the swap, so nothing may open
// it before then.
class RestorePendingError : public MaintenanceError {
public:
    using MaintenanceError::MaintenanceError;
};

}  // namespace maintenance
