#pragma once

#include "db/Dataset.h"

#include <QString>

namespace db {

class Connection;

// Attribute types of the object store.
inline constexpr int kAttributeInteger = 1;
inline constexpr int kAttributeBoolean = 2;
// A text of any length in OBJECT_VAL_MEMO, for values beyond the design's.
inline constexpr int kAttributeMemo = 5;

// The attribute-value store: small per-dossier values addressed by owner,
// class name and attribute name, one row per identity. Class and attribute
// rows are created on first use and never deleted. Database errors raise.
class TDataModuleObject {
public:
    explicit TDataModuleObject(Connection& connection);
    ~TDataModuleObject();

    static TDataModuleObject* instance();

    int GetClassId(const QString& className);
    int GetAttributeId(const QString& attributeName, int type);

    // The stored value, or the default after storing it. NULL reads 0 / false.
    int ReadInteger(int owner, const QString& className, const QString& attributeName, int def);
    void WriteInteger(int owner, const QString& className, const QString& attributeName, int value);
    bool ReadBoolean(int owner, const QString& className, const QString& attributeName, bool def);
    void WriteBoolean(int owner, const QString& className, const QString& attributeName, bool value);
    QString ReadMemo(int owner, const QString& className, const QString& attributeName, const QString& def);
    void WriteMemo(int owner, const QString& className, const QString& attributeName, const QString& value);

    Dataset ObjectClass;
    Dataset ObjectAttribute;
    Dataset ObjectValBit;
    Dataset ObjectValInt;
    Dataset ObjectValMemo;
    Dataset ObjectValOle;
    Dataset ObjectValStr;
    Dataset ObjectValReal;

private:
    int findOrCreate(Dataset& query, const QString& name, int type);
    bool findValue(Dataset& query, int owner, int classId, int attributeId);
    QVariant readValue(Dataset& query, int type, int owner, const QString& cls, const QString& attr,
                       const QVariant& def);
    void writeValue(Dataset& query, int type, int owner, const QString& cls, const QString& attr,
                    const QVariant& value);
};

}  // namespace db
