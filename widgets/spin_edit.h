#pragma once

#include <QLineEdit>
#include <QString>

namespace capacimo::widgets {

class TSpinButton_X;

// A one-line box for a whole number with an up/down button pair inside its
// right edge. The number lives only in the text: Value reads the text as a
// decimal integer, and the range MinValue..MaxValue is applied only when the
// value is set (Value, the buttons, the arrow keys), never when it is read.
//
// Keys: characters that cannot be part of a number are dropped with a beep
// (see IsValidChar). Enter beeps as well and is consumed, so a QDialog around
// the box does not press its default or auto-default button on it; other
// controls of such a dialog still pass Enter on. Esc goes through as usual.
class TSpinEdit_X : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE setValue NOTIFY OnChange)
    Q_PROPERTY(int MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int Increment READ Increment WRITE setIncrement)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE setEditorEnabled)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE setAutoSelect)

public:
    explicit TSpinEdit_X(QWidget* parent = nullptr);
    ~TSpinEdit_X() override;

    // The text as a decimal integer with optional sign; MinValue when the text
    // is not one (empty, a lone sign, letters, a separator, beyond 32 bits).
    int Value() const;
    // Sets the text to the decimal text of CheckValue(value).
    void setValue(int value);

    // Plain stored bounds; changing them leaves the text alone.
    int MinValue() const { return minValue_; }
    void setMinValue(int value) { minValue_ = value; }
    int MaxValue() const { return maxValue_; }
    void setMaxValue(int value) { maxValue_ = value; }

    int Increment() const { return increment_; }
    void setIncrement(int value) { increment_ = value; }

    // Whether the user may type, paste and cut.
    bool EditorEnabled() const { return editorEnabled_; }
    void setEditorEnabled(bool enabled);

    bool ReadOnly() const { return readOnly_; }
    // Hides QLineEdit::setReadOnly so that EditorEnabled can share the flag;
    // a call through a QLineEdit pointer is noticed as well.
    void setReadOnly(bool readOnly);

    // Select the whole text when the focus arrives other than by a left click.
    bool AutoSelect() const { return autoSelect_; }
    void setAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }

    QString Text() const { return text(); }
    void setText(const QString& text) { QLineEdit::setText(text); }

    // Clamps to MinValue..MaxValue; when the two are equal there is no limit.
    int CheckValue(int value) const;

    virtual bool IsValidChar(QChar c) const;
    virtual void UpClick();
    virtual void DownClick();

    TSpinButton_X* Button() const { return button_; }

signals:
    // Once after every change of the text, whatever caused it.
    void OnChange();
    // A rejected key or a step on a read-only box; QApplication::beep() sounds too.
    void beeped();

protected:
    virtual void Beep();

    // The user entered or left the box. Focus that only follows the window
    // losing or regaining activation, or a popup menu, is neither.
    virtual void DoEnter() {}
    virtual void DoExit() {}

    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether every character typed or committed is one IsValidChar lets
    // through; beeps when one is not.
    bool acceptsTyped(const QString& typed);
    // Names the buttons for a screen reader: "Increase" and "Decrease" with the field's caption.
    void nameButtons();
    void syncReadOnly();
    void layoutButton();
    void step(long long delta);

    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
    bool editorEnabled_ = true;
    bool readOnly_ = false;
    bool autoSelect_ = true;
    bool syncingReadOnly_ = false;
    bool mouseFocusPending_ = false;
    bool entered_ = false;  // between DoEnter and DoExit
    TSpinButton_X* button_;
};

// The spin edit of the dialogs: remembers the value it had when it got the
// focus, and when the user leaves it, an empty text goes back to that value
// and an out-of-range value is clamped.
class TExtSpinEdit : public TSpinEdit_X {
    Q_OBJECT
public:
    explicit TExtSpinEdit(QWidget* parent = nullptr);

    // The Value at the moment the box last got the focus.
    int RememberedValue() const { return remembered_; }

protected:
    void DoEnter() override;
    void DoExit() override;

private:
    int remembered_ = 0;
};

}  // namespace capacimo::widgets
