#pragma once

#include "planning/PlanningWriter.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace db {
class Connection;
}

namespace planning {

// A position of a view's grid of half-days: the line is a half-row (month
// and half in the annual view, object row and half in the monthly view), the
// column a weekday column (annual) or a day (monthly), both from 0.
struct GridPos {
    int line = 0;
    int column = 0;
    bool operator==(const GridPos&) const = default;
};

// The rectangle between two positions, corners included.
struct GridRect {
    int line0 = 0, column0 = 0, line1 = -1, column1 = -1;

    static GridRect Between(GridPos a, GridPos b);
    bool isEmpty() const { return line1 < line0 || column1 < column0; }
    int lines() const { return isEmpty() ? 0 : line1 - line0 + 1; }
    int columns() const { return isEmpty() ? 0 : column1 - column0 + 1; }
    bool contains(GridPos p) const
    {
        return p.line >= line0 && p.line <= line1 && p.column >= column0 && p.column <= column1;
    }
    bool operator==(const GridRect&) const = default;
};

// A copied rectangle of half-days with its shape: line-major legend ids,
// -1 for an empty half-day, kNoHalfDay where the position is no day (the
// annual view's positions before the first and after the last day of a
// month). Pasting leaves such positions alone.
inline constexpr qint32 kNoHalfDay = -2;
struct HalfDayBlock {
    int lines = 0;
    int columns = 0;
    std::vector<qint32> ids;

    bool isEmpty() const { return lines <= 0 || columns <= 0; }
    qint32 at(int line, int column) const { return ids[static_cast<size_t>(line) * columns + column]; }
};

// The block of the rectangle, the id of each position given by idAt.
HalfDayBlock CopyBlock(const GridRect& rect, const std::function<qint32(GridPos)>& idAt);

// What a key pressed in a planning view asks for; None for a key the view
// leaves to its parent (any modifier but Shift, or another key).
struct KeyGesture {
    enum Kind { None, Move, Paint, Erase, PageUp, PageDown, Escape } kind = None;
    int lines = 0;
    int columns = 0;
    bool extend = false;  // Shift held: the selection follows the cursor
};
KeyGesture KeyGestureOf(int key, Qt::KeyboardModifiers modifiers);

// The block as a spreadsheet takes it: one text line per block line, the
// legend labels (label 1 of the legend entry) separated by tabs, nothing
// for an empty half-day or a position without a day; lines end with "\n".
QString BlockText(const HalfDayBlock& block, const QStringList& legend);

// How a selection is repeated: every week, every two weeks or every month
// (same day of the month; a day the month lacks is left out), either until
// a date (included) or a number of times.
enum class RepeatPeriod { Week, TwoWeeks, Month };
struct RepeatRule {
    RepeatPeriod period = RepeatPeriod::Week;
    std::optional<QDate> until;  // when set, times is ignored
    int times = 1;
    bool skipNonWorking = false;
};
// True for a half-day nobody works (a holiday, a closed half-day).
using NonWorkingHalfDay = std::function<bool(const QDate& date, int half)>;

// The repeats never reach further than this after the selection.
inline constexpr int kMaxRepeatYears = 10;

// The half-days the repeats of a selection write: each source half-day's
// after id at every later occurrence, skipping non-working half-days when
// the rule asks it (the predicate may be empty: nothing is non-working).
// A half-day two occurrences reach takes the later one; the selection's own
// half-days are never overwritten. Befores are -1: the caller reads them.
// In day order, then object, then half.
std::vector<HalfDayChange> RepeatHalfDays(const std::vector<HalfDayChange>& selection, const RepeatRule& rule,
                                          const NonWorkingHalfDay& nonWorking);

// Fills the before of every change with the legend-side id PLANNING holds
// for its half-day (-1 without a row; the last row when there are several):
// one query per object over the days the changes span. Throws DbError.
void ReadBefores(db::Connection& connection, int dossierId, int orientation, std::vector<HalfDayChange>& changes);

// The changes a repeat makes: RepeatHalfDays with the befores read from
// PLANNING, keeping only the half-days that change. Throws DbError.
std::vector<HalfDayChange> RepeatChanges(db::Connection& connection, int dossierId, int orientation,
                                         const std::vector<HalfDayChange>& selection, const RepeatRule& rule,
                                         const NonWorkingHalfDay& nonWorking);

// The accessible text of a half-day: "lundi 5 mars 2009, matin : Projet
// Alpha", or "… : libre" when empty.
QString HalfDayAccessibleName(const QDate& date, int half, const QString& label);

}  // namespace planning
