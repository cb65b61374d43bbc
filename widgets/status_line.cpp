#include "widgets/status_line.h"

#include <QAccessible>

namespace capacimo::widgets {

void TStatusLine::showMessage(const QString& message) {
    const bool wasShown = isVisible() && !isHidden();
    const bool changed = message != text();
    setText(message);
    setHidden(message.isEmpty());
    // Showing it says it; one already in view is shown anew.
    if (wasShown && changed && !message.isEmpty()) {
        QAccessibleEvent shown(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
}

}  // namespace capacimo::widgets
