#pragma once

#include "db/FieldType.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <QVector>

#include <functional>
#include <optional>
#include <vector>

namespace db {

class Dataset;

struct ColumnInfo {
    QString name;
    QString declaredType;
    FieldType type = FieldType::Unknown;
    int size = 0;  // characters of a VARCHAR(n), 0 otherwise
    bool primaryKey = false;
};

struct TableInfo {
    QString name;
    QVector<ColumnInfo> columns;
    const ColumnInfo* find(const QString& column) const;  // without regard to case
};

// The one database connection of the program. The connection string follows
// the design's form "Provider=...;Data Source=...;...": the provider
// "MSDASQL.1" opens the ODBC data source named by Data Source through QODBC;
// any other provider opens Data Source as an SQLite file, which must exist.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& text) { m_connectionString = text; }
    const QString& connectionString() const { return m_connectionString; }
    // The value of one "Name=value" part of the connection string.
    QString connectionValue(const QString& name) const;

    // Throws DbError with the layer's message when the open fails; the
    // connection then stays closed.
    void open();
    // Closes every open dataset of the connection first.
    void close();
    bool isOpen() const;

    QSqlDatabase database() const;
    bool isOdbc() const { return m_odbc; }
    // The collation that text columns of an ORDER BY take: "FRENCH" (French
    // order without regard to case or accents, registered on the SQLite
    // file's connection); through ODBC, where nothing can be registered,
    // SQLite's own "NOCASE". Empty while closed.
    const QString& orderCollation() const { return m_orderCollation; }
    static constexpr const char* kFrenchCollation = "FRENCH";

    // Runs one statement with positional "?" values; answers the rows
    // affected. Throws DbError.
    int exec(const QString& sql, const QVariantList& values = {});
    // First column of the first row, or nothing.
    std::optional<QVariant> scalar(const QString& sql, const QVariantList& values = {});

    // Column layout of a table, read once per open connection; nothing when
    // the table does not exist.
    const TableInfo* tableInfo(const QString& table);
    void forgetTableInfo() { m_tables.clear(); }

    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }
    // Runs action after the current transaction commits (at once outside
    // one); a rollback drops it. Used for files that go with deleted rows.
    void runAfterCommit(std::function<void()> action);

    void registerDataset(Dataset* dataset);
    void unregisterDataset(Dataset* dataset);

private:
    QString m_name;
    QString m_connectionString;
    bool m_odbc = false;
    QString m_orderCollation;
    bool m_inTransaction = false;
    QVector<Dataset*> m_datasets;
    std::vector<std::function<void()>> m_afterCommit;
    QHash<QString, TableInfo> m_tables;  // key: upper-case table name
};

// Commits when commit() is called, rolls back when left otherwise.
class Transaction {
public:
    explicit Transaction(Connection& c) : m_c(c) { m_c.beginTransaction(); }
    ~Transaction()
    {
        if (!m_done) {
            try {
                m_c.rollback();
            } catch (...) {
            }
        }
    }
    void commit()
    {
        m_c.commit();
        m_done = true;
    }

private:
    Connection& m_c;
    bool m_done = false;
};

// The message of the last error of a query or database, as the layer words it.
QString sqlErrorText(const class QSqlError& error);

}  // namespace db
