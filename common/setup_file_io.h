// Setup files on disk, for the command line and the calculator dialog alike.
// Reading looks at what the path is before it opens anything, so a FIFO or a
// device never blocks or floods the program; writing replaces a file
// completely or not at all. Errors are one line: "FILE: reason".
#pragma once

#include <QString>
#include <string_view>

#include "calculator/setup_file.h"

namespace capacimo {

// Reads and checks a setup file.
SetupReadResult readSetupFile(const QString& path);

// Writes text (writeSetupText's) as the file at path. Empty when written;
// otherwise why not, and the file that was there is whole. A symbolic link,
// a directory or a device in the file's place is refused, never replaced or
// written through.
QString writeSetupFile(const QString& path, std::string_view text);

}  // namespace capacimo
