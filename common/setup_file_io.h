// Setup files and reports on disk, for the command line and the calculator
// dialog alike. Reading looks at what the path is before it opens anything,
// so a FIFO or a device never blocks or floods the program; writing replaces
// a regular file completely or not at all. Errors are one line: "FILE: reason".
#pragma once

#include <QByteArrayView>
#include <QString>
#include <string>
#include <string_view>

#include "calculator/setup_file.h"

namespace capacimo {

// A file name as the program holds it, from the bytes the system gives (a
// command line's argument), and back. Valid UTF-8 is decoded as text; each
// byte of anything else becomes one lone surrogate U+DC80..U+DCFF, which no
// text decodes to, so that a name that is not UTF-8 comes back as the very
// bytes it was. (QFile::decodeName and encodeName put U+FFFD in its place,
// and QFile would open another file.) Every file here is opened by these bytes.
QString fileNameFromBytes(QByteArrayView bytes);
std::string fileNameBytes(const QString& name);

// Why path cannot be opened as a regular file to read ("FILE: is a pipe, not
// a setup file"), or empty when it can. Readers of other files a setup comes
// in (a plant CSV) ask this first too.
QString unreadableFile(const QString& path);

// Reads and checks a setup file.
SetupReadResult readSetupFile(const QString& path);

// Writes bytes as the file at path, completely or not at all. Empty when
// written; otherwise why not, without the path, and the file that was there
// is whole. Only a regular file or a new name is written: a symbolic link, a
// directory, a FIFO or a device in the file's place is refused, never
// replaced or written through.
QString writeWholeFile(const QString& path, std::string_view bytes);

// Writes text (writeSetupText's) as the file at path, as writeWholeFile
// does. Empty when written; otherwise "FILE: reason".
QString writeSetupFile(const QString& path, std::string_view text);

}  // namespace capacimo
