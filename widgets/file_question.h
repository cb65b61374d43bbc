// Asking the user for a file, in one form for every window of the unit, so
// that a test can answer for all of them.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace capacimo::widgets {

// Whether to save, the dialog's caption, the folder to start in and the name filter.
struct FileQuestion {
    bool save = false;
    QString caption;
    QString folder;
    QString filter;
};
// The chosen file; an empty answer cancels.
using FileChooser = std::function<QString(QWidget* parent, const FileQuestion& question)>;

// Asks with a modal file dialog.
QString askWithFileDialog(QWidget* parent, const FileQuestion& question);

// The path with the extension (".csv") added when it does not end in it.
QString withExtension(const QString& path, const QString& extension);

}  // namespace capacimo::widgets
