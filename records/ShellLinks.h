#pragma once

#include <QString>

class QWidget;

namespace records {

// Opens the user's mail program on a message to the address; when the
// desktop has no program for "mailto:" a French message says so.
void SendMailTo(const QString& address, QWidget* parent);

// Opens a typed web address (see core::WebAddress) in the browser; when
// none can open it a French message says so.
void OpenWebAddress(const QString& typed, QWidget* parent);

}  // namespace records
