#include "widgets/result_list.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMetaMethod>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>

namespace capacimo::widgets {

namespace {

// Gives every row the list's fixed row height.
class FixedRowDelegate final : public QStyledItemDelegate {
public:
    explicit FixedRowDelegate(TdfsEnhListView* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), list_->RowHeight()};
    }

private:
    TdfsEnhListView* list_;
};

// How many sub-items a row has, kept on its first cell: the row's cells exist
// for every column, but only this many are drawn.
constexpr int SubItemCountRole = Qt::UserRole + 1;

constexpr int CellPadding = 4;  // sub-item cells are narrowed by this on both sides
constexpr int LeftIndent = 4;   // left-aligned text moves this much further right

Qt::Alignment horizontal(Qt::Alignment a) { return a & Qt::AlignHorizontal_Mask; }

}  // namespace

TdfsEnhListView::TdfsEnhListView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(0);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    setFocusPolicy(Qt::ClickFocus);  // reachable by mouse, not with Tab
    setItemDelegate(new FixedRowDelegate(this));
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(false);
}

QString TdfsEnhListView::ColumnCaption(int column) const { return headerItem()->text(column); }

int TdfsEnhListView::AddColumn(const QString& caption, int width, Qt::Alignment alignment, bool autoSize) {
    const int column = columnCount();
    setColumnCount(column + 1);
    autoSize_.append(autoSize);
    headerItem()->setText(column, caption);
    setColumnAlignment(column, alignment);
    header()->resizeSection(column, width);
    applyColumnModes();
    return column;
}

void TdfsEnhListView::setColumnWidth(int column, int width) { header()->resizeSection(column, width); }

Qt::Alignment TdfsEnhListView::ColumnAlignment(int column) const {
    const Qt::Alignment a = horizontal(Qt::Alignment(headerItem()->textAlignment(column)));
    return a ? a : Qt::AlignLeft;
}

void TdfsEnhListView::setColumnAlignment(int column, Qt::Alignment alignment) {
    if (column < 0 || column >= columnCount()) return;
    const Qt::Alignment a = (horizontal(alignment) ? horizontal(alignment) : Qt::AlignLeft) | Qt::AlignVCenter;
    headerItem()->setTextAlignment(column, a);
    for (int row = 0; row < topLevelItemCount(); ++row) topLevelItem(row)->setTextAlignment(column, a);
}

bool TdfsEnhListView::ColumnAutoSize(int column) const {
    return column >= 0 && column < autoSize_.size() && autoSize_[column];
}

void TdfsEnhListView::setColumnAutoSize(int column, bool autoSize) {
    if (column < 0 || column >= autoSize_.size()) return;
    autoSize_[column] = autoSize;
    applyColumnModes();
}

void TdfsEnhListView::applyColumnModes() {
    // One auto-sized column takes up the width the others leave; the user
    // may still resize the others.
    bool stretched = false;
    for (int c = 0; c < autoSize_.size(); ++c) {
        const bool stretch = autoSize_[c] && !stretched;
        stretched = stretched || stretch;
        header()->setSectionResizeMode(c, stretch ? QHeaderView::Stretch : QHeaderView::Interactive);
    }
}

int TdfsEnhListView::AddItem(const QString& caption, const QStringList& subItems) {
    auto* item = new QTreeWidgetItem(QStringList{caption} + subItems);
    item->setData(0, SubItemCountRole, int(subItems.size()));
    for (int c = 0; c < columnCount(); ++c) item->setTextAlignment(c, ColumnAlignment(c) | Qt::AlignVCenter);
    addTopLevelItem(item);
    return indexOfTopLevelItem(item);
}

QString TdfsEnhListView::ItemCaption(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(0) : QString();
}

int TdfsEnhListView::SubItemCount(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->data(0, SubItemCountRole).toInt() : 0;
}

QString TdfsEnhListView::SubItem(int row, int index) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item && index >= 0 ? item->text(index + 1) : QString();
}

void TdfsEnhListView::setSubItem(int row, int index, const QString& text) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item || index < 0) return;
    if (index >= item->data(0, SubItemCountRole).toInt()) item->setData(0, SubItemCountRole, index + 1);
    item->setText(index + 1, text);
}

void TdfsEnhListView::BeginUpdate() {
    if (updateCount_++ == 0) viewport()->setUpdatesEnabled(false);
}

