#pragma once

#include "widgets/repeat_timer.h"

#include <QAbstractButton>
#include <QFlags>
#include <QPointer>
#include <QWidget>

namespace capacimo::widgets {

// A flat push button that keeps clicking while it is held.
//
// A press starts the repeat timer at 400 ms; every time it fires the interval
// drops to 100 ms and, while the button is still held down over itself, it
// clicks once. Releasing stops the timer and, when released over the button,
// clicks once more. So a short click is exactly one step.
class TTimerSpeedButton_X : public QAbstractButton {
    Q_OBJECT
public:
    enum TTimeBtnStateFlag {
        tbFocusRect = 0x1,   // draw a focus rectangle inset 3 pixels
        tbAllowTimer = 0x2,  // repeat while held
    };
    Q_DECLARE_FLAGS(TTimeBtnState, TTimeBtnStateFlag)

    static constexpr int InitialRepeatDelayMs = 400;
    static constexpr int RepeatIntervalMs = 100;

    explicit TTimerSpeedButton_X(QWidget* parent = nullptr);
    ~TTimerSpeedButton_X() override;

    TTimeBtnState TimeBtnState() const { return timeBtnState_; }
    void setTimeBtnState(TTimeBtnState state);

    // Direction of the arrow drawn on the button.
    void setArrow(Qt::ArrowType arrow);
    Qt::ArrowType arrow() const { return arrow_; }

    // The repeat timer is created on the first press. A factory set here (or,
    // failing that, the process-wide one) decides its kind; tests use this.
    void setTimerFactory(TRepeatTimerFactory factory);
    static void setDefaultTimerFactory(TRepeatTimerFactory factory);

    // The repeat timer, or nullptr before the first press.
    TRepeatTimer* repeatTimer() const { return timer_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void timerExpired();
    void cancelRepeat();

    TTimeBtnState timeBtnState_;
    Qt::ArrowType arrow_ = Qt::UpArrow;
    TRepeatTimerFactory factory_;
    TRepeatTimer* timer_ = nullptr;
    bool held_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TTimerSpeedButton_X::TTimeBtnState)

// The up/down button pair of a spin edit: the up button above the down button.
class TSpinButton_X : public QWidget {
    Q_OBJECT
public:
    static constexpr int DefaultWidth = 20;
    static constexpr int DefaultHeight = 25;
    static constexpr int MinimumWidth = 15;

    explicit TSpinButton_X(QWidget* parent = nullptr);

    TTimerSpeedButton_X* UpButton() const { return up_; }
    TTimerSpeedButton_X* DownButton() const { return down_; }
    TTimerSpeedButton_X* FocusedButton() const { return focused_; }
    void setFocusedButton(TTimerSpeedButton_X* button);

    // The edit this pair serves; it takes the focus when a button is pressed.
    QWidget* FocusControl() const { return focusControl_; }
    void setFocusControl(QWidget* control);

    // Whether the pair itself can be reached with Tab (false inside a spin edit).
    bool TabStop() const;
    void setTabStop(bool tabStop);

    QSize sizeHint() const override;

signals:
    void OnUpClick();
    void OnDownClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutButtons();
    void buttonPressed(TTimerSpeedButton_X* button);
    void updateFocusRects();

    TTimerSpeedButton_X* up_;
    TTimerSpeedButton_X* down_;
    TTimerSpeedButton_X* focused_;
    QPointer<QWidget> focusControl_;
};

}  // namespace capacimo::widgets
