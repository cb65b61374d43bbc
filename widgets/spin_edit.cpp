#include "widgets/spin_edit.h"

#include "common/core/decimal_text.h"
#include "widgets/failure_guard.h"
#include "widgets/spin_button.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionFrame>

#include <climits>

namespace capacimo::widgets {

namespace {

// Width of the button pair inside the box: 15 pixels at 96 dpi.
int pairWidth(const QWidget* w) { return (15 * w->logicalDpiX() + 48) / 96; }

bool isWindowSwitch(Qt::FocusReason reason) {
    // The window lost or regained activation, or a popup (context menu) came
    // up: the user has not entered or left this box.
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

}  // namespace

// --- TSpinEdit_X ---------------------------------------------------------

TSpinEdit_X::TSpinEdit_X(QWidget* parent) : QLineEdit(parent), button_(new TSpinButton_X(this)) {
    button_->setObjectName(QStringLiteral("SpinButton"));
    button_->setFocusControl(this);
    button_->setTabStop(false);
    button_->setCursor(Qt::ArrowCursor);
    button_->UpButton()->installEventFilter(this);
    button_->DownButton()->installEventFilter(this);
    connect(button_, &TSpinButton_X::OnUpClick, this, &TSpinEdit_X::UpClick);
    connect(button_, &TSpinButton_X::OnDownClick, this, &TSpinEdit_X::DownClick);
    connect(this, &QLineEdit::textChanged, this, &TSpinEdit_X::OnChange);
    // A screen reader hears of the number as well as of the text (widgets/accessibility.h).
    connect(this, &QLineEdit::textChanged, this, [this] {
        QAccessibleValueChangeEvent changed(this, Value());
        QAccessible::updateAccessibility(&changed);
    });
    QLineEdit::setText(QStringLiteral("0"));
    layoutButton();
}

TSpinEdit_X::~TSpinEdit_X() = default;

int TSpinEdit_X::Value() const { return capacimo::parseDecimal(text().toStdString()).value_or(minValue_); }

void TSpinEdit_X::setValue(int value) { QLineEdit::setText(QString::number(CheckValue(value))); }

int TSpinEdit_X::CheckValue(int value) const {
    if (maxValue_ == minValue_) return value;
    if (value < minValue_) return minValue_;
    if (value > maxValue_) return maxValue_;
    return value;
}

bool TSpinEdit_X::IsValidChar(QChar c) const {
    const char16_t u = c.unicode();
    if (!editorEnabled_ && (u >= 32 || u == 8)) return false;
    if (u >= u'0' && u <= u'9') return true;
    if (u == u'+' || u == u'-') return true;
    const QString separator = QLocale().decimalPoint();
    if (separator.size() == 1 && c == separator.front()) return true;
    return u < 32 && u != 13;
}

void TSpinEdit_X::UpClick() {
    if (readOnly_)
        Beep();
    else
        step(increment_);
}

void TSpinEdit_X::DownClick() {
    if (readOnly_)
        Beep();
    else
        step(-static_cast<long long>(increment_));
}

void TSpinEdit_X::step(long long delta) {
    // Saturate at the 32-bit range instead of wrapping around.
    long long next = static_cast<long long>(Value()) + delta;
    if (next > INT_MAX) next = INT_MAX;
    if (next < INT_MIN) next = INT_MIN;
    setValue(static_cast<int>(next));
}

void TSpinEdit_X::Beep() {
    emit beeped();
    QApplication::beep();
}

void TSpinEdit_X::setEditorEnabled(bool enabled) {
    editorEnabled_ = enabled;
    syncReadOnly();
}

void TSpinEdit_X::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    syncReadOnly();
}

// The underlying line edit is read-only whenever the user may not edit the
// text, so that every editing path it offers (keys, undo, the context menu,
// drag and drop) is closed at once. The buttons still set the value.
void TSpinEdit_X::syncReadOnly() {
    syncingReadOnly_ = true;
    QLineEdit::setReadOnly(readOnly_ || !editorEnabled_);
    syncingReadOnly_ = false;
}

void TSpinEdit_X::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        showingFailures(this, [this, key] { key == Qt::Key_Up ? UpClick() : DownClick(); });
        event->accept();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Enter is not a character of a number. The key is consumed here, so it
        // also does not reach a QDialog, which would otherwise press its
        // default (or first auto-default) button.
        Beep();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)) {
        if (editorEnabled_ && !readOnly_)
            QLineEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & (Qt::ControlModifier | Qt::MetaModifier);
    const bool alt = mods & Qt::AltModifier;
    if (ctrl != alt) {
        // A shortcut, not a typed character (Ctrl+Alt is AltGr on some keyboards).
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!acceptsTyped(event->text())) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

bool TSpinEdit_X::event(QEvent* event) {
    // With nothing of its own to undo or redo, the box leaves those keys to
    // its window (a dialog may undo a change of all its fields).
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->matches(QKeySequence::Undo) && !isUndoAvailable()) ||
            (key->matches(QKeySequence::Redo) && !isRedoAvailable())) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TSpinEdit_X::inputMethodEvent(QInputMethodEvent* event) {
    if (!acceptsTyped(event->commitString())) {
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

bool TSpinEdit_X::acceptsTyped(const QString& typed) {
    for (QChar c : typed) {
        if (c.unicode() == 0x7f) continue;  // the Delete key, not a character
        if (!IsValidChar(c)) {
            Beep();
            return false;
        }
    }
    return true;
}

void TSpinEdit_X::focusInEvent(QFocusEvent* event) {
    // The first focus of a newly shown window arrives as an activation too;
    // it is an entry all the same.
    if (isWindowSwitch(event->reason()) && entered_) {
        QLineEdit::focusInEvent(event);
        return;
    }
    const bool mouse = event->reason() == Qt::MouseFocusReason && (QGuiApplication::mouseButtons() & Qt::LeftButton);
    // QLineEdit selects on Tab focus by itself; it decides nothing here.
    QFocusEvent neutral(QEvent::FocusIn, Qt::OtherFocusReason);
    QLineEdit::focusInEvent(mouse ? event : &neutral);
    if (mouse) {
        // Either the click lands in the text (the press places the cursor) or
        // on a spin button, which counts as focus from elsewhere: decided when
        // the press itself arrives.
        mouseFocusPending_ = true;
    } else if (autoSelect_) {
        selectAll();
    }
    entered_ = true;
    DoEnter();
}

void TSpinEdit_X::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    mouseFocusPending_ = false;
    if (isWindowSwitch(event->reason()) || !entered_) return;
    entered_ = false;
    DoExit();
}

void TSpinEdit_X::hideEvent(QHideEvent* event) {
    // Hidden with its window (a dialog closing): the next showing enters anew,
    // and leaving is not run. Hidden with a page of a tab control, the focus
    // moves on from here and that is an ordinary exit.
    if (!window()->isVisible()) entered_ = false;
    QLineEdit::hideEvent(event);
}

void TSpinEdit_X::showEvent(QShowEvent* event) {
    QLineEdit::showEvent(event);
    nameButtons();
}

void TSpinEdit_X::nameButtons() {
    // A screen reader says what a button does and to which field: the field's
    // own name, or else its label's (the label whose buddy it is).
    QString caption = accessibleName();
    if (caption.isEmpty()) {
        if (QAccessibleInterface* field = QAccessible::queryAccessibleInterface(this))
            caption = field->text(QAccessible::Name);
    }
    while (caption.endsWith(u':') || caption.endsWith(u' ')) caption.chop(1);
    const QString suffix = caption.isEmpty() ? QString() : u' ' + caption;
    button_->UpButton()->setAccessibleName(QStringLiteral("Increase") + suffix);
    button_->DownButton()->setAccessibleName(QStringLiteral("Decrease") + suffix);
}

void TSpinEdit_X::mousePressEvent(QMouseEvent* event) {
    mouseFocusPending_ = false;
    QLineEdit::mousePressEvent(event);
}

bool TSpinEdit_X::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == button_->UpButton() || watched == button_->DownButton())) {
        if (mouseFocusPending_) {
            mouseFocusPending_ = false;
            if (autoSelect_ && hasFocus()) selectAll();
        }
    }
    return QLineEdit::eventFilter(watched, event);
}

