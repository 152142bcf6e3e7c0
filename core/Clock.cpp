#include "core/Clock.h"

namespace core {

namespace {
std::function<QDateTime()>& clockFunction()
{
    static std::function<QDateTime()> f;
    return f;
}
}  // namespace

QDateTime now()
{
    const auto& f = clockFunction();
    return f ? f() : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void setClock(std::function<QDateTime()> clock)
{
    clockFunction() = std::move(clock);
}

}  // namespace core
