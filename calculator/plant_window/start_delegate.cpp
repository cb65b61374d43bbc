#include "calculator/plant_window/start_delegate.h"

#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>

#include "calculator/plant/calendar_date.h"
#include "calculator/plant_window/plant_model.h"

namespace capacimo::unit {
namespace {

// The day before the first the program names stands for "no start": the
// field shows its special text there.
const QDate kNoStart = QDate(1970, 1, 1).addDays(-1);

}  // namespace

StartDelegate::StartDelegate(std::function<QDate()> today, QObject* parent)
    : QStyledItemDelegate(parent), today_(std::move(today)) {}

QWidget* StartDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* edit = new QDateEdit(parent);
    edit->setObjectName("dte_Start");
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setDateRange(kNoStart, qDateOf(kLastDate));
    edit->setSpecialValueText(QStringLiteral("no start"));
    edit->setAlignment(Qt::AlignRight);
    edit->setAccessibleName(QStringLiteral("Start"));
    edit->setAccessibleDescription(QStringLiteral("The day the memory was last emptied; Delete: no start"));
    edit->findChild<QLineEdit*>()->setAccessibleName(edit->accessibleName());
    return edit;
}

void StartDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QDate start = index.data(Qt::EditRole).toDate();
    static_cast<QDateEdit*>(editor)->setDate(start.isValid() ? start : today_());
}

void StartDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    const QDate date = static_cast<QDateEdit*>(editor)->date();
    model->setData(index, date == kNoStart ? QDate() : date, Qt::EditRole);
}

bool StartDelegate::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QDateEdit*>(watched);
    if (edit != nullptr && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        edit->setDate(kNoStart);
        return true;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

}  // namespace capacimo::unit