void TSpinEdit_X::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    layoutButton();
}

void TSpinEdit_X::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::ReadOnlyChange:
        // Somebody called QLineEdit::setReadOnly directly: that is our ReadOnly.
        if (!syncingReadOnly_) {
            readOnly_ = isReadOnly();
            syncReadOnly();
        }
        break;
    case QEvent::FontChange:
    case QEvent::StyleChange: layoutButton(); break;
    default: break;
    }
    QLineEdit::changeEvent(event);
}

void TSpinEdit_X::layoutButton() {
    // The pair sits inside the frame at the right edge; the text area ends two
    // pixels before it, so typed text never runs under the buttons.
    QStyleOptionFrame opt;
    initStyleOption(&opt);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, this);
    const int pw = pairWidth(this);
    if (textMargins().right() != pw) setTextMargins(0, 0, pw, 0);
    setMinimumHeight(QLineEdit::minimumSizeHint().height());
    button_->setGeometry(width() - frame - pw, frame, pw, qMax(0, height() - 2 * frame));
}

// --- TExtSpinEdit ----------------------------------------------------------

TExtSpinEdit::TExtSpinEdit(QWidget* parent) : TSpinEdit_X(parent) {}

void TExtSpinEdit::DoEnter() { remembered_ = Value(); }

void TExtSpinEdit::DoExit() {
    if (text().isEmpty()) QLineEdit::setText(QString::number(remembered_));
    const int value = Value();
    if (CheckValue(value) != value) setValue(value);
}

}  // namespace capacimo::widgets
