#include "db/QueryHelpers.h"

#include "core/TextFile.h"
#include "db/DbError.h"

namespace db {

bool IsEmpty(const Dataset& query)
{
    return query.Bof() && query.Eof();
}

void EnsureEditing(const DataSource& source, Dataset& dataset)
{
    if (!source.editing())
        dataset.Edit();
}

void PostIfEditing(const DataSource& source, Dataset& query)
{
    if (source.editing())
        query.Post();
}

void ReopenKeepingRecord(Dataset& query)
{
    int id = -1;
    if (query.IsOpen() && !IsEmpty(query) && query.HasField(QStringLiteral("Id"))) {
        const Field f = query.FieldByName(QStringLiteral("Id"));
        id = f.IsNull() ? -1 : f.AsInteger();
    }
    query.DisableControls();
    try {
        query.Close();
        query.Open();
        if (id >= 0)
            query.Locate(QStringLiteral("Id"), id);
    } catch (...) {
        query.EnableControls();
        throw;
    }
    query.EnableControls();
}

void ExecSql(Dataset& query, const QString& statement)
{
    query.Close();
    query.setSQL({statement});
    query.ExecSQL();
    query.Close();
}

namespace {
int findLine(const QStringList& sql, const QString& keyword)
{
    for (int i = 0; i < sql.size(); ++i) {
        if (sql.at(i).toUpper().contains(keyword))
            return i;
    }
    return -1;
}
}  // namespace

int FindFromLine(const QStringList& sql)
{
    return findLine(sql, QStringLiteral("FROM"));
}

int FindWhereLine(const QStringList& sql)
{
    return findLine(sql, QStringLiteral("WHERE"));
}

int FindHavingLine(const QStringList& sql)
{
    return findLine(sql, QStringLiteral("HAVING"));
}

int FindOrderByLine(const QStringList& sql)
{
    return findLine(sql, QStringLiteral("ORDER BY"));
}

void ReplaceWhereLine(QStringList& sql, const QString& whereLine)
{
    const int at = FindWhereLine(sql);
    if (at >= 0)
        sql[at] = whereLine;
    else
        sql.append(whereLine);
}

QString BuildQueryFromTemplate(const QString& templateFile, bool dropFirstLine, const QString& fromText,
                               const QString& whereText, const QString& havingText, const QString& orderByText)
{
    auto read = core::readTextFile(templateFile);
    if (!read)
        throw DbError(QStringLiteral("Le modèle de requête \"%1\" est introuvable.").arg(templateFile));
    QStringList lines = *read;
    if (dropFirstLine && !lines.isEmpty())
        lines.removeFirst();

    auto replaceAt = [&](int index, const QString& keyword, const QString& text) {
        if (index < 0)
            throw DbError(
                QStringLiteral("Le modèle de requête \"%1\" ne contient pas de ligne %2.").arg(templateFile, keyword));
        lines[index] = keyword + QLatin1Char(' ') + text;
    };
    if (!fromText.isEmpty())
        replaceAt(FindFromLine(lines), QStringLiteral("FROM"), fromText);
    if (!whereText.isEmpty())
        replaceAt(FindWhereLine(lines), QStringLiteral("WHERE"), whereText);
    if (!havingText.isEmpty()) {
        const QString having = QStringLiteral("HAVING ") + havingText;
        const int at = FindHavingLine(lines);
        if (at >= 0)
            lines[at] = having;
        else if (!lines.isEmpty() && lines.last().toUpper().contains(QStringLiteral("ORDER BY")))
            lines.insert(lines.size() - 1, having);
        else
            lines.append(having);
    }
    if (!orderByText.isEmpty())
        replaceAt(FindOrderByLine(lines), QStringLiteral("ORDER BY"), orderByText);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace db
