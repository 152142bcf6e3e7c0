#include "db/TDataModuleObject.h"

#include "db/Connection.h"
#include "db/QueryHelpers.h"

namespace db {

namespace {
TDataModuleObject* g_instance = nullptr;
}

TDataModuleObject::TDataModuleObject(Connection& c)
    : ObjectClass(&c, QStringLiteral("ObjectClass")),
      ObjectAttribute(&c, QStringLiteral("ObjectAttribute")),
      ObjectValBit(&c, QStringLiteral("ObjectValBit")),
      ObjectValInt(&c, QStringLiteral("ObjectValInt")),
      ObjectValMemo(&c, QStringLiteral("ObjectValMemo")),
      ObjectValOle(&c, QStringLiteral("ObjectValOle")),
      ObjectValStr(&c, QStringLiteral("ObjectValStr")),
      ObjectValReal(&c, QStringLiteral("ObjectValReal"))
{
    ObjectClass.setSQL({QStringLiteral("SELECT Id, Name "), QStringLiteral("FROM OBJECT_CLASS")});
    ObjectAttribute.setSQL({QStringLiteral("SELECT Id, Name, Type "), QStringLiteral("FROM OBJECT_ATTRIBUTE")});
    ObjectValBit.setSQL({QStringLiteral("SELECT Id, Id_Class, Id_Attribute, UserId, Value"),
                         QStringLiteral("FROM OBJECT_VAL_BIT"), QStringLiteral("WHERE USERID=-1")});
    ObjectValInt.setSQL({QStringLiteral("SELECT Id, Id_Class, Id_Attribute, UserId, Value "),
                         QStringLiteral("FROM OBJECT_VAL_INT"), QStringLiteral("WHERE USERID=-1")});
    ObjectValMemo.setSQL({QStringLiteral("SELECT Id, Id_Class, Id_Attribute, UserId, Value FROM OBJECT_VAL_MEMO")});
    ObjectValOle.setSQL({QStringLiteral("SELECT Id, Id_Class, Id_Attribute, UserId, Value FROM OBJECT_VAL_OLE")});
    ObjectValStr.setSQL({QStringLiteral("SELECT Id, Id_Class, Id_Attribute, UserId, Value FROM OBJECT_VAL_STR")});
    ObjectValReal.setSQL({QStringLiteral("SELECT Id, Id_Class, Id_Attribute, UserId, Value FROM OBJECT_VAL_REAL")});
    g_instance = this;
}

TDataModuleObject::~TDataModuleObject()
{
    if (g_instance == this)
        g_instance = nullptr;
}

TDataModuleObject* TDataModuleObject::instance()
{
    return g_instance;
}

int TDataModuleObject::findOrCreate(Dataset& query, const QString& name, int type)
{
    const bool wasOpen = query.IsOpen();
    bool found;
    if (wasOpen) {
        found = query.Locate(QStringLiteral("Name"), name);
    } else {
        // The name is bound, not written into the text.
        query.SQL().append(QStringLiteral("WHERE NAME=:name"));
        query.bindValue(QStringLiteral(":name"), name);
        try {
            query.Open();
        } catch (...) {
            query.SQL().removeLast();
            throw;
        }
        found = !IsEmpty(query);
    }
    int id;
    try {
        if (!found) {
            query.Append();
            query.FieldByName(QStringLiteral("Name")).SetValue(name);
            if (type >= 0)
                query.FieldByName(QStringLiteral("Type")).SetValue(type);
            query.Post();
        }
        id = query.FieldByName(QStringLiteral("Id")).AsInteger();
    } catch (...) {
        if (!wasOpen) {
            if (query.Editing())
                query.Cancel();
            query.Close();
            query.SQL().removeLast();
        }
        throw;
    }
    if (!wasOpen) {
        query.Close();
        query.SQL().removeLast();
    }
    return id;
}

int TDataModuleObject::GetClassId(const QString& className)
{
    return findOrCreate(ObjectClass, className, -1);
}

int TDataModuleObject::GetAttributeId(const QString& attributeName, int type)
{
    return findOrCreate(ObjectAttribute, attributeName, type);
}

bool TDataModuleObject::findValue(Dataset& query, int owner, int classId, int attributeId)
{
    if (query.IsOpen()) {
        query.First();
        while (!query.Eof()) {
            if (query.FieldByName(QStringLiteral("UserId")).AsInteger() == owner
                && query.FieldByName(QStringLiteral("Id_Class")).AsInteger() == classId
                && query.FieldByName(QStringLiteral("Id_Attribute")).AsInteger() == attributeId)
                return true;
            query.Next();
        }
        return false;
    }
    ReplaceWhereLine(
        query.SQL(),
        QStringLiteral("WHERE USERID=%1 AND ID_CLASS=%2 AND ID_ATTRIBUTE=%3").arg(owner).arg(classId).arg(attributeId));
    query.Open();
    return !IsEmpty(query);
}

QVariant TDataModuleObject::readValue(Dataset& query, int type, int owner, const QString& cls, const QString& attr,
                                      const QVariant& def)
{
    const bool wasOpen = query.IsOpen();
    const int classId = GetClassId(cls);
    const int attributeId = GetAttributeId(attr, type);
    QVariant result;
    try {
        if (!findValue(query, owner, classId, attributeId)) {
            query.Append();
            query.FieldByName(QStringLiteral("UserId")).SetValue(owner);
            query.FieldByName(QStringLiteral("Id_Class")).SetValue(classId);
            query.FieldByName(QStringLiteral("Id_Attribute")).SetValue(attributeId);
            query.FieldByName(QStringLiteral("Value")).SetValue(def);
            query.Post();
            result = def;
        } else {
            result = query.FieldByName(QStringLiteral("Value")).Value();
        }
    } catch (...) {
        if (!wasOpen) {
            if (query.Editing())
                query.Cancel();
            query.Close();
        }
        throw;
    }
    if (!wasOpen)
        query.Close();
    return result;
}

void TDataModuleObject::writeValue(Dataset& query, int type, int owner, const QString& cls, const QString& attr,
                                   const QVariant& value)
{
    const bool wasOpen = query.IsOpen();
    const int classId = GetClassId(cls);
    const int attributeId = GetAttributeId(attr, type);
    try {
        if (!findValue(query, owner, classId, attributeId)) {
            query.Append();
            query.FieldByName(QStringLiteral("UserId")).SetValue(owner);
            query.FieldByName(QStringLiteral("Id_Class")).SetValue(classId);
            query.FieldByName(QStringLiteral("Id_Attribute")).SetValue(attributeId);
        } else {
            query.Edit();
        }
        query.FieldByName(QStringLiteral("Value")).SetValue(value);
        query.Post();
    } catch (...) {
        if (query.Editing())
            query.Cancel();
        if (!wasOpen)
            query.Close();
        throw;
    }
    if (!wasOpen)
        query.Close();
}

int TDataModuleObject::ReadInteger(int owner, const QString& className, const QString& attributeName, int def)
{
    const QVariant v = readValue(ObjectValInt, kAttributeInteger, owner, className, attributeName, def);
    return v.isValid() && !v.isNull() ? v.toInt() : 0;
}

void TDataModuleObject::WriteInteger(int owner, const QString& className, const QString& attributeName, int value)
{
    writeValue(ObjectValInt, kAttributeInteger, owner, className, attributeName, value);
}

bool TDataModuleObject::ReadBoolean(int owner, const QString& className, const QString& attributeName, bool def)
{
    const QVariant v = readValue(ObjectValBit, kAttributeBoolean, owner, className, attributeName, def);
    return v.isValid() && !v.isNull() ? v.toBool() : false;
}

void TDataModuleObject::WriteBoolean(int owner, const QString& className, const QString& attributeName, bool value)
{
    writeValue(ObjectValBit, kAttributeBoolean, owner, className, attributeName, value);
}

QString TDataModuleObject::ReadMemo(int owner, const QString& className, const QString& attributeName,
                                    const QString& def)
{
    const QVariant v = readValue(ObjectValMemo, kAttributeMemo, owner, className, attributeName, def);
    return v.isValid() && !v.isNull() ? v.toString() : QString();
}

void TDataModuleObject::WriteMemo(int owner, const QString& className, const QString& attributeName,
                                  const QString& value)
{
    writeValue(ObjectValMemo, kAttributeMemo, owner, className, attributeName, value);
}

}  // namespace db
