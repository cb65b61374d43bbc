#include "widgets/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <algorithm>

#include "widgets/spin_edit.h"
#include "widgets/status_line.h"

namespace capacimo::widgets {
namespace {

int g_users = 0;

class NamedList final : public QAccessibleWidget {
public:
    explicit NamedList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return list()->currentText();
        const QString own = QAccessibleWidget::text(t);  // the name it was given
        return t == QAccessible::Name && own.isEmpty() ? list()->currentText() : own;
    }
    // Its one child is the list of entries that drops down.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == list()->view() ? 0 : -1;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) return QAccessibleWidget::doAction(action);
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(object()); }
};

// A spin edit as a spin box: its number with range and step, and its text to
// read and edit. (Qt's own presentation of a line edit is not public, so the
// text is presented here through QLineEdit's public functions.)
class SpinField final : public QAccessibleWidget,
                        public QAccessibleValueInterface,
                        public QAccessibleTextInterface,
                        public QAccessibleEditableTextInterface {
public:
    explicit SpinField(TSpinEdit_X* edit) : QAccessibleWidget(edit, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (t == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? edit()->text() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !edit()->isReadOnly();
        s.readOnly = edit()->isReadOnly();
        s.selectableText = true;
        return s;
    }

    // The number, as Value reads it; set as Value sets it (clamped).
    QVariant currentValue() const override { return edit()->Value(); }
    void setCurrentValue(const QVariant& value) override {
        if (!edit()->ReadOnly()) edit()->setValue(value.toInt());
    }
    QVariant maximumValue() const override { return edit()->MaxValue(); }
    QVariant minimumValue() const override { return edit()->MinValue(); }
    QVariant minimumStepSize() const override { return edit()->Increment(); }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || !edit()->hasSelectedText()) return;
        *start = edit()->selectionStart();
        *end = edit()->selectionEnd();
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) edit()->deselect();
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) edit()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int start, int end) const override { return edit()->text().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(edit()->text().size()); }
    QRect characterRect(int offset) const override {
        // The text is short and left-aligned, and never scrolls: its
        // characters stand one after the other from the text area's left.
        const QString s = edit()->text();
        if (offset < 0 || offset >= s.size()) return {};
        const QFontMetrics metrics = edit()->fontMetrics();
        const QRect area = edit()->contentsRect().marginsRemoved(edit()->textMargins());
        const int left = area.left() + kTextIndent + metrics.horizontalAdvance(s.left(offset));
        const QRect r(left, area.center().y() - metrics.height() / 2, metrics.horizontalAdvance(s.at(offset)),
                      metrics.height());
        return QRect(edit()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int, int end) override { edit()->setCursorPosition(end); }
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

    // Edited as a paste edits it: only where the user may type.
    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int offset, const QString& s) override { replaceText(offset, offset, s); }
    void replaceText(int start, int end, const QString& s) override {
        if (edit()->isReadOnly()) return;
        QString t = edit()->text();
        start = std::clamp(start, 0, static_cast<int>(t.size()));
        end = std::clamp(end, start, static_cast<int>(t.size()));
        edit()->setText(t.replace(start, end - start, s));
    }

private:
    // QLineEdit's room between its text area and the first character.
    static constexpr int kTextIndent = 2;
    TSpinEdit_X* edit() const { return static_cast<TSpinEdit_X*>(object()); }
};

class StatusLine final : public QAccessibleWidget {
public:
    explicit StatusLine(TStatusLine* line) : QAccessibleWidget(line, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? static_cast<QLabel*>(object())->text() : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* presentation(const QString&, QObject* object) {
    if (auto* list = qobject_cast<QComboBox*>(object)) {
        if (list->isEditable()) return nullptr;
        if (list->view()->accessibleName().isEmpty()) list->view()->setAccessibleName(list->accessibleName());
        return new NamedList(list);
    }
    if (auto* edit = qobject_cast<TSpinEdit_X*>(object)) return new SpinField(edit);
    if (auto* line = qobject_cast<TStatusLine*>(object)) return new StatusLine(line);
    return nullptr;
}

}  // namespace

Accessibility::Accessibility() {
    if (g_users++ == 0) QAccessible::installFactory(presentation);
}

Accessibility::~Accessibility() {
    if (--g_users == 0) QAccessible::removeFactory(presentation);
}

}  // namespace capacimo::widgets
