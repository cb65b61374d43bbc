#include "common/ini_text.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <map>

namespace capacimo::ini {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isHexDigit(char16_t c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

// Removes blanks at the end of text, but not before position keep (what an
// escape produced stays).
void chopBlanks(QString& text, qsizetype keep) {
    qsizetype end = text.size();
    while (end > keep && (text[end - 1] == u' ' || text[end - 1] == u'\t')) --end;
    text.truncate(end);
}

QByteArray hexEscape(char16_t c) { return "\\x" + QByteArray::number(c, 16); }

}  // namespace

bool Reader::next(Line& line) {
    if (position_ >= text_.size()) return false;
    const qsizetype start = position_;
    const char* data = text_.data();
    const void* found = std::memchr(data + start, '\n', static_cast<std::size_t>(text_.size() - start));
    qsizetype end = found ? static_cast<const char*>(found) - data : text_.size();
    position_ = found ? end + 1 : end;
    line = Line{};
    line.raw = text_.sliced(start, position_ - start);
    if (end > start && data[end - 1] == '\r') --end;
    // A byte-order mark before the first line is no part of it (editors on
    // some systems put one there); it stays in the line's raw bytes.
    static constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
    const qsizetype from = start == 0 && text_.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    const QByteArrayView content = text_.sliced(start + from, std::max(end - start - from, qsizetype{0})).trimmed();
    line.section = section_;
    if (content.isEmpty() || content.front() == ';') return true;

    if (content.front() == '[') {
        // A header without its "]" is a damaged line like any other.
        const qsizetype close = content.indexOf(']');
        if (close < 0) return true;
        const QByteArrayView name = content.sliced(1, close - 1).trimmed();
        if (QString::fromUtf8(name).compare(QLatin1String("general"), Qt::CaseInsensitive) == 0) {
            section_.clear();  // the keys at the top of the file
        } else if (QString::fromUtf8(name).compare(QLatin1String("%general"), Qt::CaseInsensitive) == 0) {
            section_ = QStringLiteral("General");
        } else {
            section_ = parseKey(name);
        }
        line.kind = Line::Kind::Section;
        line.section = section_;
        return true;
    }

    const qsizetype equals = content.indexOf('=');
    if (equals <= 0) return true;
    line.rawKey = content.first(equals).trimmed();
    if (line.rawKey.isEmpty()) return true;
    line.rawValue = content.sliced(equals + 1);
    const QString key = parseKey(line.rawKey);
    line.key = section_.isEmpty() ? key : section_ + u'/' + key;
    line.kind = Line::Kind::Entry;
    return true;
}

QString parseKey(QByteArrayView raw) {
    // "\" separates the parts of a key; "%XX" and "%UXXXX" stand for any
    // other character than a letter, digit, "_", "-" and ".".
    const QString text = QString::fromUtf8(raw);
    QString key;
    key.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == u'\\') {
            key += u'/';
            ++i;
            continue;
        }
        if (c == u'%' && i + 1 < text.size()) {
            const bool wide = text[i + 1] == u'U';
            const qsizetype digits = wide ? 4 : 2;
            const qsizetype first = i + (wide ? 2 : 1);
            bool ok = false;
            const ushort code = first + digits <= text.size() ? text.sliced(first, digits).toUShort(&ok, 16) : 0;
            if (ok) {
                key += QChar(code);
                i = first + digits;
                continue;
            }
        }
        key += c;
        ++i;
    }
    return key;
}

QByteArray formatKey(const QString& key) {
    static const char digits[] = "0123456789ABCDEF";
    QByteArray raw;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if (u == '/') {
            raw += '\\';
        } else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '-' ||
                   u == '.') {
            raw += static_cast<char>(u);
        } else if (u <= 0xFF) {
            raw += '%';
            raw += digits[u >> 4];
            raw += digits[u & 0xF];
        } else {
            raw += "%U";
            for (int shift = 12; shift >= 0; shift -= 4) raw += digits[(u >> shift) & 0xF];
        }
    }
    return raw;
}

