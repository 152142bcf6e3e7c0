#include "db/Dataset.h"

#include "db/DatasetDetail.h"

#include <limits>

namespace db {

using detail::fail;

QString Field::Name() const
{
    return m_ds->m_fields.at(m_index).name;
}

FieldType Field::Type() const
{
    return m_ds->m_fields.at(m_index).type;
}

int Field::Size() const
{
    return m_ds->m_fields.at(m_index).size;
}

bool Field::ReadOnly() const
{
    return m_ds->m_table.isEmpty() || m_ds->m_fields.at(m_index).origin.isEmpty();
}

QVariant Field::Value() const
{
    return m_ds->readValue(m_index);
}

bool Field::IsNull() const
{
    const QVariant v = m_ds->readValue(m_index);
    return !v.isValid() || v.isNull();
}

int Field::AsInteger() const
{
    const QVariant v = Value();
    if (!v.isValid() || v.isNull())
        return 0;
    if (v.metaType().id() == QMetaType::QString) {
        bool ok = false;
        const int i = v.toString().trimmed().toInt(&ok);
        if (!ok)
            fail(QStringLiteral("\"%1\" n'est pas une valeur entière correcte.").arg(v.toString()));
        return i;
    }
    return v.toInt();
}

double Field::AsFloat() const
{
    const QVariant v = Value();
    if (!v.isValid() || v.isNull())
        return 0.0;
    return v.toDouble();
}

bool Field::AsBoolean() const
{
    const QVariant v = Value();
    if (!v.isValid() || v.isNull())
        return false;
    if (v.metaType().id() == QMetaType::QString) {
        const QString t = v.toString().trimmed();
        bool ok = false;
        const qlonglong n = t.toLongLong(&ok);
        if (ok)
            return n != 0;
        return t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
    }
    return v.toBool();
}

QString Field::AsString() const
{
    const QVariant v = Value();
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.metaType().id()) {
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("dd/MM/yyyy"));
        return dt.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    }
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return v.toString();
    }
}

QDate Field::AsDate() const
{
    const QVariant v = Value();
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().date();
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate();
    return {};
}

QDateTime Field::AsDateTime() const
{
    const QVariant v = Value();
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate().startOfDay();
    return {};
}

QByteArray Field::AsBlob() const
{
    const QVariant v = Value();
    if (!v.isValid() || v.isNull())
        return {};
    return v.toByteArray();
}

void Field::SetValue(const QVariant& value)
{
    m_ds->setFieldValue(m_index, value);
}

void Field::Clear()
{
    m_ds->setFieldValue(m_index, QVariant());
}

}  // namespace db
