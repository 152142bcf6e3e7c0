#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

namespace db {

class Connection;

// One row of a forward-only read; valid only inside the callback.
class RowView {
public:
    virtual ~RowView() = default;
    virtual bool isNull(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    // UTF-8 text of the column.
    virtual QByteArrayView text(int column) const = 0;
};

// Runs a SELECT and hands every row to take, in result order, without
// buffering the result: for large reads (the planning of a month). SQLite
// is read directly; other drivers through a forward-only query. Throws
// DbError with the layer's message.
void ForEachRow(Connection& connection, const QString& sql, const std::function<void(const RowView&)>& take);

}  // namespace db
