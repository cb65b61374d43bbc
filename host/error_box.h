// The program's standard error message box and its text rule.
#pragma once

#include <exception>
#include <string>

#include <QString>

namespace capacimo {

// The application title: taskbar text and the title of every error box.
inline constexpr const char* kApplicationTitle = "Ostrel Capacimo";

// The text an error box shows for a failure message: "." is appended when
// the last character sorts after "." (letters and digits do; "!" and "."
// do not).
std::string ErrorBoxText(const std::string& message);

// The message of the exception currently being handled; for use inside a
// catch block only.
std::string CurrentExceptionMessage();

// Shows the failure in a modal box titled with the application title, with
// the error icon and one "OK" button.
void ShowErrorBox(const std::string& message);

// A modal box with the given text and caption, error icon and one "OK".
void ShowErrorMessage(const QString& text, const QString& caption);

}  // namespace capacimo