namespace {

// Reads the escape after a backslash at raw[i - 1] into text; returns the
// position after it. Unknown escapes stand for nothing.
qsizetype readEscape(QByteArrayView raw, qsizetype i, QString& text) {
    static const char escapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
                                      {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    const char e = raw[i++];
    for (const auto& [code, meaning] : escapes) {
        if (e == code) {
            text += QLatin1Char(meaning);
            return i;
        }
    }
    if (e != 'x' && (e < '0' || e > '7')) return i;
    // "\x41" in hexadecimal, "\101" in octal.
    const bool hex = e == 'x';
    char16_t code = hex ? 0 : static_cast<char16_t>(e - '0');
    while (i < raw.size() && (hex ? isHexDigit(static_cast<unsigned char>(raw[i])) : raw[i] >= '0' && raw[i] <= '7')) {
        code = static_cast<char16_t>(hex ? (code << 4) + hexValue(raw[i]) : (code << 3) + (raw[i] - '0'));
        ++i;
    }
    text += QChar(code);
    return i;
}

// A leading "@" marks a typed value; "@@" a text that starts with "@".
StoredValue textOrTyped(const QString& text) {
    if (!text.startsWith(u'@')) return {StoredValue::Kind::Text, text};
    if (text.startsWith(QLatin1String("@@"))) return {StoredValue::Kind::Text, text.mid(1)};
    return {StoredValue::Kind::Other, {}};
}

}  // namespace

StoredValue parseValue(QByteArrayView raw) {
    // Quotes protect blanks, commas and semicolons; outside quotes a comma
    // separates the items of a list and a semicolon starts a comment.
    QString text;
    qsizetype keep = 0;  // text before this position is not chopped as blanks
    bool inQuotes = false;
    bool quoted = false;  // the current item had quotes
    bool list = false;
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < raw.size() && isBlank(raw[i])) ++i;
    };
    skipBlanks();
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i >= raw.size()) break;
            i = readEscape(raw, i, text);
            keep = text.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) skipBlanks();
        } else if (!inQuotes && c == ';') {
            break;
        } else if (!inQuotes && c == ',') {
            list = true;
            text.clear();
            keep = 0;
            quoted = false;
            ++i;
            skipBlanks();
        } else {
            qsizetype j = i + 1;
            while (j < raw.size() && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',' && raw[j] != ';') ++j;
            text += QString::fromUtf8(raw.sliced(i, j - i));
            i = j;
        }
    }
    if (!quoted) chopBlanks(text, keep);
    if (list) return {StoredValue::Kind::Other, {}};
    return textOrTyped(text);
}

QByteArray formatValue(const QString& value) {
    const QString text = value.startsWith(u'@') ? u'@' + value : value;
    QByteArray raw;
    QString plain;  // characters written as they are, in UTF-8
    bool needsQuotes = false;
    bool escapeNextDigit = false;  // after "\x41" a following hex digit would join the escape
    auto flush = [&] {
        raw += plain.toUtf8();
        plain.clear();
    };
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == ';' || u == ',' || u == '=') needsQuotes = true;
        if (escapeNextDigit && isHexDigit(u)) {
            raw += hexEscape(u);
            continue;
        }
        escapeNextDigit = false;
        static const char named[][2] = {{'\a', 'a'}, {'\b', 'b'}, {'\f', 'f'}, {'\n', 'n'}, {'\r', 'r'},
                                        {'\t', 't'}, {'\v', 'v'}, {'"', '"'},  {'\\', '\\'}};
        const auto* escape = std::find_if(std::begin(named), std::end(named),
                                          [u](const char(&e)[2]) { return u == static_cast<char16_t>(e[0]); });
        if (escape != std::end(named)) {
            flush();
            raw += '\\';
            raw += (*escape)[1];
        } else if (u <= 0x1F) {
            flush();
            raw += u == 0 ? QByteArray("\\0") : hexEscape(u);
            escapeNextDigit = true;
        } else {
            plain += c;
        }
    }
    flush();
    if (needsQuotes || raw.startsWith(' ') || raw.endsWith(' ')) raw = '"' + raw + '"';
    return raw;
}

