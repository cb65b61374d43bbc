#include "common/error_box.h"

#include <QMessageBox>
#include <exception>

namespace capacimo {
namespace {

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
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
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
