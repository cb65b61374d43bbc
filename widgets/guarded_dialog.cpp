#include "widgets/guarded_dialog.h"

#include <QAbstractButton>
#include <QKeyEvent>

#include "widgets/failure_guard.h"

namespace capacimo::widgets {

TGuardedDialog::TGuardedDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

bool TGuardedDialog::event(QEvent* event) {
    // Qt's styles draw the focus only once the keyboard has moved it (a Tab);
    // focus moved by a shortcut (Ctrl+Tab) or by the program would go unseen.
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate)
        setAttribute(Qt::WA_KeyboardFocusChange);
    bool handled = true;
    showingFailures(this, [&] { handled = QDialog::event(event); });
    return handled;
}

void TGuardedDialog::keyPressEvent(QKeyEvent* event) {
    auto* button = qobject_cast<QAbstractButton*>(focusWidget());
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && button != nullptr && button->isEnabled()) {
        button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace capacimo::widgets
