// The text form of the settings file: the INI dialect QSettings reads and
// writes, so that a file written by one of them reads the same in the other.
//
//   [ScribentS]
//   Settings\Channels\CountAnalog=7
//
// A section header names the first part of a key, the line the rest, with
// "\" between the parts. Values are texts with QSettings' quoting and
// escapes; an unquoted comma makes a list, a leading "@" a typed value.
// A line that fits none of these forms (a damaged line) is skipped: it costs
// only itself, never the lines around it.
//
// The reader understands more than this program writes: lists, typed values
// ("@Variant(...)"), octal escapes, "[General]" and "[%General]", ";"
// comments, CRLF line ends and a leading UTF-8 byte-order mark. The file is
// shared with QSettings, other programs and editors by hand; each of these
// forms reads as QSettings reads it, so a value never changes its meaning
// between the readers, and a list or typed value is known as such (not a
// text) instead of being taken for a damaged line.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <utility>
#include <vector>

namespace capacimo::ini {

// A stored value as the settings file holds it.
struct StoredValue {
    enum class Kind {
        Missing,  // no such value
        Text,     // a plain text
        Other,    // a list or a typed value: never written by this program
    };
    Kind kind = Kind::Missing;
    QString text;
    bool operator==(const StoredValue&) const = default;
};

// One line of an INI text. Keys are full paths with "/" between the parts,
// the section's part included ("ScribentS/Settings/Channels/CountAnalog").
struct Line {
    enum class Kind { Other, Section, Entry };
    Kind kind = Kind::Other;
    QByteArrayView raw;     // the whole line with its line break
    QByteArrayView rawKey;  // Entry: the key as written, without blanks around it
    QByteArrayView rawValue;
    QString section;  // the section this line belongs to (a Section line: the one it opens)
    QString key;      // Entry: the full path of the key
};

// Walks the lines of an INI text from the first to the last.
class Reader {
public:
    explicit Reader(QByteArrayView text) : text_(text) {}
    bool next(Line& line);

private:
    QByteArrayView text_;
    qsizetype position_ = 0;
    QString section_;
};

StoredValue parseValue(QByteArrayView raw);
QByteArray formatValue(const QString& text);
QString parseKey(QByteArrayView raw);
QByteArray formatKey(const QString& key);

// The text with the given values set: an existing value is replaced where it
// stands (its repetitions dropped), a new one joins the last stretch of the
// longest section its path starts with, or a new section at the end. Every
// other line stays as it was, byte for byte.
QByteArray withValues(QByteArrayView text, const std::vector<std::pair<QString, QString>>& values);

}  // namespace capacimo::ini
