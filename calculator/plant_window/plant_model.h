// The plant window's table: the recorders of a plant (calculator/plant/plant.h)
// as rows, sorted by a column, each cell the text the plant gives it. The
// model holds no rule of its own: every row, its order and the totals are
// the plant's answers. An edit of one recorder evaluates that recorder again
// and no other, and tells the view of that row alone unless the row moves.
#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <cstddef>
#include <optional>
#include <vector>

#include "calculator/plant/plant.h"

namespace capacimo::unit {

// A calendar day as Qt holds it, and back (an invalid QDate: no day).
QDate qDateOf(CalendarDate date);
std::optional<CalendarDate> calendarDateOf(const QDate& date);

class PlantTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The table's columns: the plant's own, with the start day after the name.
    static constexpr int kNameColumn = 0;
    static constexpr int kStartColumn = 1;
    static constexpr int kColumns = static_cast<int>(kPlantColumns.size()) + 1;
    // The plant's column a table column shows; none for the start.
    static std::optional<PlantColumn> plantColumn(int column);

    // The clock must outlive the model.
    PlantTableModel(const Clock& clock, int marginDays, QObject* parent = nullptr);

    const Plant& plant() const { return plant_; }
    // The recorder a table row shows (its place in the plant's file order),
    // and the row that shows a recorder.
    std::size_t recorderAt(int row) const { return order_.at(static_cast<std::size_t>(row)); }
    int rowOf(std::size_t recorder) const;

    // Edits of the plant, in its file order; each says which recorder changed.
    void insert(std::size_t index, PlantRecorder recorder);
    void replace(std::size_t index, PlantRecorder recorder);
    PlantRecorder remove(std::size_t index);
    // Every recorder anew, with the rows of its file that could not be read
    // (a plant file opened).
    void reset(std::vector<PlantRecorder> recorders, std::vector<KeptRow> kept = {});
    void setMarginDays(int days);
    // Follows the clock to a new day; true when the day changed.
    bool refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The name (renaming) and the start day (an invalid QDate: none).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // By any of the plant's columns; the start column keeps the order it has.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

signals:
    // A recorder was added, changed or taken out (not the margin nor the day).
    void recordersChanged();
    // The totals may differ (any change of a row).
    void rowsJudged();

private:
    // The rows in the sort's order again; the view hears of a move only.
    void reorder();
    std::vector<std::size_t> sortedOrder() const;

    Plant plant_;
    std::vector<std::size_t> order_;  // table row -> recorder
    int sortColumn_ = static_cast<int>(PlantColumn::ReadOutBy) + 1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace capacimo::unit
