#pragma once

#include <QWidget>
#include <concepts>
#include <utility>

#include "common/ui/error_box.h"

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

// A slot that shows its failures over `widget`'s window instead of letting
// them leave it, for connect(sender, &Sender::signal, widget, guarded(widget, slot)).
// The slot takes the signal's first arguments or none, as with a plain slot.
template <class Slot>
auto guarded(const QWidget* widget, Slot slot) {
    return [ widget, slot = std::move(slot) ](
        auto&&... arguments) mutable requires std::invocable<Slot&, decltype(arguments)...> {
        showingFailures(widget, [&] { slot(std::forward<decltype(arguments)>(arguments)...); });
    };
}

}  // namespace capacimo::widgets
