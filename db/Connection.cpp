#include "db/Connection.h"

#include "db/Dataset.h"
#include "db/DbError.h"

#include "core/StringUtils.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <sqlite3.h>

#include <atomic>

namespace db {

const ColumnInfo* TableInfo::find(const QString& column) const
{
    for (const ColumnInfo& c : columns) {
        if (c.name.compare(column, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QString sqlErrorText(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Erreur inconnue de la base de données");
    return text;
}

namespace {

// SQLite hands over native UTF-16 with lengths in bytes.
int frenchCollation(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return core::compareFrench(QStringView(static_cast<const char16_t*>(a), lengthA / 2),
                               QStringView(static_cast<const char16_t*>(b), lengthB / 2));
}

bool registerFrenchCollation(const QSqlDatabase& db)
{
    if (!db.driver())
        return false;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3* h = *static_cast<sqlite3* const*>(v.constData());
    return h
        && sqlite3_create_collation_v2(h, Connection::kFrenchCollation, SQLITE_UTF16, nullptr, frenchCollation, nullptr)
        == SQLITE_OK;
}

}  // namespace

Connection::Connection()
{
    static std::atomic<int> counter{0};
    m_name = QStringLiteral("planning-connection-%1").arg(++counter);
}

Connection::~Connection()
{
    close();
    for (Dataset* d : m_datasets)
        d->detachConnection();
}

QString Connection::connectionValue(const QString& name) const
{
    const QStringList parts = m_connectionString.split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (part.left(eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return {};
}

void Connection::open()
{
    close();
    const QString provider = connectionValue(QStringLiteral("Provider"));
    const QString source = connectionValue(QStringLiteral("Data Source"));
    m_odbc = provider.startsWith(QStringLiteral("MSDASQL"), Qt::CaseInsensitive);

    QString error;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(m_odbc ? QStringLiteral("QODBC") : QStringLiteral("QSQLITE"), m_name);
        if (!db.isValid()) {
            error = m_odbc ? QStringLiteral("Le pilote ODBC n'est pas disponible.")
                           : QStringLiteral("Le pilote SQLite n'est pas disponible.");
        } else if (m_odbc) {
            // QODBC adds the "DSN=" itself.
            db.setDatabaseName(source);
            if (!db.open())
                error = sqlErrorText(db.lastError());
        } else if (!QFileInfo(source).isFile()) {
            error = QStringLiteral("Le fichier de base de données \"%1\" est introuvable.").arg(source);
        } else {
            // mode=rw: never create a database where the file vanished.
            QUrl url = QUrl::fromLocalFile(QFileInfo(source).absoluteFilePath());
            url.setQuery(QStringLiteral("mode=rw"));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
            db.setDatabaseName(url.toString(QUrl::FullyEncoded));
            if (!db.open())
                error = sqlErrorText(db.lastError());
        }
        if (error.isEmpty()) {
            QSqlQuery q(db);
            // The first read tells a file that is not a database; the pragmas
            // keep the data one file at rest and make every commit durable.
            if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                error = sqlErrorText(q.lastError());
            else if (!m_odbc) {
                q.finish();
                q.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
                q.finish();
                q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
            }
            if (error.isEmpty()) {
                // The ODBC driver's connection takes no collation of ours:
                // there lists sort without regard to case only.
                m_orderCollation = !m_odbc && registerFrenchCollation(db) ? QString::fromLatin1(kFrenchCollation)
                                                                          : QStringLiteral("NOCASE");
            }
        }
        if (!error.isEmpty())
            db.close();
    }
    if (!error.isEmpty()) {
        QSqlDatabase::removeDatabase(m_name);
        throw DbError(error);
    }
}

void Connection::close()
{
    m_orderCollation.clear();
    for (Dataset* d : m_datasets) {
        if (d->IsOpen())
            d->Close();
    }
    m_tables.clear();
    if (m_inTransaction) {
        try {
            rollback();
        } catch (...) {
        }
    }
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

int Connection::exec(const QString& sql, const QVariantList& values)
{
    if (!isOpen())
        throw DbError(QStringLiteral("La connexion à la base de données est fermée."));
    QSqlQuery q(database());
    if (!q.prepare(sql))
        throw DbError(sqlErrorText(q.lastError()));
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (!q.exec())
        throw DbError(sqlErrorText(q.lastError()));
    const int affected = q.numRowsAffected();
    const QString head = sql.trimmed().left(6).toUpper();
    if (head.startsWith(QStringLiteral("ALTER")) || head.startsWith(QStringLiteral("CREATE"))
        || head.startsWith(QStringLiteral("DROP")))
        m_tables.clear();
    return affected;
}

std::optional<QVariant> Connection::scalar(const QString& sql, const QVariantList& values)
{
    if (!isOpen())
        throw DbError(QStringLiteral("La connexion à la base de données est fermée."));
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw DbError(sqlErrorText(q.lastError()));
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (!q.exec())
        throw DbError(sqlErrorText(q.lastError()));
    if (!q.next())
        return std::nullopt;
    return q.value(0);
}

const TableInfo* Connection::tableInfo(const QString& table)
{
    const QString key = table.toUpper();
    auto it = m_tables.constFind(key);
    if (it != m_tables.constEnd())
        return &it.value();
    if (!isOpen())
        return nullptr;
    TableInfo info;
    {
        QSqlQuery q(database());
        q.setForwardOnly(true);
        QString quoted = table;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        if (!q.exec(QStringLiteral("PRAGMA table_info(\"") + quoted + QStringLiteral("\")")))
            return nullptr;
        while (q.next()) {
            ColumnInfo c;
            c.name = q.value(1).toString();
            c.declaredType = q.value(2).toString();
            c.primaryKey = q.value(5).toInt() != 0;
            c.type = fieldTypeFromDeclared(c.declaredType, c.primaryKey);
            const qsizetype open = c.declaredType.indexOf(QLatin1Char('('));
            if (open > 0)
                c.size = c.declaredType.mid(open + 1).section(QLatin1Char(')'), 0, 0).toInt();
            info.columns.append(c);
        }
    }
    if (info.columns.isEmpty())
        return nullptr;
    info.name = table;
    return &m_tables.insert(key, info).value();
}

void Connection::beginTransaction()
{
    if (!isOpen())
        throw DbError(QStringLiteral("La connexion à la base de données est fermée."));
    if (!database().transaction())
        throw DbError(sqlErrorText(database().lastError()));
    m_inTransaction = true;
}

void Connection::commit()
{
    if (!database().commit())
        throw DbError(sqlErrorText(database().lastError()));
    m_inTransaction = false;
    auto actions = std::move(m_afterCommit);
    m_afterCommit.clear();
    for (auto& action : actions)
        action();
}

void Connection::rollback()
{
    m_inTransaction = false;
    m_afterCommit.clear();
    if (isOpen() && !database().rollback())
        throw DbError(sqlErrorText(database().lastError()));
}

void Connection::runAfterCommit(std::function<void()> action)
{
    if (m_inTransaction)
        m_afterCommit.push_back(std::move(action));
    else
        action();
}

void Connection::registerDataset(Dataset* dataset)
{
    if (!m_datasets.contains(dataset))
        m_datasets.append(dataset);
}

void Connection::unregisterDataset(Dataset* dataset)
{
    m_datasets.removeAll(dataset);
}

}  // namespace db
