#include "calculator/files/text_encoding.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace capacimo {
namespace {

// The characters of 0x80..0x9F in Windows-1252; the rest of the code page
// is Latin-1, each byte the character of its own number.
constexpr std::array<char16_t, 32> kWindows1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The character that starts at text[at] and how many bytes it takes; none
// for bytes that are not UTF-8.
struct Decoded {
    char32_t c = 0;
    std::size_t length = 0;
};
std::optional<Decoded> decodeAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return Decoded{lead, 1};
    std::size_t length = 0;
    char32_t c = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, smallest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (at + length > text.size()) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    return Decoded{c, length};
}

}  // namespace

bool isUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        // Plain ASCII, the most of any file, a byte at a time.
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        const std::optional<Decoded> d = decodeAt(text, at);
        if (!d) return false;
        at += d->length;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string utf8FromWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        appendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char32_t{byte});
    }
    return out;
}

bool isControlCharacter(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

namespace {

bool isHidden(char32_t c) {
    return isControlCharacter(c) || c == 0xFEFF || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// Calls visit(at, length, character) for each character of a text; bytes
// that are not UTF-8 are passed over one by one (their reader says so).
template <typename Visit>
void eachCharacter(std::string_view text, Visit visit) {
    for (std::size_t at = 0; at < text.size();) {
        const std::optional<Decoded> d = decodeAt(text, at);
        const std::size_t length = d ? d->length : 1;
        if (d && !visit(at, length, d->c)) return;
        at += length;
    }
}

}  // namespace

std::optional<char32_t> hiddenCharacter(std::string_view text) {
    std::optional<char32_t> found;
    eachCharacter(text, [&](std::size_t, std::size_t, char32_t c) {
        if (isHidden(c)) found = c;
        return !found;
    });
    return found;
}

std::string withoutHiddenCharacters(std::string_view text) {
    std::string out(text);
    std::size_t removed = 0;  // bytes taken out before the character at hand
    eachCharacter(text, [&](std::size_t at, std::size_t length, char32_t c) {
        if (isHidden(c)) {
            out.replace(at - removed, length, " ");
            removed += length - 1;
        }
        return true;
    });
    return out;
}

std::string codePointText(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

}  // namespace capacimo
