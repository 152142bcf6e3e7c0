#include "planning/PlanningAccessible.h"

#include "planning/HalfDayBlock.h"
#include "planning/PlanningPaint.h"
#include "planning/TAnnualGraphicPlanning.h"
#include "planning/TMonthlyGraphicPlanning.h"
#include "ui/TDrawGrid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace planning {

namespace {

// What a table of cells needs of its widget.
struct CellSource {
    std::function<int()> rows;
    std::function<int()> columns;
    std::function<QString(int row, int column)> name;
    std::function<QString(int row)> rowName;
    std::function<QRect(int row, int column)> rect;  // widget coordinates; empty when out of sight
    std::function<std::optional<std::pair<int, int>>()> focused;
};

class CellTable;

class Cell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    Cell(CellTable* table, int row, int column) : m_table(table), m_row(row), m_column(column) { }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

private:
    CellTable* m_table;
    int m_row, m_column;
};

class CellTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    CellTable(QWidget* w, CellSource source) : QAccessibleWidget(w, QAccessible::Table), m_source(std::move(source)) { }
    ~CellTable() override
    {
        for (const auto& [key, id] : m_cells)
            QAccessible::deleteAccessibleInterface(id);
    }

    const CellSource& source() const { return m_source; }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override
    {
        const int columns = columnCount();
        if (index < 0 || columns == 0 || index >= childCount())
            return nullptr;
        return cellAt(index / columns, index % columns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child || child->role() != QAccessible::Cell || child->parent() != this)
            return -1;
        const auto* cell = static_cast<const Cell*>(child);
        return cell->rowIndex() * columnCount() + cell->columnIndex();
    }
    QAccessibleInterface* focusChild() const override
    {
        const auto f = m_source.focused();
        return f ? cellAt(f->first, f->second) : nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        const auto key = std::make_pair(row, column);
        auto it = m_cells.find(key);
        if (it == m_cells.end())
            it = m_cells
                     .emplace(
                         key,
                         QAccessible::registerAccessibleInterface(new Cell(const_cast<CellTable*>(this), row, column)))
                     .first;
        return QAccessible::accessibleInterface(it->second);
    }
    int columnCount() const override { return m_source.columns(); }
    int rowCount() const override { return m_source.rows(); }
    int selectedCellCount() const override { return 0; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QString columnDescription(int column) const override { return QString::number(column + 1); }
    QString rowDescription(int row) const override { return m_source.rowName ? m_source.rowName(row) : QString(); }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { }

private:
    CellSource m_source;
    mutable std::map<std::pair<int, int>, QAccessible::Id> m_cells;
};

bool Cell::isValid() const
{
    return m_table->isValid() && m_row < m_table->rowCount() && m_column < m_table->columnCount();
}

QWindow* Cell::window() const
{
    return m_table->window();
}

QAccessibleInterface* Cell::parent() const
{
    return m_table;
}

QAccessibleInterface* Cell::table() const
{
    return m_table;
}

QString Cell::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !isValid())
        return {};
    return m_table->source().name(m_row, m_column);
}

