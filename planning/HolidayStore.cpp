#include "planning/HolidayStore.h"

#include "db/Connection.h"
#include "db/TDataModuleObject.h"

#include <optional>

namespace planning {

namespace {
const QString kShow = QStringLiteral("ShowHolidays");
const QString kAlsaceMoselle = QStringLiteral("HolidaysAlsaceMoselle");
const QString kSwitchedOff = QStringLiteral("HolidaysSwitchedOff");
const QString kClosedDays = QStringLiteral("ClosedDays");
const QString kLogical = QStringLiteral("Logical");
const QString kInteger = QStringLiteral("Integer");
const QString kMemo = QStringLiteral("Memo");
}  // namespace

HolidaySettings ReadHolidaySettings(db::TDataModuleObject& store, int dossierId)
{
    HolidaySettings s;
    s.showInPlanning = store.ReadBoolean(dossierId, kShow, kLogical, false);
    s.alsaceMoselle = store.ReadBoolean(dossierId, kAlsaceMoselle, kLogical, false);
    s.switchedOff =
        static_cast<quint32>(store.ReadInteger(dossierId, kSwitchedOff, kInteger, 0)) & ((1u << kHolidayKinds) - 1);
    s.closures = ClosedDaysFromText(store.ReadMemo(dossierId, kClosedDays, kMemo, QString()));
    return s;
}

void WriteHolidaySettings(db::TDataModuleObject& store, int dossierId, const HolidaySettings& s)
{
    db::Connection* connection = store.ObjectValBit.connection();
    std::optional<db::Transaction> transaction;
    if (connection && !connection->inTransaction())
        transaction.emplace(*connection);
    store.WriteBoolean(dossierId, kShow, kLogical, s.showInPlanning);
    store.WriteBoolean(dossierId, kAlsaceMoselle, kLogical, s.alsaceMoselle);
    store.WriteInteger(dossierId, kSwitchedOff, kInteger, static_cast<int>(s.switchedOff));
    store.WriteMemo(dossierId, kClosedDays, kMemo, ClosedDaysToText(s.closures));
    if (transaction)
        transaction->commit();
}

}  // namespace planning
