#include "db/RowReader.h"

#include "db/Connection.h"
#include "db/DatasetDetail.h"
#include "db/SqlScan.h"

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

namespace db {

using detail::fail;
using detail::sqliteHandle;

namespace {

class SqliteRow : public RowView {
public:
    explicit SqliteRow(sqlite3_stmt* st) : m_st(st) { }
    bool isNull(int c) const override { return sqlite3_column_type(m_st, c) == SQLITE_NULL; }
    qint64 integer(int c) const override { return sqlite3_column_int64(m_st, c); }
    QByteArrayView text(int c) const override
    {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_st, c));
        return t ? QByteArrayView(t, sqlite3_column_bytes(m_st, c)) : QByteArrayView();
    }

private:
    sqlite3_stmt* m_st;
};

class QueryRow : public RowView {
public:
    explicit QueryRow(const QSqlQuery& q) : m_q(q) { }
    bool isNull(int c) const override { return m_q.isNull(c); }
    qint64 integer(int c) const override { return m_q.value(c).toLongLong(); }
    QByteArrayView text(int c) const override
    {
        m_text = m_q.value(c).toString().toUtf8();
        return m_text;
    }

private:
    const QSqlQuery& m_q;
    mutable QByteArray m_text;
};

}  // namespace

void ForEachRow(Connection& c, const QString& sql, const std::function<void(const RowView&)>& take)
{
    if (!c.isOpen())
        fail(QStringLiteral("La connexion à la base de données est fermée."));
    if (sqlite3* h = c.isOdbc() ? nullptr : sqliteHandle(c.database())) {
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(h, utf8.constData(), static_cast<int>(utf8.size()), &st, nullptr) != SQLITE_OK)
            fail(QString::fromUtf8(sqlite3_errmsg(h)));
        const SqliteRow row(st);
        int rc;
        try {
            while ((rc = sqlite3_step(st)) == SQLITE_ROW)
                take(row);
        } catch (...) {
            sqlite3_finalize(st);
            throw;
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            fail(QString::fromUtf8(sqlite3_errmsg(h)));
        return;
    }
    QSqlQuery q(c.database());
    q.setForwardOnly(true);
    if (!q.exec(sql))
        fail(sqlErrorText(q.lastError()));
    const QueryRow row(q);
    while (q.next())
        take(row);
}

}  // namespace db
