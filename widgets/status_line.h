#pragma once

#include <QLabel>

namespace capacimo::widgets {

// The status line of a dialog: a label that shows one message at a time, or
// nothing (hidden). A screen reader hears of every new message: the line is
// a notification to it (widgets/accessibility.h), and a notification is
// said when it shows. Qt 6.4 has no announcement event, and its AT-SPI bridge
// drops QAccessible::Alert events; it passes on a notification's showing,
// which a reader speaks, and a change of its name.
class TStatusLine : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // Shows the message (hidden when it is empty); a message other than the
    // one shown is said again, even while the line stays visible.
    void showMessage(const QString& message);
};

}  // namespace capacimo::widgets
