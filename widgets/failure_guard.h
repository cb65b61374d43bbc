#pragma once

#include <QWidget>

#include "common/error_box.h"

namespace capacimo::widgets {

// Qt cannot carry an exception out of a slot, timer callback or event
// handler, so code that may throw and runs from one goes through here: a
// failure is shown in the standard error box over the widget's window, as the
// dialogs' own handlers do. Returns false when something failed.
template <class Action>
bool showingFailures(const QWidget* widget, Action&& action) {
    try {
        action();
        return true;
    } catch (...) {
        showErrorBox(widget != nullptr ? widget->window() : nullptr, currentExceptionMessage());
        return false;
    }
}

}  // namespace capacimo::widgets
