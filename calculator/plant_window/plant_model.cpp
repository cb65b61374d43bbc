#include "calculator/plant_window/plant_model.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>

#include "calculator/text/vocabulary.h"
#include "common/qt_text.h"
#include "widgets/contrast.h"

namespace capacimo::unit {
namespace {

// Qt counts days from the Julian day 0; the plant from 1970-01-01.
const qint64 kJulian1970 = QDate(1970, 1, 1).toJulianDay();

// Names and states read from the left; figures, cards and days line up on the right.
Qt::Alignment alignmentOf(int column) {
    const std::optional<PlantColumn> shown = PlantTableModel::plantColumn(column);
    const bool left = shown == PlantColumn::Name || shown == PlantColumn::State;
    return (left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
}

}  // namespace

QDate qDateOf(CalendarDate date) { return QDate::fromJulianDay(kJulian1970 + date.daysSince1970()); }

std::optional<CalendarDate> calendarDateOf(const QDate& date) {
    if (!date.isValid()) return std::nullopt;
    return CalendarDate(date.toJulianDay() - kJulian1970);
}

std::optional<PlantColumn> PlantTableModel::plantColumn(int column) {
    if (column == kStartColumn || column < 0 || column >= kColumns) return std::nullopt;
    return kPlantColumns[static_cast<std::size_t>(column < kStartColumn ? column : column - 1)];
}

PlantTableModel::PlantTableModel(const Clock& clock, int marginDays, QObject* parent)
    : QAbstractTableModel(parent), plant_(clock, marginDays) {}

int PlantTableModel::rowOf(std::size_t recorder) const {
    const auto at = std::find(order_.begin(), order_.end(), recorder);
    return at == order_.end() ? -1 : static_cast<int>(at - order_.begin());
}

std::vector<std::size_t> PlantTableModel::sortedOrder() const {
    const std::optional<PlantColumn> column = plantColumn(sortColumn_);
    const SortOrder order = sortOrder_ == Qt::AscendingOrder ? SortOrder::Ascending : SortOrder::Descending;
    return plant_.sorted(column.value_or(PlantColumn::ReadOutBy), order);
}

void PlantTableModel::insert(std::size_t index, PlantRecorder recorder) {
    plant_.insert(index, std::move(recorder));
    // The rows shown until the view hears of the new one, at their new places.
    for (std::size_t& at : order_)
        if (at >= index) ++at;
    // The other rows keep their order among themselves (a stable sort of
    // unchanged keys): only the new one comes in.
    std::vector<std::size_t> order = sortedOrder();
    const int row = static_cast<int>(std::find(order.begin(), order.end(), index) - order.begin());
    beginInsertRows({}, row, row);
    order_ = std::move(order);
    endInsertRows();
    emit recordersChanged();
    emit rowsJudged();
}

void PlantTableModel::replace(std::size_t index, PlantRecorder recorder) {
    plant_.replace(index, std::move(recorder));
    const int row = rowOf(index);
    emit dataChanged(this->index(row, 0), this->index(row, kColumns - 1));
    reorder();
    emit recordersChanged();
    emit rowsJudged();
}

PlantRecorder PlantTableModel::remove(std::size_t index) {
    const int row = rowOf(index);
    beginRemoveRows({}, row, row);
    PlantRecorder recorder = plant_.remove(index);
    order_ = sortedOrder();
    endRemoveRows();
    emit recordersChanged();
    emit rowsJudged();
    return recorder;
}

void PlantTableModel::reset(std::vector<PlantRecorder> recorders, std::vector<KeptRow> kept) {
    beginResetModel();
    while (plant_.size() > 0) plant_.remove(plant_.size() - 1);
    for (PlantRecorder& recorder : recorders) plant_.append(std::move(recorder));
    plant_.setKept(std::move(kept));
    order_ = sortedOrder();
    endResetModel();
    emit recordersChanged();
    emit rowsJudged();
}

void PlantTableModel::setMarginDays(int days) {
    if (days == plant_.marginDays()) return;
    plant_.setMarginDays(days);
    emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
    reorder();
    emit rowsJudged();
}

bool PlantTableModel::refresh() {
    if (!plant_.refresh()) return false;
    emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
    reorder();
    emit rowsJudged();
    return true;
}

void PlantTableModel::reorder() {
    std::vector<std::size_t> order = sortedOrder();
    if (order == order_) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRow(order.size());
    for (std::size_t row = 0; row < order.size(); ++row) newRow[order[row]] = static_cast<int>(row);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& i : before) after << index(newRow[order_[static_cast<std::size_t>(i.row())]], i.column());
    order_ = std::move(order);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void PlantTableModel::sort(int column, Qt::SortOrder order) {
    // The start day is the user's to set, not an order the plant knows.
    if (!plantColumn(column)) return;
    sortColumn_ = column;
    sortOrder_ = order;
    reorder();
}

int PlantTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int PlantTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant PlantTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const std::size_t at = recorderAt(index.row());
    const PlantRecorder& recorder = plant_.recorders()[at];
    const RecorderRow& row = plant_.rows()[at];
    const int column = index.column();
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignmentOf(column));
    if (role == Qt::EditRole && column == kNameColumn) return QString::fromStdString(recorder.name);
    if (role == Qt::EditRole && column == kStartColumn) return recorder.start ? qDateOf(*recorder.start) : QDate();
    if (column == kStartColumn) {
        // A start its file held that could not be read shows as it was, marked.
        const StartCell start = startCell(recorder);
        const bool refused = !start.refusal.empty();
        if (role == Qt::DisplayRole) return QString::fromStdString(start.text);
        if (role == Qt::ToolTipRole && refused)
            return QStringLiteral("Not read: ") + QString::fromStdString(start.refusal);
        if (role == Qt::AccessibleTextRole && refused)
            return QStringLiteral("%1, not read").arg(QString::fromStdString(start.text));
        if (role == Qt::ForegroundRole && refused) {
            const Rgb c = statusColour(StatusLevel::Error);
            return widgets::readableOn(QColor(c.red, c.green, c.blue),
                                       QGuiApplication::palette().color(QPalette::Base));
        }
        return {};
    }
    if (role == Qt::DisplayRole) return QString::fromStdString(cellText(row, *plantColumn(column)));
    if (plantColumn(column) != PlantColumn::State) return {};
    // The state in its colour as well as in its word; the urgent ones in bold.
    if (role == Qt::ForegroundRole) {
        const Rgb c = recorderStateColour(row.dates.state);
        return widgets::readableOn(QColor(c.red, c.green, c.blue), QGuiApplication::palette().color(QPalette::Base));
    }
    if (role == Qt::FontRole && (row.dates.state == RecorderState::Overdue || row.dates.state == RecorderState::Due)) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return {};
}

QVariant PlantTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignmentOf(section));
    if (role != Qt::DisplayRole) return {};
    const std::optional<PlantColumn> column = plantColumn(section);
    return qText(column ? plantColumnCaption(*column) : kPlantStartCaption);
}

Qt::ItemFlags PlantTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == kNameColumn || index.column() == kStartColumn) flags |= Qt::ItemIsEditable;
    return flags;
}

bool PlantTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount()) return false;
    const std::size_t at = recorderAt(index.row());
    PlantRecorder recorder = plant_.recorders()[at];
    if (index.column() == kNameColumn) {
        const QString name = value.toString().trimmed();
        if (name.isEmpty() || name.toStdString() == recorder.name) return false;
        recorder.name = name.toStdString();
    } else if (index.column() == kStartColumn) {
        const std::optional<CalendarDate> start = calendarDateOf(value.toDate());
        if (start == recorder.start && recorder.refused.start.empty()) return false;
        recorder.start = start;
        recorder.refused.start.clear();  // the user's day in place of the one not read
    } else {
        return false;
    }
    replace(at, std::move(recorder));
    return true;
}

}  // namespace capacimo::unit
