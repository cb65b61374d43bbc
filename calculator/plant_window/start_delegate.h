// The plant table's editor of a start day: a date field with a calendar that
// drops down, in the ISO form the table shows. Delete in it clears the day
// (the recorder then has no start); a recorder without one starts at today.
#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace capacimo::unit {

class StartDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // today: the day a recorder without a start is offered.
    StartDelegate(std::function<QDate()> today, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<QDate()> today_;
};

}  // namespace capacimo::unit
