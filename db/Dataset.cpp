#include "db/Dataset.h"

#include "db/Connection.h"
#include "db/DatasetDetail.h"
#include "db/DbError.h"
#include "db/SqlScan.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <cstring>
#include <limits>

namespace db {

using detail::fail;
using detail::sqliteHandle;

namespace {

const QString kRowidColumn = QStringLiteral("__qm_rowid__");

QString quoteIdentifier(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QVariant parseStoredDate(const QVariant& stored)
{
    if (stored.isNull() || !stored.isValid())
        return {};
    if (stored.metaType().id() == QMetaType::QDate || stored.metaType().id() == QMetaType::QDateTime)
        return stored;
    const QString text = stored.toString().trimmed();
    if (text.isEmpty())
        return {};
    if (text.size() <= 10) {
        const QDate d = QDate::fromString(text, Qt::ISODate);
        if (d.isValid())
            return d;
    }
    QDateTime dt = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime::fromString(text, Qt::ISODate);
    if (dt.isValid())
        return dt;
    const QDate d = QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
    if (d.isValid())
        return d;
    return stored;
}

void bindSqlite(sqlite3_stmt* st, int index, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(st, index);
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool: sqlite3_bind_int(st, index, value.toBool() ? 1 : 0); break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short: sqlite3_bind_int64(st, index, value.toLongLong()); break;
    case QMetaType::Double:
    case QMetaType::Float: sqlite3_bind_double(st, index, value.toDouble()); break;
    case QMetaType::QByteArray: {
        const QByteArray b = value.toByteArray();
        sqlite3_bind_blob(st, index, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::QDate: {
        const QByteArray t = value.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
        sqlite3_bind_text(st, index, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray t = value.toString().toUtf8();
        sqlite3_bind_text(st, index, t.constData(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

// A row read from SQLite is kept as one buffer: an offset per column, then
// per column a type byte and its bytes. One allocation per row instead of
// one per value keeps large results quick to read.
enum PackedType : char { PackedNull, PackedInt, PackedReal, PackedText, PackedBlob };

QByteArray packRow(sqlite3_stmt* st, int first, int n)
{
    const int columns = n - first;
    QByteArray buf;
    buf.reserve(columns * 16 + 64);
    buf.resize(columns * 4);
    for (int i = first; i < n; ++i) {
        const quint32 offset = static_cast<quint32>(buf.size());
        std::memcpy(buf.data() + (i - first) * 4, &offset, 4);
        switch (sqlite3_column_type(st, i)) {
        case SQLITE_INTEGER: {
            const qint64 v = sqlite3_column_int64(st, i);
            buf.append(PackedInt);
            buf.append(reinterpret_cast<const char*>(&v), 8);
            break;
        }
        case SQLITE_FLOAT: {
            const double v = sqlite3_column_double(st, i);
            buf.append(PackedReal);
            buf.append(reinterpret_cast<const char*>(&v), 8);
            break;
        }
        case SQLITE_TEXT:
        case SQLITE_BLOB: {
            const bool text = sqlite3_column_type(st, i) == SQLITE_TEXT;
            const char* p = text ? reinterpret_cast<const char*>(sqlite3_column_text(st, i))
                                 : static_cast<const char*>(sqlite3_column_blob(st, i));
            const quint32 len = static_cast<quint32>(sqlite3_column_bytes(st, i));
            buf.append(text ? PackedText : PackedBlob);
            buf.append(reinterpret_cast<const char*>(&len), 4);
            if (len > 0)
                buf.append(p, len);
            break;
        }
        default: buf.append(PackedNull); break;
        }
    }
    return buf;
}

QVariant unpackCell(const QByteArray& buf, int index)
{
    quint32 offset;
    std::memcpy(&offset, buf.constData() + index * 4, 4);
    const char* p = buf.constData() + offset;
    switch (p[0]) {
    case PackedInt: {
        qint64 v;
        std::memcpy(&v, p + 1, 8);
        return QVariant(static_cast<qlonglong>(v));
    }
    case PackedReal: {
        double v;
        std::memcpy(&v, p + 1, 8);
        return QVariant(v);
    }
    case PackedText:
    case PackedBlob: {
        quint32 len;
        std::memcpy(&len, p + 1, 4);
        if (p[0] == PackedText)
            return QVariant(QString::fromUtf8(p + 5, len));
        return QVariant(QByteArray(p + 5, len));
    }
    default: return QVariant();
    }
}

}  // namespace

// ---- Dataset --------------------------------------------------------------

Dataset::Dataset(Connection* connection, const QString& name) : m_name(name)
{
    setConnection(connection);
}

Dataset::~Dataset()
{
    if (m_connection)
        m_connection->unregisterDataset(this);
}

void Dataset::setConnection(Connection* connection)
{
    if (m_connection == connection)
        return;
    if (IsOpen())
        Close();
    if (m_connection)
        m_connection->unregisterDataset(this);
    m_connection = connection;
    if (m_connection)
        m_connection->registerDataset(this);
}

void Dataset::setSQLText(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_sql = t.split(QLatin1Char('\n'));
}

void Dataset::bindValue(const QString& placeholder, const QVariant& value)
{
    m_bindings.insert(placeholder, value);
}

Connection& Dataset::requireConnection() const
{
    if (!m_connection || !m_connection->isOpen())
        fail(QStringLiteral("La connexion à la base de données est fermée."));
    return *m_connection;
}

void Dataset::Open()
{
    if (IsOpen())
        return;
    Connection& c = requireConnection();
    const QString text = SQLText().trimmed();
    if (text.isEmpty())
        fail(QStringLiteral("La requête ne contient aucun texte SQL."));

    const SelectShape shape = scanSelect(text);
    m_table.clear();
    m_tableQualifier.clear();
    // Text columns sort in the connection's order; the SQL text itself stays.
    const QString ordered = !shape.isSelect
        ? text
        : withOrderCollation(text, c.orderCollation(), [&](const QString& qualifier, QString column) {
              QString table = shape.table;
              column = unquoteIdentifier(column);
              if (!qualifier.isEmpty()) {
                  if (unquoteIdentifier(qualifier).compare(unquoteIdentifier(shape.qualifier), Qt::CaseInsensitive)
                      != 0)
                      table = unquoteIdentifier(qualifier);
              } else {
                  column = shape.aliases.value(column.toUpper(), column);
              }
              const TableInfo* t = table.isEmpty() ? nullptr : c.tableInfo(table);
              const ColumnInfo* col = t ? t->find(column) : nullptr;
              return col && (col->type == FieldType::WideString || col->type == FieldType::WideMemo);
          });
    const TableInfo* info = nullptr;
    QString sql = ordered;
    if (shape.singleTable) {
        info = c.tableInfo(shape.table);
        if (info) {
            m_table = info->name;
            m_tableQualifier = shape.qualifier;
            sql = ordered.left(shape.selectListStart) + QLatin1Char(' ') + m_tableQualifier
                + QStringLiteral(".rowid AS ") + kRowidColumn + QLatin1Char(',') + ordered.mid(shape.selectListStart);
        }
    }

    const int first = m_table.isEmpty() ? 0 : 1;
    QStringList names;
    m_rows.clear();
    if (sqlite3* h = c.isOdbc() ? nullptr : sqliteHandle(c.database())) {
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(h, utf8.constData(), static_cast<int>(utf8.size()), &st, nullptr) != SQLITE_OK)
            fail(QString::fromUtf8(sqlite3_errmsg(h)));
        for (auto it = m_bindings.constBegin(); it != m_bindings.constEnd(); ++it) {
            const int index = sqlite3_bind_parameter_index(st, it.key().toUtf8().constData());
            if (index > 0)
                bindSqlite(st, index, it.value());
        }
        const int n = sqlite3_column_count(st);
        for (int i = first; i < n; ++i)
            names.append(QString::fromUtf8(sqlite3_column_name(st, i)));
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            Row row;
            row.rowid = first ? sqlite3_column_int64(st, 0) : -1;
            row.packed = packRow(st, first, n);
            m_rows.push_back(std::move(row));
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) {
            m_rows.clear();
            fail(QString::fromUtf8(sqlite3_errmsg(h)));
        }
    } else {
        QSqlQuery q(c.database());
        q.setForwardOnly(true);
        if (!q.prepare(sql))
            fail(sqlErrorText(q.lastError()));
        for (auto it = m_bindings.constBegin(); it != m_bindings.constEnd(); ++it) {
            if (sql.contains(it.key()))
                q.bindValue(it.key(), it.value());
        }
        if (!q.exec())
            fail(sqlErrorText(q.lastError()));
        const QSqlRecord rec = q.record();
        const int n = rec.count();
        for (int i = first; i < n; ++i)
            names.append(rec.fieldName(i));
        while (q.next()) {
            Row row;
            row.rowid = first ? q.value(0).toLongLong() : -1;
            row.values.resize(n - first);
            for (int i = first; i < n; ++i)
                row.values[i - first] = q.value(i);
            m_rows.push_back(std::move(row));
        }
        q.finish();
    }

    m_fields.clear();
    m_fieldIndex.clear();
    for (const QString& name : names) {
        FieldDef f;
        f.name = name;
        if (info) {
            const QString origin = shape.aliases.value(name.toUpper(), name);
            if (const ColumnInfo* col = info->find(origin)) {
                f.origin = col->name;
                f.type = col->type;
                f.size = col->size;
            }
        }
        m_fieldIndex.insert(f.name.toUpper(), static_cast<int>(m_fields.size()));
        m_fields.push_back(f);
    }

    m_state = State::Browse;
    m_modified = false;
    m_cur = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    moved();
}

void Dataset::Close()
{
    if (!IsOpen())
        return;
    m_state = State::Inactive;
    m_rows.clear();
    m_cur = -1;
    m_bof = m_eof = true;
    m_modified = false;
}

int Dataset::ExecSQL()
{
    Connection& c = requireConnection();
    const QString text = SQLText().trimmed();
    if (text.isEmpty())
        fail(QStringLiteral("La requête ne contient aucun texte SQL."));
    QSqlQuery q(c.database());
    if (!q.prepare(text))
        fail(sqlErrorText(q.lastError()));
    for (auto it = m_bindings.constBegin(); it != m_bindings.constEnd(); ++it) {
        if (text.contains(it.key()))
            q.bindValue(it.key(), it.value());
    }
    if (!q.exec())
        fail(sqlErrorText(q.lastError()));
    const int affected = q.numRowsAffected();
    const QString head = text.left(6).toUpper();
    if (head.startsWith(QStringLiteral("ALTER")) || head.startsWith(QStringLiteral("CREATE"))
        || head.startsWith(QStringLiteral("DROP")))
        c.forgetTableInfo();
    return affected;
}

void Dataset::moved()
{
    if (m_disableCount > 0) {
        m_movePending = true;
        return;
    }
    if (OnDataChange)
        OnDataChange(*this);
}

void Dataset::checkBrowseMode()
{
    if (!IsOpen())
        fail(QStringLiteral("Opération impossible sur un ensemble de données fermé."));
    if (Editing()) {
        if (m_modified || m_state == State::Insert)
            Post();
        else
            Cancel();
    }
}

void Dataset::First()
{
    checkBrowseMode();
    const int before = m_cur;
    m_cur = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    if (m_cur != before)
        moved();
}

void Dataset::Last()
{
    checkBrowseMode();
    const int before = m_cur;
    m_cur = static_cast<int>(m_rows.size()) - 1;
    m_eof = true;
    m_bof = m_rows.empty();
    if (m_cur != before)
        moved();
}

void Dataset::Next()
{
    checkBrowseMode();
    if (m_cur + 1 < static_cast<int>(m_rows.size())) {
        ++m_cur;
        m_bof = false;
        m_eof = false;
        moved();
    } else {
        // A failed move leaves the row where it is: only an empty set is at
        // once before its first and after its last record.
        m_eof = true;
        m_bof = m_rows.empty();
    }
}

void Dataset::Prior()
{
    checkBrowseMode();
    if (m_cur > 0) {
        --m_cur;
        m_bof = false;
        m_eof = false;
        moved();
    } else {
        m_bof = true;
        m_eof = m_rows.empty();
    }
}

bool Dataset::Locate(const QString& field, const QVariant& value, Qt::CaseSensitivity cs)
{
    checkBrowseMode();
    const int index = FieldIndex(field);
    if (index < 0)
        fail(QStringLiteral("Champ '%1' non trouvé").arg(field));
    const bool textual = value.metaType().id() == QMetaType::QString;
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        const int saved = m_cur;
        m_cur = r;
        const QVariant v = readValue(index);
        m_cur = saved;
        bool equal;
        if (!value.isValid() || value.isNull())
            equal = !v.isValid() || v.isNull();
        else if (!v.isValid() || v.isNull())
            equal = false;
        else if (textual)
            equal = v.toString().compare(value.toString(), cs) == 0;
        else
            equal = v == value || QVariant::compare(v, value) == QPartialOrdering::Equivalent;
        if (equal) {
            const int before = m_cur;
            m_cur = r;
            m_bof = false;
            m_eof = false;
            if (before != m_cur)
                moved();
            return true;
        }
    }
    return false;
}

int Dataset::FieldIndex(const QString& name) const
{
    return m_fieldIndex.value(name.toUpper(), -1);
}

QString Dataset::FieldName(int index) const
{
    return m_fields.at(index).name;
}

Field Dataset::FieldByName(const QString& name)
{
    const int index = FieldIndex(name);
    if (index < 0)
        fail(m_name.isEmpty() ? QStringLiteral("Champ '%1' non trouvé").arg(name)
                              : QStringLiteral("%1 : Champ '%2' non trouvé").arg(m_name, name));
    return Field(this, index);
}

void Dataset::requireRecord() const
{
    if (!IsOpen())
        fail(QStringLiteral("Opération impossible sur un ensemble de données fermé."));
    if (m_cur < 0)
        fail(QStringLiteral("Opération impossible sur un ensemble de données vide."));
}

void Dataset::requireWritable() const
{
    if (!IsOpen())
        fail(QStringLiteral("Opération impossible sur un ensemble de données fermé."));
    if (m_table.isEmpty())
        fail(QStringLiteral("Impossible de modifier un ensemble de données en lecture seule."));
}

QVariant Dataset::cellValue(const Row& row, int index) const
{
    if (!row.values.isEmpty())
        return row.values.at(index);
    if (row.packed.isEmpty())
        return {};
    return unpackCell(row.packed, index);
}

void Dataset::materialize(Row& row) const
{
    if (!row.values.isEmpty() || m_fields.empty())
        return;
    QVector<QVariant> values(static_cast<int>(m_fields.size()));
    for (int i = 0; i < static_cast<int>(m_fields.size()); ++i)
        values[i] = cellValue(row, i);
    row.values = std::move(values);
    row.packed.clear();
}

QVariant Dataset::readValue(int index) const
{
    if (m_cur < 0 || m_cur >= static_cast<int>(m_rows.size()))
        return {};
    const QVariant v = cellValue(m_rows[m_cur], index);
    switch (m_fields[index].type) {
    case FieldType::DateTime: return parseStoredDate(v);
    case FieldType::Boolean:
        if (!v.isValid() || v.isNull())
            return {};
        if (v.metaType().id() == QMetaType::QString) {
            bool ok = false;
            const qlonglong n = v.toString().toLongLong(&ok);
            return ok ? QVariant(n != 0)
                      : QVariant(v.toString().compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0);
        }
        return QVariant(v.toLongLong() != 0);
    default: return v;
    }
}

QVariant Dataset::toStorage(int index, const QVariant& value) const
{
    const FieldDef& f = m_fields[index];
    if (!value.isValid() || value.isNull())
        return {};
    const int tid = value.metaType().id();
    switch (f.type) {
    case FieldType::DateTime: {
        if (tid == QMetaType::QDate)
            return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        if (tid == QMetaType::QDateTime) {
            const QDateTime dt = value.toDateTime();
            if (dt.time() == QTime(0, 0))
                return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
            return dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        }
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return {};
        for (const char* fmt : {"yyyy-MM-dd", "dd/MM/yyyy"}) {
            const QDate d = QDate::fromString(text, QLatin1String(fmt));
            if (d.isValid())
                return d.toString(QStringLiteral("yyyy-MM-dd"));
        }
        for (const char* fmt : {"yyyy-MM-dd hh:mm:ss", "dd/MM/yyyy hh:mm:ss", "yyyy-MM-ddThh:mm:ss"}) {
            const QDateTime dt = QDateTime::fromString(text, QLatin1String(fmt));
            if (dt.isValid())
                return dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        }
        fail(QStringLiteral("\"%1\" n'est pas une date correcte.").arg(text));
    }
    case FieldType::Boolean:
        if (tid == QMetaType::QString) {
            const QString t = value.toString().trimmed();
            bool ok = false;
            const qlonglong n = t.toLongLong(&ok);
            if (ok)
                return n != 0 ? 1 : 0;
            return t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 ? 1 : 0;
        }
        return value.toBool() ? 1 : 0;
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::AutoInc: {
        bool ok = false;
        qlonglong n;
        if (tid == QMetaType::QString)
            n = value.toString().trimmed().toLongLong(&ok);
        else if (tid == QMetaType::Double || tid == QMetaType::Float)
            n = qRound64(value.toDouble()), ok = true;
        else
            n = value.toLongLong(&ok);
        if (!ok)
            fail(QStringLiteral("\"%1\" n'est pas une valeur entière correcte.").arg(value.toString()));
        // The columns keep the sizes of the original file format.
        const qlonglong lo = f.type == FieldType::Smallint ? -32768 : std::numeric_limits<qint32>::min();
        const qlonglong hi = f.type == FieldType::Smallint ? 32767 : std::numeric_limits<qint32>::max();
        if (n < lo || n > hi)
            fail(QStringLiteral("Dépassement de capacité : la valeur %1 ne tient pas dans le champ %2.")
                     .arg(n)
                     .arg(f.name));
        return n;
    }
    case FieldType::Float: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok)
            fail(QStringLiteral("\"%1\" n'est pas une valeur numérique correcte.").arg(value.toString()));
        return d;
    }
    case FieldType::WideString:
    case FieldType::WideMemo:
        if (tid == QMetaType::QByteArray)
            return QString::fromUtf8(value.toByteArray());
        return value.toString();
    case FieldType::Blob: return value.toByteArray();
    case FieldType::Unknown: break;
    }
    if (tid == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    if (tid == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    return value;
}

void Dataset::setFieldValue(int index, const QVariant& value)
{
    if (!Editing())
        fail(QStringLiteral("L'ensemble de données n'est pas en mode édition ou insertion."));
    if (m_fields[index].origin.isEmpty())
        fail(QStringLiteral("Le champ '%1' ne peut pas être modifié.").arg(m_fields[index].name));
    materialize(m_rows[m_cur]);
    m_rows[m_cur].values[index] = toStorage(index, value);
    m_changed[index] = true;
    m_modified = true;
}

void Dataset::Edit()
{
    if (Editing())
        return;
    requireWritable();
    requireRecord();
    m_saved = m_rows[m_cur];
    m_changed.assign(m_fields.size(), false);
    m_modified = false;
    m_state = State::Edit;
}

void Dataset::beginInsert(bool append)
{
    requireWritable();
    checkBrowseMode();
    Row row;
    row.values.resize(static_cast<int>(m_fields.size()));
    int at = append || m_cur < 0 ? static_cast<int>(m_rows.size()) : m_cur;
    m_rows.insert(m_rows.begin() + at, std::move(row));
    m_savedIndex = m_cur;
    m_cur = at;
    m_bof = m_eof = false;
    m_changed.assign(m_fields.size(), false);
    m_modified = false;
    m_state = State::Insert;
    if (OnNewRecord) {
        try {
            OnNewRecord(*this);
        } catch (...) {
            if (m_state == State::Insert)
                Cancel();
            throw;
        }
    }
    moved();
}

void Dataset::Insert()
{
    beginInsert(false);
}

void Dataset::Append()
{
    beginInsert(true);
}

void Dataset::fetchRow(qint64 rowid, Row& row)
{
    Connection& c = requireConnection();
    QSqlQuery q(c.database());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT * FROM ") + quoteIdentifier(m_table) + QStringLiteral(" WHERE rowid=?")))
        fail(sqlErrorText(q.lastError()));
    q.addBindValue(rowid);
    if (!q.exec())
        fail(sqlErrorText(q.lastError()));
    if (!q.next())
        fail(QStringLiteral("L'enregistrement est introuvable dans la table %1.").arg(m_table));
    const QSqlRecord rec = q.record();
    materialize(row);
    for (int i = 0; i < static_cast<int>(m_fields.size()); ++i) {
        if (m_fields[i].origin.isEmpty())
            continue;
        const int col = rec.indexOf(m_fields[i].origin);
        if (col >= 0)
            row.values[i] = q.value(col);
    }
    row.rowid = rowid;
}

void Dataset::Post()
{
    if (!Editing())
        fail(QStringLiteral("L'ensemble de données n'est pas en mode édition ou insertion."));
    if (BeforePost)
        BeforePost(*this);
    Connection& c = requireConnection();
    Row& row = m_rows[m_cur];
    materialize(row);

    // A column may appear under two result names; the last set one wins.
    QStringList columns;
    QVariantList values;
    for (int i = 0; i < static_cast<int>(m_fields.size()); ++i) {
        if (!m_changed[i] || m_fields[i].origin.isEmpty())
            continue;
        const qsizetype existing = columns.indexOf(m_fields[i].origin);
        if (existing >= 0) {
            values[existing] = row.values[i];
            continue;
        }
        columns.append(m_fields[i].origin);
        values.append(row.values[i]);
    }

    if (m_state == State::Insert) {
        QString sql = QStringLiteral("INSERT INTO ") + quoteIdentifier(m_table);
        if (columns.isEmpty()) {
            sql += QStringLiteral(" DEFAULT VALUES");
        } else {
            QStringList quoted, marks;
            for (const QString& col : columns) {
                quoted.append(quoteIdentifier(col));
                marks.append(QStringLiteral("?"));
            }
            sql += QStringLiteral(" (") + quoted.join(QLatin1Char(',')) + QStringLiteral(") VALUES (")
                + marks.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        QSqlQuery q(c.database());
        if (!q.prepare(sql))
            fail(sqlErrorText(q.lastError()));
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec())
            fail(sqlErrorText(q.lastError()));
        QVariant id = q.lastInsertId();
        q.finish();
        if (!id.isValid() || id.isNull()) {
            const auto v = c.scalar(QStringLiteral("SELECT last_insert_rowid()"));
            id = v ? *v : QVariant();
        }
        // The new row is read back so counters and defaults show at once.
        fetchRow(id.toLongLong(), row);
    } else if (!columns.isEmpty()) {
        QStringList sets;
        for (const QString& col : columns)
            sets.append(quoteIdentifier(col) + QStringLiteral("=?"));
        QSqlQuery q(c.database());
        if (!q.prepare(QStringLiteral("UPDATE ") + quoteIdentifier(m_table) + QStringLiteral(" SET ")
                       + sets.join(QLatin1Char(',')) + QStringLiteral(" WHERE rowid=?")))
            fail(sqlErrorText(q.lastError()));
        for (const QVariant& v : values)
            q.addBindValue(v);
        q.addBindValue(row.rowid);
        if (!q.exec())
            fail(sqlErrorText(q.lastError()));
        if (q.numRowsAffected() == 0)
            fail(QStringLiteral("L'enregistrement à modifier est introuvable : il a été supprimé."));
    }
    m_state = State::Browse;
    m_modified = false;
    m_changed.clear();
    if (AfterPost)
        AfterPost(*this);
}

void Dataset::Cancel()
{
    if (m_state == State::Edit) {
        m_rows[m_cur] = m_saved;
        m_state = State::Browse;
        m_modified = false;
        return;
    }
    if (m_state == State::Insert) {
        m_rows.erase(m_rows.begin() + m_cur);
        m_state = State::Browse;
        m_modified = false;
        const int count = static_cast<int>(m_rows.size());
        m_cur = count == 0 ? -1 : qBound(0, m_savedIndex < 0 ? 0 : m_savedIndex, count - 1);
        m_bof = count == 0 || m_cur == 0;
        m_eof = count == 0;
        moved();
    }
}

void Dataset::Delete()
{
    if (m_state == State::Insert) {
        Cancel();
        return;
    }
    if (m_state == State::Edit)
        Cancel();
    requireWritable();
    requireRecord();
    Connection& c = requireConnection();
    // The cascade and the deletion are one transaction, so a crash leaves
    // everything or nothing. A failure keeps what the cascade already
    // deleted, and the row itself stays.
    const bool own = !c.inTransaction();
    if (own)
        c.beginTransaction();
    try {
        if (BeforeDelete)
            BeforeDelete(*this);
        QSqlQuery q(c.database());
        if (!q.prepare(QStringLiteral("DELETE FROM ") + quoteIdentifier(m_table) + QStringLiteral(" WHERE rowid=?")))
            fail(sqlErrorText(q.lastError()));
        q.addBindValue(m_rows[m_cur].rowid);
        if (!q.exec())
            fail(sqlErrorText(q.lastError()));
    } catch (...) {
        if (own && c.inTransaction())
            c.commit();
        throw;
    }
    if (own)
        c.commit();
    m_rows.erase(m_rows.begin() + m_cur);
    const int count = static_cast<int>(m_rows.size());
    if (m_cur >= count)
        m_cur = count - 1;
    m_bof = count == 0 || m_cur == 0;
    m_eof = count == 0;
    if (AfterDelete)
        AfterDelete(*this);
    moved();
}

void Dataset::DisableControls()
{
    ++m_disableCount;
}

void Dataset::EnableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0 && m_movePending) {
        m_movePending = false;
        if (OnDataChange)
            OnDataChange(*this);
    }
}

}  // namespace db