void TdfsEnhListView::EndUpdate() {
    if (updateCount_ == 0) return;
    // Turning updates back on repaints the rows once.
    if (--updateCount_ == 0) viewport()->setUpdatesEnabled(true);
}

void TdfsEnhListView::setHideSelection(bool hide) {
    hideSelection_ = hide;
    viewport()->update();
}

int TdfsEnhListView::RowHeight() const { return QFontMetrics(font()).height() + 1; }

void TdfsEnhListView::changeEvent(QEvent* event) {
    QTreeWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) scheduleDelayedItemsLayout();
}

void TdfsEnhListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    // The row spans the columns, starting where the first column starts.
    const QRect rect(header()->sectionViewportPosition(0), option.rect.top(), header()->length(), option.rect.height());
    TOwnerDrawState state;
    if (selectionModel() && selectionModel()->isRowSelected(index.row(), index.parent())) state |= odSelected;
    if (currentIndex().isValid() && currentIndex().row() == index.row()) state |= odFocused;
    painter->save();
    const_cast<TdfsEnhListView*>(this)->DrawItem(painter, index.row(), rect, state);
    painter->restore();
}

void TdfsEnhListView::DrawItem(QPainter* painter, int row, const QRect& rect, TOwnerDrawState state) {
    const QTreeWidgetItem* item = topLevelItem(row);
    if (!item) return;

    static const QMetaMethod drawSignal = QMetaMethod::fromSignal(&TdfsEnhListView::OnDrawItem);
    bool defaultDrawing = !isSignalConnected(drawSignal);
    bool fullRowSelect = false;
    emit OnDrawItem(this, painter, row, rect, state, defaultDrawing, fullRowSelect);
    if (!defaultDrawing) return;

    const QPalette& pal = palette();
    const bool focused = hasFocus();
    painter->fillRect(rect, pal.color(QPalette::Base));

    const QRect selection =
        fullRowSelect ? rect : QRect(rect.left(), rect.top(), header()->sectionSize(0), rect.height());
    const bool showSelection = (state & odSelected) && (focused || !hideSelection_);
    if (showSelection)
        painter->fillRect(selection,
                          focused ? pal.color(QPalette::Active, QPalette::Highlight) : pal.color(QPalette::Button));

    QColor selectedText = pal.color(QPalette::Text);
    if (state & odSelected) {
        if (focused)
            selectedText = pal.color(QPalette::Active, QPalette::HighlightedText);
        else if (!hideSelection_)
            selectedText = pal.color(QPalette::ButtonText);
    }

    drawCells(painter, row, rect, fullRowSelect, selectedText);

    if ((state & odFocused) && focused) {
        QStyleOptionFocusRect opt;
        opt.initFrom(this);
        opt.rect = selection;
        opt.state |= QStyle::State_KeyboardFocusChange;
        opt.backgroundColor = pal.color(showSelection ? QPalette::Highlight : QPalette::Base);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, painter, this);
    }
}

void TdfsEnhListView::drawCells(QPainter* painter, int row, const QRect& rect, bool fullRowSelect,
                                const QColor& selectedText) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    const QPalette& pal = palette();
    painter->setFont(font());
    const QFontMetrics fm(font());
    const int subItems = SubItemCount(row);
    int x = rect.left();
    for (int column = 0; column < columnCount(); ++column) {
        if (header()->isSectionHidden(column)) continue;
        const int width = header()->sectionSize(column);
        if (column > 0 && column > subItems) break;
        QRect cell(x, rect.top(), width, rect.height());
        x += width;
        const Qt::Alignment align = ColumnAlignment(column);
        if (column > 0) cell.adjust(CellPadding, 0, -CellPadding, 0);
        if (align & Qt::AlignLeft) cell.adjust(LeftIndent, 0, 0, 0);
        if (cell.width() <= 0) continue;

        const bool plain = column > 0 && !fullRowSelect;
        painter->setPen(plain ? pal.color(QPalette::Text) : selectedText);
        // One line, cut with a trailing ellipsis; "&" is an ordinary character.
        const QString text = fm.elidedText(item->text(column), Qt::ElideRight, cell.width());
        painter->drawText(cell, int(align | Qt::AlignVCenter | Qt::TextSingleLine), text);
    }
}

}  // namespace capacimo::widgets
