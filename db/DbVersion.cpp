#include "db/DbVersion.h"

#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DbError.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <limits>

namespace db {

namespace {

QString rowFilter()
{
    return QStringLiteral(" WHERE [ID_CLASS]=-99 AND [ID_ATTRIBUTE]=-99 AND [USERID]=-99");
}

}  // namespace

int VersionNumber(const QString& version)
{
    QString text = version;
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        text.remove(dot, 1);
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i >= text.size())
        return 0;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            return 0;
    }
    return static_cast<int>(negative ? -value : value);
}

QString GetDbVersion(Connection& connection, const QString& table, const QString& column)
{
    try {
        Dataset q(&connection, QStringLiteral("GetBDVersion"));
        q.setSQL({QStringLiteral("SELECT [") + column + QStringLiteral("] FROM [") + table + QLatin1Char(']')
                  + rowFilter()});
        q.Open();
        if (q.IsEmpty())
            return QStringLiteral("0");
        const QString text = q.FieldAt(0).AsString();
        return text.isEmpty() ? QStringLiteral("0") : text;
    } catch (const DbError&) {
        return QStringLiteral("0");
    }
}

void SetDbVersion(Connection& connection, const QString& table, const QString& column, const QString& version)
{
    Dataset q(&connection, QStringLiteral("SetBDVersion"));
    q.setSQL({QStringLiteral("SELECT [") + column + QStringLiteral("], [ID_CLASS], [ID_ATTRIBUTE], [USERID] FROM [")
              + table + QLatin1Char(']') + rowFilter()});
    q.Open();
    if (q.IsEmpty())
        q.Insert();
    else
        q.Edit();
    q.FieldAt(0).SetValue(version);
    for (int i = 1; i <= 3; ++i)
        q.FieldAt(i).SetValue(-99);
    q.Post();
    q.Close();
}

QString VersionColumnOf(Connection& connection)
{
    if (!connection.isOpen())
        return QString::fromLatin1(kVersionColumn);
    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    if (q.exec(QStringLiteral("SELECT * FROM ") + QString::fromLatin1(kVersionTable))) {
        const QSqlRecord record = q.record();
        for (int i = 0; i < record.count(); ++i) {
            if (record.fieldName(i).compare(QString::fromLatin1(kOldVersionColumn), Qt::CaseInsensitive) == 0)
                return QString::fromLatin1(kOldVersionColumn);
        }
    }
    return QString::fromLatin1(kVersionColumn);
}

void CheckNotNewer(const QString& databaseVersion, const QString& programVersion)
{
    if (VersionNumber(databaseVersion) > VersionNumber(programVersion))
        throw DbError(QStringLiteral("Cette base de données a été mise à jour par une version plus récente du "
                                     "logiciel (version %1).\rLa version %2 ne peut pas l'utiliser sans risque : "
                                     "elle n'a pas été modifiée.\r\rInstallez la version %1 ou plus récente.")
                          .arg(databaseVersion, programVersion));
}

}  // namespace db
