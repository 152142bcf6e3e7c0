#pragma once

#include "db/FieldType.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <vector>

namespace db {

class Connection;
class Dataset;

// One field of a dataset's current record.
class Field {
public:
    Field(Dataset* dataset, int index) : m_ds(dataset), m_index(index) { }

    QString Name() const;
    FieldType Type() const;
    int Size() const;
    bool ReadOnly() const;

    // Dates come back as QDate (QDateTime when a time is stored), booleans as
    // bool; a NULL as an invalid QVariant.
    QVariant Value() const;
    bool IsNull() const;
    int AsInteger() const;     // NULL reads 0
    double AsFloat() const;    // NULL reads 0
    bool AsBoolean() const;    // NULL reads false
    QString AsString() const;  // NULL reads ""; dates as dd/MM/yyyy
    QDate AsDate() const;
    QDateTime AsDateTime() const;
    QByteArray AsBlob() const;

    // Only in the edit and insert states; throws DbError otherwise or when
    // the value does not fit the column.
    void SetValue(const QVariant& value);
    void Clear();

private:
    Dataset* m_ds;
    int m_index;
};

// A query over the program's connection in the manner of a Delphi data set:
// an SQL text kept as lines, a buffer of the rows read, a current record,
// the browse, edit and insert states, and events. Rows of a query over one
// table are written back by the table's rowid, so tables without a key and
// identical rows are handled exactly. Queries over joins, groups or unions are
// read-only. Failures throw DbError with the layer's message.
//
// The data-change event runs once on every move to another record (opening,
// navigation, insertion, deletion, cancelled insertion), unless controls are
// disabled; enabling them again runs it once when a move happened meanwhile.
class Dataset {
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit Dataset(Connection* connection = nullptr, const QString& name = {});
    ~Dataset();
    Dataset(const Dataset&) = delete;
    Dataset& operator=(const Dataset&) = delete;

    void setConnection(Connection* connection);
    Connection* connection() const { return m_connection; }
    const QString& name() const { return m_name; }

    // The SQL text, one clause per line. Changing it does not reopen.
    QStringList& SQL() { return m_sql; }
    const QStringList& SQL() const { return m_sql; }
    void setSQL(const QStringList& lines) { m_sql = lines; }
    void setSQLText(const QString& text);
    QString SQLText() const { return m_sql.join(QLatin1Char('\n')); }

    // Values for ":name" placeholders; user text always goes through here.
    void bindValue(const QString& placeholder, const QVariant& value);
    void clearBindings() { m_bindings.clear(); }

    void Open();
    void Close();
    bool IsOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool Editing() const { return m_state == State::Edit || m_state == State::Insert; }
    // Runs the SQL text as a statement; answers the rows affected.
    int ExecSQL();

    void First();
    void Next();
    void Prior();
    void Last();
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    bool IsEmpty() const { return m_bof && m_eof; }
    int RecordCount() const { return static_cast<int>(m_rows.size()); }
    int RecNo() const { return m_cur + 1; }
    // Moves to the first record whose field equals value; false leaves the
    // current record where it was.
    bool Locate(const QString& field, const QVariant& value, Qt::CaseSensitivity cs = Qt::CaseSensitive);

    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    int FieldIndex(const QString& name) const;  // without regard to case; -1 when none
    bool HasField(const QString& name) const { return FieldIndex(name) >= 0; }
    QString FieldName(int index) const;
    // Throws DbError when the field does not exist.
    Field FieldByName(const QString& name);
    Field FieldAt(int index) { return Field(this, index); }
    QVariant Value(const QString& name) { return FieldByName(name).Value(); }

    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    bool Modified() const { return m_modified; }

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // The table rows are written to; empty for a read-only query.
    const QString& baseTable() const { return m_table; }

    std::function<void(Dataset&)> OnNewRecord;
    std::function<void(Dataset&)> BeforePost;
    std::function<void(Dataset&)> AfterPost;
    std::function<void(Dataset&)> BeforeDelete;
    std::function<void(Dataset&)> AfterDelete;
    std::function<void(Dataset&)> OnDataChange;

    // Called by the connection when it goes away first.
    void detachConnection() { m_connection = nullptr; }

private:
    friend class Field;

    struct FieldDef {
        QString name;
        QString origin;  // column of the base table; empty for an expression
        FieldType type = FieldType::Unknown;
        int size = 0;
    };
    struct Row {
        qint64 rowid = -1;
        QByteArray packed;         // the columns as read, decoded on access
        QVector<QVariant> values;  // used instead once the row is edited or new
    };

    Connection& requireConnection() const;
    void analyseSql(const QString& text);
    void requireRecord() const;
    void requireWritable() const;
    void checkBrowseMode();
    void beginInsert(bool append);
    void moved();
    void fetchRow(qint64 rowid, Row& row);
    QVariant readValue(int index) const;
    QVariant cellValue(const Row& row, int index) const;
    void materialize(Row& row) const;
    QVariant toStorage(int index, const QVariant& value) const;
    void setFieldValue(int index, const QVariant& value);

    Connection* m_connection = nullptr;
    QString m_name;
    QStringList m_sql;
    QHash<QString, QVariant> m_bindings;

    State m_state = State::Inactive;
    std::vector<FieldDef> m_fields;
    QHash<QString, int> m_fieldIndex;  // upper-case name
    std::vector<Row> m_rows;
    int m_cur = -1;
    bool m_bof = true;
    bool m_eof = true;

    QString m_table;
    QString m_tableQualifier;
    Row m_saved;
    int m_savedIndex = -1;
    std::vector<bool> m_changed;
    bool m_modified = false;

    int m_disableCount = 0;
    bool m_movePending = false;
};

}  // namespace db
