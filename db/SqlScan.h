#pragma once

#include <QHash>
#include <QString>
#include <QVector>

#include <functional>

namespace db {

// What a SELECT text says about where its rows can be written back.
struct SelectShape {
    bool isSelect = false;
    bool singleTable = false;        // one table, no join, group, union or distinct
    QString table;                   // the table named after FROM, unquoted
    QString qualifier;               // its alias when one is given, else the table
    qsizetype selectListStart = -1;  // offset just after the SELECT keyword
    // Upper-case result name -> column of the table, for "col AS alias" items.
    QHash<QString, QString> aliases;
};

SelectShape scanSelect(const QString& sql);

// Removes the quoting of an identifier: [x], "x", `x`.
QString unquoteIdentifier(const QString& name);

// The SELECT text with " COLLATE <collation>" after each ORDER BY term that
// is a plain column (optionally qualified, ASC or DESC) naming no collation
// of its own, for which isText(qualifier, column) answers true; the
// qualifier is empty when none is written. Other texts come back unchanged.
QString withOrderCollation(const QString& sql, const QString& collation,
                           const std::function<bool(const QString& qualifier, const QString& column)>& isText);

}  // namespace db