namespace {

using Values = std::vector<std::pair<QString, QString>>;

// Where the values to set stand in a text: the first line of each (later
// lines with the same key are dropped), and the line that ends each
// section's last stretch.
struct Places {
    std::vector<qsizetype> firstLine;
    std::vector<bool> drop;
    QHash<QString, qsizetype> sectionEnd;
};

Places locate(QByteArrayView text, const QHash<QString, std::size_t>& byKey, std::size_t count) {
    Places places{std::vector<qsizetype>(count, -1), {}, {}};
    Reader reader(text);
    Line line;
    for (qsizetype number = 0; reader.next(line); ++number) {
        places.drop.push_back(false);
        if (line.kind == Line::Kind::Other) continue;
        places.sectionEnd.insert(line.section, number);
        const auto found = line.kind == Line::Kind::Entry ? byKey.constFind(line.key) : byKey.cend();
        if (found == byKey.cend()) continue;
        if (places.firstLine[*found] < 0) {
            places.firstLine[*found] = number;
        } else {
            places.drop.back() = true;
        }
    }
    return places;
}

// The values the text does not hold yet: each goes after the last line of the
// longest section its key starts with, or into a new section at the end,
// named by the key's first part.
struct Additions {
    std::multimap<qsizetype, QByteArray> afterLine;
    std::vector<std::pair<QString, QByteArray>> newSections;  // in order of first use
};

Additions place(const Values& values, const Places& places) {
    Additions add;
    for (std::size_t v = 0; v < values.size(); ++v) {
        if (places.firstLine[v] >= 0) continue;
        const QString& key = values[v].first;
        const QByteArray value = '=' + formatValue(values[v].second) + '\n';
        bool placed = false;
        for (qsizetype slash = key.lastIndexOf(u'/'); slash > 0 && !placed; slash = key.lastIndexOf(u'/', slash - 1)) {
            const auto end = places.sectionEnd.constFind(key.first(slash));
            if (end == places.sectionEnd.cend()) continue;
            add.afterLine.emplace(*end, formatKey(key.sliced(slash + 1)) + value);
            placed = true;
        }
        if (placed) continue;
        const qsizetype slash = key.indexOf(u'/');
        const QString section = slash > 0 ? key.first(slash) : QStringLiteral("General");
        auto it = std::find_if(add.newSections.begin(), add.newSections.end(),
                               [&section](const auto& s) { return s.first == section; });
        if (it == add.newSections.end()) it = add.newSections.insert(it, {section, {}});
        it->second += formatKey(slash > 0 ? key.sliced(slash + 1) : key) + value;
    }
    return add;
}

}  // namespace

QByteArray withValues(QByteArrayView text, const Values& values) {
    QHash<QString, std::size_t> byKey;
    for (std::size_t v = 0; v < values.size(); ++v) byKey.insert(values[v].first, v);
    const Places places = locate(text, byKey, values.size());
    const Additions add = place(values, places);

    QByteArray out;
    out.reserve(text.size() + 64 * static_cast<qsizetype>(values.size()));
    auto endLine = [&out] {
        if (!out.isEmpty() && !out.endsWith('\n')) out += '\n';
    };
    Reader reader(text);
    Line line;
    for (qsizetype number = 0; reader.next(line); ++number) {
        const auto found = line.kind == Line::Kind::Entry ? byKey.constFind(line.key) : byKey.cend();
        if (places.drop[static_cast<std::size_t>(number)]) {
            // A repetition goes, but what was to follow it still comes.
        } else if (found != byKey.cend() && places.firstLine[*found] == number) {
            out += line.rawKey;
            out += '=' + formatValue(values[*found].second);
            out += line.raw.endsWith("\r\n") ? QByteArrayView("\r\n") : QByteArrayView("\n");
        } else {
            out += line.raw;
        }
        const auto [first, last] = add.afterLine.equal_range(number);
        for (auto it = first; it != last; ++it) {
            endLine();
            out += it->second;
        }
    }
    for (const auto& [section, lines] : add.newSections) {
        endLine();
        if (!out.isEmpty()) out += '\n';
        out += '[' + formatKey(section) + "]\n" + lines;
    }
    return out;
}

}  // namespace capacimo::ini
