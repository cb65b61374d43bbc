#include "common/ui/error_box.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <QStyle>
#include <exception>

namespace capacimo {
namespace {

// The standard box. With no window on screen to sit over (the launcher is
// still being made while the splash shows), it is centred on the screen
// instead of being left where its hidden parent is.
class StandardBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);  // sizes the box and places it over a visible parent
        if (parentWidget() != nullptr && parentWidget()->window()->isVisible()) return;
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen != nullptr) move(screen->availableGeometry().center() - rect().center());
    }
};

// QMessageBox sizes itself by its text alone, which can cut a longer title.
// The title bar shows the title in a bold font beside the window's icon and
// buttons; a spacer in the box's grid keeps room for all of them.
void makeRoomForTitle(QMessageBox& box, const QString& caption) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int titleBar = box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    const int width = QFontMetrics(titleFont).horizontalAdvance(caption) + 5 * titleBar;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

std::function<void(const QString&)>& handler() {
    static std::function<void(const QString&)> h;
    return h;
}

}  // namespace

QString errorBoxText(const QString& message) {
    const qsizetype end = message.indexOf(u'\n');
    const QString first = end < 0 ? message : message.first(end);
    const QString details = end < 0 ? QString() : message.sliced(end);
    if (!first.isEmpty() && first.back() > QChar(u'.')) return first + u'.' + details;
    return message;
}

QString currentExceptionMessage() {
    try {
        throw;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unbekannte Exception");
    }
}

void showMessageBox(QWidget* parent, const QString& text, const QString& caption) {
    StandardBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    makeRoomForTitle(box, caption);
    box.exec();
}

void showErrorBox(QWidget* parent, const QString& message) {
    const QString text = errorBoxText(message);
    if (handler()) {
        handler()(text);
        return;
    }
    showMessageBox(parent, text, QString::fromUtf8(kApplicationTitle));
}

void setErrorBoxHandler(std::function<void(const QString& text)> h) { handler() = std::move(h); }

}  // namespace capacimo
