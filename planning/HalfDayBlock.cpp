#include "planning/HalfDayBlock.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "planning/PlanningModel.h"
#include "planning/PlanningPaint.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <tuple>

namespace planning {

GridRect GridRect::Between(GridPos a, GridPos b)
{
    return {std::min(a.line, b.line), std::min(a.column, b.column), std::max(a.line, b.line),
            std::max(a.column, b.column)};
}

HalfDayBlock CopyBlock(const GridRect& rect, const std::function<qint32(GridPos)>& idAt)
{
    HalfDayBlock block;
    if (rect.isEmpty())
        return block;
    block.lines = rect.lines();
    block.columns = rect.columns();
    block.ids.reserve(static_cast<size_t>(block.lines) * block.columns);
    for (int l = rect.line0; l <= rect.line1; ++l) {
        for (int c = rect.column0; c <= rect.column1; ++c)
            block.ids.push_back(idAt({l, c}));
    }
    return block;
}

KeyGesture KeyGestureOf(int key, Qt::KeyboardModifiers modifiers)
{
    KeyGesture g;
    if ((modifiers & ~(Qt::KeypadModifier | Qt::ShiftModifier)) != Qt::NoModifier)
        return g;
    g.extend = modifiers & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Left: g.kind = KeyGesture::Move, g.columns = -1; break;
    case Qt::Key_Right: g.kind = KeyGesture::Move, g.columns = 1; break;
    case Qt::Key_Up: g.kind = KeyGesture::Move, g.lines = -1; break;
    case Qt::Key_Down: g.kind = KeyGesture::Move, g.lines = 1; break;
    case Qt::Key_Space: g.kind = KeyGesture::Paint; break;
    case Qt::Key_Backspace: g.kind = KeyGesture::Erase; break;
    case Qt::Key_PageUp: g.kind = KeyGesture::PageUp; break;
    case Qt::Key_PageDown: g.kind = KeyGesture::PageDown; break;
    case Qt::Key_Escape: g.kind = KeyGesture::Escape; break;
    default: break;
    }
    return g;
}

QString BlockText(const HalfDayBlock& block, const QStringList& legend)
{
    QHash<int, QString> labels;
    for (int i = 0; i < legend.size(); ++i) {
        const int id = EntryId(legend, i);
        if (id >= 0 && !labels.contains(id))
            labels.insert(id, EntryField(legend.at(i), 4));
    }
    QString text;
    for (int l = 0; l < block.lines; ++l) {
        for (int c = 0; c < block.columns; ++c) {
            if (c > 0)
                text += QLatin1Char('\t');
            const qint32 id = block.at(l, c);
            if (id >= 0) {
                // A tab or a line break inside a label would move the cells.
                QString label = labels.value(id);
                label.replace(QLatin1Char('\t'), QLatin1Char(' '));
                label.replace(QLatin1Char('\r'), QLatin1Char(' '));
                label.replace(QLatin1Char('\n'), QLatin1Char(' '));
                text += label;
            }
        }
        text += QLatin1Char('\n');
    }
    return text;
}

namespace {

QDate occurrence(const QDate& date, RepeatPeriod period, int k)
{
    switch (period) {
    case RepeatPeriod::Week: return date.addDays(7LL * k);
    case RepeatPeriod::TwoWeeks: return date.addDays(14LL * k);
    case RepeatPeriod::Month: {
        const QDate first(date.year(), date.month(), 1);
        const QDate month = first.addMonths(k);
        if (date.day() > month.daysInMonth())
            return {};
        return QDate(month.year(), month.month(), date.day());
    }
    }
    return {};
}

}  // namespace

