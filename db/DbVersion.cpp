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

struct Parsed {
    qint64 major = 0;
    qint64 minor = 0;
};

bool parseDigits(QStringView text, qint64* value)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    *value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        *value = *value * 10 + (c.unicode() - '0');
    }
    return true;
}

// Minor numbers compare as written after the dot ("1.4" is 4, "1.34" 34),
// which keeps the order of every 1.x version the program has had.
bool parseVersion(const QString& text, Parsed* out)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return parseDigits(text, &out->major);
    return parseDigits(QStringView(text).left(dot), &out->major)
        && parseDigits(QStringView(text).mid(dot + 1), &out->minor);
}

}  // namespace

bool IsVersionText(const QString& version)
{
    Parsed p;
    return parseVersion(version, &p);
}

int CompareVersions(const QString& a, const QString& b)
{
    Parsed x, y;
    const bool okA = parseVersion(a, &x);
    const bool okB = parseVersion(b, &y);
    if (!okA || !okB)
        return okA == okB ? 0 : (okA ? -1 : 1);
    if (x.major != y.major)
        return x.major < y.major ? -1 : 1;
    if (x.minor != y.minor)
        return x.minor < y.minor ? -1 : 1;
    return 0;
}

bool IsOlderVersion(const QString& databaseVersion, const QString& programVersion)
{
    return IsVersionText(databaseVersion) && CompareVersions(databaseVersion, programVersion) < 0;
}

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
        return q.FieldAt(0).AsString();
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
    if (!IsVersionText(databaseVersion))
        throw DbError(QStringLiteral("La version de cette base de données (« %1 ») n'est pas reconnue par la version "
                                     "%2 du logiciel, qui ne peut pas l'utiliser sans risque : elle n'a pas été "
                                     "modifiée.")
                          .arg(databaseVersion, programVersion));
    if (CompareVersions(databaseVersion, programVersion) > 0)
        throw DbError(QStringLiteral("Cette base de données a été mise à jour par une version plus récente du "
                                     "logiciel (version %1).\rLa version %2 ne peut pas l'utiliser sans risque : "
                                     "elle n'a pas été modifiée.\r\rInstallez la version %1 ou plus récente.")
                          .arg(databaseVersion, programVersion));
}

}  // namespace db
