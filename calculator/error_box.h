// The unit's standard error message box: the failure's text, with "." added
// when its last character sorts after ".", titled with the application title,
// an error icon and one button.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace capacimo {

QString errorBoxText(const QString& message);
void showErrorBox(QWidget* parent, const QString& message);

// Replaces the box, for callers that must not block (tests); empty restores it.
void setErrorBoxHandler(std::function<void(const QString& text)> handler);

}  // namespace capacimo
