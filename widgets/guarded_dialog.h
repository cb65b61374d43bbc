// The base of the unit's windows (the calculator dialog and its Details
// window). No exception leaves one of its event handlers: the standard error
// box shows it and the window goes on, as guarded() does for the slots they
// connect. Enter on a focused button presses that button (the windows have no
// default button, so that Enter in a field presses nothing). The focused
// control always shows its focus, however the focus came to it.
#pragma once

#include <QDialog>

namespace capacimo::widgets {

class TGuardedDialog : public QDialog {
    Q_OBJECT
public:
    explicit TGuardedDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace capacimo::widgets
