#include "error_box.h"

#include <QMessageBox>

namespace capacimo {

std::string ErrorBoxText(const std::string& message) {
  std::string text = message;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) text += '.';
  return text;
}

std::string CurrentExceptionMessage() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unbekannte Exception";
  }
}

void ShowErrorMessage(const QString& text, const QString& caption) {
  QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
  box.exec();
}

void ShowErrorBox(const std::string& message) {
  ShowErrorMessage(QString::fromLocal8Bit(ErrorBoxText(message)), QString::fromUtf8(kApplicationTitle));
}

}  // namespace capacimo
