#include "db/SqlScan.h"

namespace db {

namespace {

struct Token {
    QString text;
    QString upper;
    qsizetype pos = 0;
    qsizetype end = 0;
    int depth = 0;
    bool word = false;
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('.')
        || c == QLatin1Char('*');
}

QVector<Token> tokenize(const QString& s)
{
    QVector<Token> out;
    int depth = 0;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && s.at(i + 1) == QLatin1Char('-')) {
            while (i < n && s.at(i) != QLatin1Char('\n'))
                ++i;
            continue;
        }
        Token t;
        t.pos = i;
        t.depth = depth;
        QChar close;
        if (c == QLatin1Char('\''))
            close = QLatin1Char('\'');
        else if (c == QLatin1Char('"'))
            close = QLatin1Char('"');
        else if (c == QLatin1Char('`'))
            close = QLatin1Char('`');
        else if (c == QLatin1Char('['))
            close = QLatin1Char(']');
        if (!close.isNull()) {
            qsizetype j = i + 1;
            while (j < n) {
                if (s.at(j) == close) {
                    if (close != QLatin1Char(']') && j + 1 < n && s.at(j + 1) == close) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            t.end = qMin(j + 1, n);
            t.word = c != QLatin1Char('\'');
        } else if (isWordChar(c)) {
            qsizetype j = i;
            while (j < n && isWordChar(s.at(j)))
                ++j;
            t.end = j;
            t.word = true;
        } else {
            t.end = i + 1;
            if (c == QLatin1Char('('))
                ++depth;
            else if (c == QLatin1Char(')')) {
                --depth;
                t.depth = depth;
            }
        }
        t.text = s.mid(t.pos, t.end - t.pos);
        t.upper = t.text.toUpper();
        out.append(t);
        i = t.end;
    }
    return out;
}

bool isKeyword(const QString& upper)
{
    static const char* const kWords[] = {"WHERE", "GROUP", "ORDER", "HAVING", "LIMIT",     "UNION",
                                         "JOIN",  "INNER", "LEFT",  "RIGHT",  "CROSS",     "NATURAL",
                                         "OUTER", "FULL",  "ON",    "EXCEPT", "INTERSECT", "WINDOW"};
    for (const char* w : kWords) {
        if (upper == QLatin1String(w))
            return true;
    }
    return false;
}

}  // namespace

QString unquoteIdentifier(const QString& name)
{
    const QString t = name.trimmed();
    if (t.size() >= 2) {
        const QChar a = t.front();
        const QChar b = t.back();
        if ((a == QLatin1Char('[') && b == QLatin1Char(']')) || (a == QLatin1Char('"') && b == QLatin1Char('"'))
            || (a == QLatin1Char('`') && b == QLatin1Char('`')))
            return t.mid(1, t.size() - 2);
    }
    return t;
}

SelectShape scanSelect(const QString& sql)
{
    SelectShape shape;
    const QVector<Token> tokens = tokenize(sql);
    if (tokens.isEmpty() || tokens.front().upper != QStringLiteral("SELECT"))
        return shape;
    shape.isSelect = true;
    shape.selectListStart = tokens.front().end;

    qsizetype fromIdx = -1;
    for (qsizetype i = 1; i < tokens.size(); ++i) {
        const Token& t = tokens.at(i);
        if (t.depth != 0 || !t.word)
            continue;
        if (t.upper == QStringLiteral("FROM")) {
            fromIdx = i;
            break;
        }
    }
    if (fromIdx < 0)
        return shape;
    if (tokens.size() > 1
        && (tokens.at(1).upper == QStringLiteral("DISTINCT") || tokens.at(1).upper == QStringLiteral("ALL")))
        return shape;

    // Result items "col AS alias" or "col alias" name columns of the table.
    qsizetype itemStart = 1;
    auto takeItem = [&](qsizetype from, qsizetype to) {
        const qsizetype len = to - from;
        if (len == 3 && tokens.at(from + 1).upper == QStringLiteral("AS") && tokens.at(from).word
            && tokens.at(from + 2).word) {
            QString origin = tokens.at(from).text;
            origin = unquoteIdentifier(origin.section(QLatin1Char('.'), -1));
            shape.aliases.insert(unquoteIdentifier(tokens.at(from + 2).text).toUpper(), origin);
        } else if (len == 2 && tokens.at(from).word && tokens.at(from + 1).word) {
            QString origin = unquoteIdentifier(tokens.at(from).text.section(QLatin1Char('.'), -1));
            shape.aliases.insert(unquoteIdentifier(tokens.at(from + 1).text).toUpper(), origin);
        }
    };
    for (qsizetype i = 1; i <= fromIdx; ++i) {
        const Token& t = tokens.at(i);
        if (i == fromIdx || (t.depth == 0 && t.text == QStringLiteral(","))) {
            takeItem(itemStart, i);
            itemStart = i + 1;
        }
    }

    // FROM table [AS] [alias], then only WHERE / ORDER / LIMIT-like clauses.
    qsizetype i = fromIdx + 1;
    if (i >= tokens.size() || !tokens.at(i).word)
        return shape;
    shape.table = unquoteIdentifier(tokens.at(i).text);
    shape.qualifier = tokens.at(i).text;
    ++i;
    if (i < tokens.size() && tokens.at(i).upper == QStringLiteral("AS"))
        ++i;
    if (i < tokens.size() && tokens.at(i).word && !isKeyword(tokens.at(i).upper)) {
        shape.qualifier = tokens.at(i).text;
        ++i;
    }
    for (; i < tokens.size(); ++i) {
        const Token& t = tokens.at(i);
        if (t.depth != 0)
            continue;
        if (t.text == QStringLiteral(","))
            return shape;
        if (t.word
            && (t.upper == QStringLiteral("JOIN") || t.upper == QStringLiteral("GROUP")
                || t.upper == QStringLiteral("UNION") || t.upper == QStringLiteral("EXCEPT")
                || t.upper == QStringLiteral("INTERSECT") || t.upper == QStringLiteral("HAVING")))
            return shape;
    }
    shape.singleTable = true;
    return shape;
}

QString withOrderCollation(const QString& sql, const QString& collation,
                           const std::function<bool(const QString& qualifier, const QString& column)>& isText)
{
    const QVector<Token> tokens = tokenize(sql);
    if (tokens.isEmpty() || tokens.front().upper != QStringLiteral("SELECT") || collation.isEmpty())
        return sql;
    qsizetype start = -1;
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens.at(i).depth == 0 && tokens.at(i).upper == QStringLiteral("ORDER")
            && tokens.at(i + 1).upper == QStringLiteral("BY"))
            start = i + 2;
    }
    if (start < 0)
        return sql;
    qsizetype end = start;
    while (end < tokens.size()) {
        const Token& t = tokens.at(end);
        if (t.depth == 0
            && (t.upper == QStringLiteral("LIMIT") || t.upper == QStringLiteral("OFFSET")
                || t.text == QStringLiteral(";")))
            break;
        ++end;
    }
    // Insertion points, found front to back, applied back to front.
    QVector<qsizetype> at;
    qsizetype termStart = start;
    for (qsizetype i = start; i <= end; ++i) {
        if (i < end && !(tokens.at(i).depth == 0 && tokens.at(i).text == QStringLiteral(",")))
            continue;
        qsizetype last = i;
        if (last - termStart == 2
            && (tokens.at(last - 1).upper == QStringLiteral("ASC")
                || tokens.at(last - 1).upper == QStringLiteral("DESC")))
            --last;
        if (last - termStart == 1) {
            const Token& column = tokens.at(termStart);
            const bool literal = column.text.front().isDigit() || column.text.front() == QLatin1Char('\'');
            if (column.word && !literal && !column.text.contains(QLatin1Char('*'))) {
                const qsizetype dot = column.text.lastIndexOf(QLatin1Char('.'));
                const QString qualifier = dot < 0 ? QString() : column.text.left(dot);
                if (isText(qualifier, column.text.mid(dot + 1)))
                    at.append(column.end);
            }
        }
        termStart = i + 1;
    }
    QString out = sql;
    for (qsizetype k = at.size() - 1; k >= 0; --k)
        out.insert(at.at(k), QStringLiteral(" COLLATE ") + collation);
    return out;
}

}  // namespace db
