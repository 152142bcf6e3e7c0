#pragma once

#include <QDateTime>

#include <functional>

namespace core {

// The one source of "now" for the program; tests fix it with setClock().
QDateTime now();
QDate today();

// An empty function restores the system clock.
void setClock(std::function<QDateTime()> clock);

}  // namespace core