std::vector<HalfDayChange> RepeatHalfDays(const std::vector<HalfDayChange>& selection, const RepeatRule& rule,
                                          const NonWorkingHalfDay& nonWorking)
{
    std::vector<HalfDayChange> out;
    if (selection.empty())
        return out;
    using Key = std::tuple<qint32, qint32, qint8>;  // day, object, half
    std::set<Key> own;
    qint32 lastDay = selection.front().day;
    for (const HalfDayChange& c : selection) {
        own.insert({c.day, c.objectId, c.half});
        lastDay = std::max(lastDay, c.day);
    }
    const QDate limit = QDate::fromJulianDay(lastDay).addYears(kMaxRepeatYears);
    const QDate until = rule.until ? std::min(*rule.until, limit) : limit;
    const int maxTimes = rule.until ? std::numeric_limits<int>::max() : rule.times;
    std::map<Key, qint32> targets;
    for (int k = 1; k <= maxTimes; ++k) {
        bool any = false;  // some half-day of this occurrence lies before the end
        for (const HalfDayChange& c : selection) {
            const QDate source = c.date();
            const QDate date = occurrence(source, rule.period, k);
            if (!date.isValid()) {
                // A month without that day: later occurrences may still have it.
                if (occurrence(source, RepeatPeriod::Month, 0).addMonths(k) <= until)
                    any = true;
                continue;
            }
            if (date > until)
                continue;
            any = true;
            const Key key{static_cast<qint32>(date.toJulianDay()), c.objectId, c.half};
            if (own.count(key) || (rule.skipNonWorking && nonWorking && nonWorking(date, c.half)))
                continue;
            targets[key] = c.after;
        }
        if (!any)
            break;
    }
    out.reserve(targets.size());
    for (const auto& [key, id] : targets)
        out.push_back({std::get<1>(key), std::get<0>(key), -1, id, std::get<2>(key)});
    return out;
}

void ReadBefores(db::Connection& connection, int dossierId, int orientation, std::vector<HalfDayChange>& changes)
{
    if (changes.empty())
        return;
    if (!connection.isOpen())
        throw db::DbError(QStringLiteral("La connexion à la base de données est fermée."));
    const QString objectColumn = orientation == 0 ? QStringLiteral("Id_People") : QStringLiteral("Id_Project");
    const QString legendColumn = orientation == 0 ? QStringLiteral("Id_Project") : QStringLiteral("Id_People");
    // The day span of each object's changes.
    std::map<qint32, std::pair<qint32, qint32>> spans;
    for (const HalfDayChange& c : changes) {
        auto [it, added] = spans.try_emplace(c.objectId, c.day, c.day);
        if (!added) {
            it->second.first = std::min(it->second.first, c.day);
            it->second.second = std::max(it->second.second, c.day);
        }
    }
    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT ") + legendColumn + QStringLiteral(", DatePlanning, AmPm FROM PLANNING ")
                   + QStringLiteral("WHERE Id_File=? AND ") + objectColumn
                   + QStringLiteral("=? AND DatePlanning>=? AND DatePlanning<=?")))
        throw db::DbError(db::sqlErrorText(q.lastError()));
    using Key = std::tuple<qint32, qint32, int>;  // object, day, half
    std::map<Key, qint32> stored;
    for (const auto& [object, span] : spans) {
        q.bindValue(0, dossierId);
        q.bindValue(1, object);
        q.bindValue(2, QDate::fromJulianDay(span.first).toString(Qt::ISODate));
        q.bindValue(3, QDate::fromJulianDay(span.second).toString(Qt::ISODate));
        if (!q.exec())
            throw db::DbError(db::sqlErrorText(q.lastError()));
        while (q.next()) {
            const QDate date = QDate::fromString(q.value(1).toString().left(10), Qt::ISODate);
            if (!date.isValid())
                continue;
            const int half = q.value(2).toInt();
            const QVariant legend = q.value(0);
            stored[{object, static_cast<qint32>(date.toJulianDay()), half}] = legend.isNull() ? -1 : legend.toInt();
        }
    }
    for (HalfDayChange& c : changes) {
        const auto it = stored.find({c.objectId, c.day, static_cast<int>(c.half)});
        c.before = it == stored.end() ? -1 : it->second;
    }
}

std::vector<HalfDayChange> RepeatChanges(db::Connection& connection, int dossierId, int orientation,
                                         const std::vector<HalfDayChange>& selection, const RepeatRule& rule,
                                         const NonWorkingHalfDay& nonWorking)
{
    std::vector<HalfDayChange> changes = RepeatHalfDays(selection, rule, nonWorking);
    ReadBefores(connection, dossierId, orientation, changes);
    changes.erase(
        std::remove_if(changes.begin(), changes.end(), [](const HalfDayChange& c) { return c.before == c.after; }),
        changes.end());
    return changes;
}

QString HalfDayAccessibleName(const QDate& date, int half, const QString& label)
{
    return WeekdayName(date.dayOfWeek()).toLower() + QLatin1Char(' ') + QString::number(date.day()) + QLatin1Char(' ')
        + MonthName(date.month()).toLower() + QLatin1Char(' ') + QString::number(date.year())
        + (half == 1 ? QStringLiteral(", matin : ") : QStringLiteral(", après-midi : "))
        + (label.isEmpty() ? QStringLiteral("libre") : label);
}

}  // namespace planning
