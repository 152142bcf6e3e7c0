#pragma once

#include <QString>

#include <stdexcept>

namespace core {

// A failure the user is told about: a French message saying what happened
// and what was kept, and, when there is one, the technical detail behind it.
// Every layer's failure derives from it, so one handler can show any of them.
class UserError : public std::runtime_error {
public:
    explicit UserError(const QString& message, const QString& detail = {})
        : std::runtime_error(message.toStdString()), m_message(message), m_detail(detail)
    { }
    const QString& message() const { return m_message; }
    const QString& detail() const { return m_detail; }

private:
    QString m_message;
    QString m_detail;
};

}  // namespace core
