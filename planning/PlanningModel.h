#pragma once

#include "core/ColorRef.h"

#include <QColor>
#include <QDate>
#include <QString>
#include <QStringList>

#include <unordered_map>
#include <vector>

namespace planning {

// Brush styles as the cells keep them (the values of the original TBrushStyle).
enum TBrushStyle : quint8 {
    bsSolid = 0,
    bsClear = 1,
    bsHorizontal = 2,
    bsVertical = 3,
    bsFDiagonal = 4,
    bsBDiagonal = 5,
    bsCross = 6,
    bsDiagCross = 7,
};

// Stored pattern code 0..7 -> brush style. A code outside 0..7 decodes as
// bsClear, so the legend and the cells, which both decode, agree.
TBrushStyle DecodeBrushStyle(int code);
// The inverse; a style without a code gives 0.
int EncodeBrushStyle(TBrushStyle style);

// 0x00BBGGRR as stored, through core::RgbFromColorRef.
QColor ColorFromRef(quint32 colorRef);
quint32 ColorRefFromColor(const QColor& color);

using core::ShiftColor;

// Entry strings: "NNNN%&a%pen%&b%brush%&c%style%&d%label1%&e%label2%&f%".
// A "%" inside a label is kept as "%25"; EntryField gives the text back.
QString MakeEntry(int id, quint32 penColor, quint32 brushColor, int brushStyle, const QString& label1,
                  const QString& label2);
QString EntryField(const QString& entry, int n);
int EntryId(const QStringList& list, int index);
int EntryIndexOfId(const QStringList& list, int id);

struct HalfDayCell {
    qint32 Id = -1;       // legend-side record, -1 when empty
    qint32 Modified = 0;  // 1 when painted or erased since the last save
    quint32 PenColor = 0;
    quint32 BrushColor = 0;
    quint8 Style = bsSolid;
};

// One object's year: months 1..12, days 1..31, halves 1..2 addressed directly.
class YearPlanning {
public:
    YearPlanning() { ClearYear(); }
    HalfDayCell& cell(int month, int day, int half) { return m_cells[index(month, day, half)]; }
    const HalfDayCell& cell(int month, int day, int half) const { return m_cells[index(month, day, half)]; }
    // Every Id -1 and Modified 0; colours and styles stay.
    void ClearYear();
    void SetYearCell(int month, int day, int half, int id, quint32 penColor, quint32 brushColor, quint8 style);

private:
    static int index(int month, int day, int half) { return (month * 32 + day) * 3 + half; }
    HalfDayCell m_cells[13 * 32 * 3];
};

// Every object's cells of a year, as rows × months × days × halves.
class MonthPlanning {
public:
    // Allocates (rows + 1) × (months + 1) × (days + 1) × (halves + 1) empty cells.
    void SetMonthDimensions(int rows, int months, int days, int halves);
    // Releases the cells; the dimensions are no longer set.
    void clear();
    bool dimensionsSet() const { return m_set; }
    int rows() const { return m_rows; }
    HalfDayCell& cell(int row, int month, int day, int half) { return m_cells[index(row, month, day, half)]; }
    const HalfDayCell& cell(int row, int month, int day, int half) const
    {
        return m_cells[index(row, month, day, half)];
    }
    bool contains(int row, int month, int day, int half) const
    {
        return m_set && row >= 0 && row <= m_rows && month >= 0 && month <= m_months && day >= 0 && day <= m_days
            && half >= 0 && half <= m_halves;
    }
    void SetMonthCell(int row, int month, int day, int half, int id, quint32 penColor, quint32 brushColor,
                      quint8 style);
    size_t memoryBytes() const { return m_cells.capacity() * sizeof(HalfDayCell); }

private:
    size_t index(int row, int month, int day, int half) const
    {
        return ((static_cast<size_t>(row) * (m_months + 1) + month) * (m_days + 1) + day) * (m_halves + 1) + half;
    }
    std::vector<HalfDayCell> m_cells;
    int m_rows = 0, m_months = 0, m_days = 0, m_halves = 0;
    bool m_set = false;
};

// What the half-days touched by gestures held before them, from the first
// touch after a save until the next save has written them: the "before" of
// an undo step. Keys are the caller's cell positions.
class PendingEdits {
public:
    // Keeps the first value only: later touches of a modified cell add nothing.
    void record(quint64 key, qint32 before) { m_before.emplace(key, before); }
    // The value recorded for key, or fallback when none was.
    qint32 before(quint64 key, qint32 fallback) const
    {
        const auto it = m_before.find(key);
        return it == m_before.end() ? fallback : it->second;
    }
    void clear() { m_before.clear(); }
    bool empty() const { return m_before.empty(); }

private:
    std::unordered_map<quint64, qint32> m_before;
};

// What the main window holds for the open dossier.
struct PlanningContext {
    int dossierId = -1;
    int personId = -1;
    int projectId = -1;
    int year = 2000;
    int month = 1;
    int orientation = 0;   // 0: persons are rows, projects the legend; 1: the reverse
    int planningType = 0;  // 0 annual, 1 monthly
    bool showDayNumber = false;
};

// Monday = 1 … Sunday = 7.
int FirstColumnOf(int year, int month);
int DaysInMonth(int year, int month);

// A half-day is past once its day has begun.
bool IsPastHalfDay(int year, int month, int day);

}  // namespace planning
