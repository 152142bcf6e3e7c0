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

}  // namespace maintenance
