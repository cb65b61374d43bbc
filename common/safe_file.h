// Files on disk as the program reads and writes them: setup files, plant
// files and reports alike. Reading looks at what the path is before it opens
// anything, so a FIFO or a device never blocks or floods the program, and
// reads no more than a limit; writing replaces a regular file completely or
// not at all. Errors are one line: "FILE: reason". It knows bytes, sizes and
// kinds of file, never what a file holds.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

namespace capacimo {

// A file name as the program holds it, from the bytes the system gives (a
// command line's argument), and back. Valid UTF-8 is decoded as text; each
// byte of anything else becomes one lone surrogate U+DC80..U+DCFF, which no
// text decodes to, so that a name that is not UTF-8 comes back as the very
// bytes it was. (QFile::decodeName and encodeName put U+FFFD in its place,
// and QFile would open another file.) Every file here is opened by these bytes.
QString fileNameFromBytes(QByteArrayView bytes);
std::string fileNameBytes(const QString& name);

// A text for a one-line message, its control characters (a line break, ESC)
// written as escapes ("\n", "\t", "\x1b"), so that a file name or a value
// from outside neither breaks the line nor reaches a terminal as a command.
QString printableText(const QString& text);

// A file as messages name it: as the system shows it, printable.
QString shownPath(const QString& path);

// "FILE: reason", the file named as shownPath names it.
QString fileFailure(const QString& path, const QString& reason);

// Whether two paths name the same file: one file reached by two names (a
// link, "./x" and "x", a hard link) included, and a file not yet made by the
// same name in the same folder.
bool sameFile(const QString& a, const QString& b);

// Why path cannot be opened as a regular file to read, or empty when it can.
// `holds` names what the file should hold: with "setup", a pipe gives
// "FILE: is a pipe, not a setup file".
QString unreadableFile(const QString& path, std::string_view holds);

// A file's bytes, or why they were not read ("FILE: reason").
struct FileRead {
    std::string bytes;
    std::string error;
    bool ok() const { return error.empty(); }
};
// Reads the whole file at path, when unreadableFile allows it. A file of more
// than `limit` bytes is refused once one byte more has been read ("FILE:
// larger than 1048576 bytes; no setup is that large").
FileRead readWholeFile(const QString& path, std::string_view holds, std::size_t limit);

// Writes bytes as the file at path, completely or not at all. Empty when
// written; otherwise "FILE: reason", and the file that was there is whole.
// Only a regular file or a new name is written: a symbolic link, a
// directory, a FIFO or a device in the file's place is refused, never
// replaced or written through.
QString writeWholeFile(const QString& path, std::string_view bytes);

}  // namespace capacimo
