#include "calculator/error_box.h"

#include <QApplication>
#include <QMessageBox>

namespace capacimo {
namespace {

std::function<void(const QString&)>& handler() {
    static std::function<void(const QString&)> h;
    return h;
}

}  // namespace

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar('.')) return message + '.';
    return message;
}

void showErrorBox(QWidget* parent, const QString& message) {
    const QString text = errorBoxText(message);
    if (handler()) {
        handler()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.exec();
}

void setErrorBoxHandler(std::function<void(const QString& text)> h) { handler() = std::move(h); }

}  // namespace capacimo
