#include "db/FieldType.h"

namespace db {

FieldType fieldTypeFromDeclared(const QString& declaredType, bool primaryKey)
{
    const QString t = declaredType.trimmed().toUpper();
    auto starts = [&t](const char* p) { return t.startsWith(QLatin1String(p)); };
    if (starts("INTEGER") && primaryKey)
        return FieldType::AutoInc;
    if (starts("COUNTER") || starts("AUTOINCREMENT"))
        return FieldType::AutoInc;
    if (starts("LONGBINARY") || starts("LONGBLOB"))
        return FieldType::Blob;
    if (starts("LONGTEXT"))
        return FieldType::WideMemo;
    if (starts("SMALLINT"))
        return FieldType::Smallint;
    if (starts("INTEGER") || starts("INT") || starts("LONG"))
        return FieldType::Integer;
    if (starts("DOUBLE") || starts("REAL") || starts("FLOAT") || starts("NUMERIC"))
        return FieldType::Float;
    if (starts("YESNO") || starts("BOOL") || starts("BIT"))
        return FieldType::Boolean;
    if (starts("DATETIME") || starts("DATE") || starts("TIMESTAMP"))
        return FieldType::DateTime;
    if (starts("MEMO") || starts("LONGTEXT") || starts("TEXT") || starts("CLOB"))
        return FieldType::WideMemo;
    if (starts("VARCHAR") || starts("CHAR") || starts("NVARCHAR") || starts("NCHAR"))
        return FieldType::WideString;
    if (starts("LONGBINARY") || starts("BLOB") || starts("BINARY") || starts("IMAGE"))
        return FieldType::Blob;
    return FieldType::Unknown;
}

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::Unknown: return QStringLiteral("ftUnknown");
    case FieldType::AutoInc: return QStringLiteral("ftAutoInc");
    case FieldType::Smallint: return QStringLiteral("ftSmallint");
    case FieldType::Integer: return QStringLiteral("ftInteger");
    case FieldType::Float: return QStringLiteral("ftFloat");
    case FieldType::Boolean: return QStringLiteral("ftBoolean");
    case FieldType::DateTime: return QStringLiteral("ftDateTime");
    case FieldType::WideString: return QStringLiteral("ftWideString");
    case FieldType::WideMemo: return QStringLiteral("ftWideMemo");
    case FieldType::Blob: return QStringLiteral("ftBlob");
    }
    return {};
}

}  // namespace db
