// The standard error message box of the host and its units: the failure's
// text, with "." added when its last character sorts after "." (letters and
// digits do, "!" and "." do not), titled with the application title, with
// the error icon and one "OK" button. A failure may carry details (which file,
// why) on lines after its message; the "." goes after the message itself.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace capacimo {

// The application title: the host's taskbar text and the title of every
// error box, the units' boxes included.
inline constexpr const char* kApplicationTitle = CAPACIMO_TITLE;

QString errorBoxText(const QString& message);

// The text of the exception being handled; for use inside a catch block only.
QString currentExceptionMessage();

// A modal box with the given text and caption, the error icon and one "OK".
void showMessageBox(QWidget* parent, const QString& text, const QString& caption);

// The standard error box for a failure message.
void showErrorBox(QWidget* parent, const QString& message);

// Replaces the standard error box, for callers that must not block (tests);
// an empty handler restores it.
void setErrorBoxHandler(std::function<void(const QString& text)> handler);

}  // namespace capacimo