QRect Cell::rect() const
{
    if (!isValid())
        return {};
    const QRect r = m_table->source().rect(m_row, m_column);
    auto* w = static_cast<QWidget*>(m_table->object());
    return r.isEmpty() ? QRect() : QRect(w->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State Cell::state() const
{
    QAccessible::State s;
    s.focusable = true;
    const auto f = m_table->source().focused();
    s.focused = f && f->first == m_row && f->second == m_column;
    if (m_table->source().rect(m_row, m_column).isEmpty())
        s.invisible = true;
    return s;
}

QString legendLabel(const QStringList& legend, int id)
{
    const int i = EntryIndexOfId(legend, id);
    return id < 0 || i < 0 ? QString() : EntryField(legend.at(i), 4);
}

QString halfName(int half)
{
    return half == 1 ? QStringLiteral("matin") : QStringLiteral("après-midi");
}

// Rows are the 24 half-rows (month, half), columns the days 1..31.
CellSource annualSource(TAnnualGraphicPlanning* v)
{
    QPointer<TAnnualGraphicPlanning> view(v);
    CellSource s;
    s.rows = [] { return 24; };
    s.columns = [] { return 31; };
    auto dayOf = [view](int row, int column) -> YearHit {
        if (!view)
            return {};
        const int month = row / 2 + 1;
        if (column + 1 > view->daysOf(month))
            return {};
        return {month, column + 1, row % 2 + 1};
    };
    s.name = [view, dayOf](int row, int column) -> QString {
        const YearHit h = dayOf(row, column);
        if (h.month == 0)
            return QString();
        return HalfDayAccessibleName(QDate(view->Year, h.month, h.day), h.half,
                                     legendLabel(view->Legend, view->cells.cell(h.month, h.day, h.half).Id));
    };
    s.rowName = [](int row) -> QString {
        return MonthName(row / 2 + 1).toLower() + QStringLiteral(", ") + halfName(row % 2 + 1);
    };
    s.rect = [view, dayOf](int row, int column) {
        const YearHit h = dayOf(row, column);
        if (h.month == 0 || view->cellWidth() <= 0)
            return QRect();
        return view->positionRectOf({row, view->firstColumn(h.month) + h.day - 2});
    };
    s.focused = [view]() -> std::optional<std::pair<int, int>> {
        if (!view || !view->cursor())
            return std::nullopt;
        const YearHit h = view->halfDayOf(*view->cursor());
        if (h.month == 0)
            return std::nullopt;
        return std::make_pair(view->cursor()->line, h.day - 1);
    };
    return s;
}

// Rows are each object row's two half-rows, columns the days of the month.
CellSource monthlySource(TMonthlyGraphicPlanning* v)
{
    QPointer<TMonthlyGraphicPlanning> view(v);
    CellSource s;
    s.rows = [view] { return view && view->ObjectCount > 0 ? view->lineCount() : 0; };
    s.columns = [view] { return view && view->ObjectCount > 0 ? view->days() : 0; };
    s.name = [view](int row, int column) -> QString {
        const TMonthlyGraphicPlanning::Hit h = view->halfDayOf({row, column});
        if (!h.valid() || view->Month < 1 || view->Month > 12)
            return QString();
        return HalfDayAccessibleName(QDate(view->Year, view->Month, h.day), h.half,
                                     legendLabel(view->Legend, view->cells.cell(h.row, view->Month, h.day, h.half).Id));
    };
    s.rowName = [view](int row) -> QString {
        const QString object = row / 2 < view->ObjectLabels.size() ? view->ObjectLabels.at(row / 2) : QString();
        return object + QStringLiteral(", ") + halfName(row % 2 + 1);
    };
    s.rect = [view](int row, int column) {
        const int r = row / 2;
        if (r < view->TopRow() || r > view->TopRow() + view->VisibleRowCount())
            return QRect();
        return view->positionRectOf({row, column});
    };
    s.focused = [view]() -> std::optional<std::pair<int, int>> {
        if (!view || !view->cursor())
            return std::nullopt;
        return std::make_pair(view->cursor()->line, view->cursor()->column);
    };
    return s;
}

CellSource gridSource(ui::TDrawGrid* g)
{
    QPointer<ui::TDrawGrid> grid(g);
    CellSource s;
    s.rows = [grid] { return grid ? grid->RowCount() : 0; };
    s.columns = [grid] { return grid ? grid->ColCount() : 0; };
    s.name = [grid](int row, int column) {
        return grid && grid->OnAccessibleText ? grid->OnAccessibleText(column, row) : QString();
    };
    s.rect = [grid](int row, int column) {
        const QRect r = grid->CellRect(column, row);
        return r.intersects(grid->rect()) ? r : QRect();
    };
    s.focused = [grid]() -> std::optional<std::pair<int, int>> {
        if (!grid || !grid->hasFocus())
            return std::nullopt;
        return std::make_pair(grid->Row(), grid->Col());
    };
    return s;
}

// The focused cell follows the keyboard cursor.
template <typename View> void announceCursor(View* view)
{
    QObject::connect(view, &View::CursorMoved, view, [view](QObject*) {
        if (!QAccessible::isActive() || !view->cursor())
            return;
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view);
        QAccessibleInterface* cell = table ? table->focusChild() : nullptr;
        if (!cell)
            return;
        QAccessibleEvent event(view, QAccessible::Focus);
        event.setChild(table->indexOfChild(cell));
        QAccessible::updateAccessibility(&event);
    });
}

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("planning::TAnnualGraphicPlanning")) {
        auto* view = static_cast<TAnnualGraphicPlanning*>(object);
        announceCursor(view);
        return new CellTable(view, annualSource(view));
    }
    if (className == QLatin1String("planning::TMonthlyGraphicPlanning")) {
        auto* view = static_cast<TMonthlyGraphicPlanning*>(object);
        announceCursor(view);
        return new CellTable(view, monthlySource(view));
    }
    if (className == QLatin1String("ui::TDrawGrid"))
        return new CellTable(static_cast<QWidget*>(object), gridSource(static_cast<ui::TDrawGrid*>(object)));
    return nullptr;
}

}  // namespace

void InstallPlanningAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(factory);
}

}  // namespace planning
