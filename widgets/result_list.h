#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>
#include <QTreeWidget>

#include <QPainter>

namespace capacimo::widgets {

// A report-style list with owner-drawn rows of one fixed height. Row captions
// sit in the first column, sub-items in the following ones; every cell is an
// ordinary QTreeWidget item text, so it can be read through the model.
class TdfsEnhListView : public QTreeWidget {
    Q_OBJECT
public:
    enum TOwnerDrawStateFlag {
        odSelected = 0x1,
        odFocused = 0x2,
    };
    Q_DECLARE_FLAGS(TOwnerDrawState, TOwnerDrawStateFlag)

    explicit TdfsEnhListView(QWidget* parent = nullptr);

    // Columns. The one auto-sized column takes the width the others leave.
    int AddColumn(const QString& caption, int width, Qt::Alignment alignment = Qt::AlignLeft, bool autoSize = false);
    int ColumnCount() const { return columnCount(); }
    QString ColumnCaption(int column) const;
    int ColumnWidth(int column) const { return columnWidth(column); }
    void setColumnWidth(int column, int width);
    Qt::Alignment ColumnAlignment(int column) const;
    void setColumnAlignment(int column, Qt::Alignment alignment);
    bool ColumnAutoSize(int column) const;
    void setColumnAutoSize(int column, bool autoSize);

    // Items: a caption and its sub-items; returns the new row's index.
    int AddItem(const QString& caption, const QStringList& subItems = {});
    int ItemCount() const { return topLevelItemCount(); }
    QString ItemCaption(int row) const;
    int SubItemCount(int row) const;
    QString SubItem(int row, int index) const;
    // Replaces sub-item `index` (0 = second column) of `row`; a missing
    // sub-item in between is created empty.
    void setSubItem(int row, int index, const QString& text);

    // Nestable update bracket; while open, the rows are not repainted.
    void BeginUpdate();
    void EndUpdate();  // never goes below 0; at 0 repaints once
    int UpdateCount() const { return updateCount_; }

    // Selected rows are hidden while the list does not have the focus.
    bool HideSelection() const { return hideSelection_; }
    void setHideSelection(bool hide);

    // Height of every row: the text "Wy" in the list's font plus one pixel.
    int RowHeight() const;

    // Paints one row through the list's drawing path; exposed for the gallery.
    void DrawItem(QPainter* painter, int row, const QRect& rect, TOwnerDrawState state);

signals:
    // Asked once per row paint. DefaultDrawing starts false when something is
    // connected (true otherwise), FullRowSelect false; a handler sets both.
    void OnDrawItem(TdfsEnhListView* Control, QPainter* ACanvas, int Index, const QRect& ARect,
                    TdfsEnhListView::TOwnerDrawState State, bool& DefaultDrawing, bool& FullRowSelect);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void changeEvent(QEvent* event) override;

private:
    void applyColumnModes();
    // The cells of one row: sub-items narrowed by the padding, left-aligned
    // text indented, each cut with an ellipsis.
    void drawCells(QPainter* painter, int row, const QRect& rect, bool fullRowSelect, const QColor& selectedText) const;

    QList<bool> autoSize_;
    int updateCount_ = 0;
    bool hideSelection_ = true;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TdfsEnhListView::TOwnerDrawState)

}  // namespace capacimo::widgets
