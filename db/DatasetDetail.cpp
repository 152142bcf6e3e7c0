#include "db/DatasetDetail.h"

#include "db/DbError.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

namespace db::detail {

void fail(const QString& text)
{
    throw DbError(text);
}

sqlite3* sqliteHandle(const QSqlDatabase& db)
{
    if (!db.driver())
        return nullptr;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.constData());
}

}  // namespace db::detail
