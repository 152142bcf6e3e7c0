#pragma once

#include <QString>

namespace db {

// Column kinds as the update scripts name them.
enum class FieldType {
    Unknown,
    AutoInc,     // COUNTER
    Smallint,    // SMALLINT
    Integer,     // INTEGER
    Float,       // DOUBLE
    Boolean,     // YESNO
    DateTime,    // DATETIME, ISO text in the file
    WideString,  // VARCHAR(n)
    WideMemo,    // MEMO
    Blob,        // LONGBINARY
};

// The kind of a declared column type; primaryKey marks the counter column.
FieldType fieldTypeFromDeclared(const QString& declaredType, bool primaryKey);

// "ftAutoInc", "ftSmallint", ... as the design's reports spell them.
QString fieldTypeName(FieldType type);

}  // namespace db
