#include "calculator/files/text_encoding.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

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
    std::string out;
    out.reserve(text.size());
    std::size_t done = 0;  // bytes of text copied to out
    eachCharacter(text, [&](std::size_t at, std::size_t length, char32_t c) {
        if (isHidden(c)) {
            out.append(text.substr(done, at - done));
            out += ' ';
            done = at + length;
        }
        return true;
    });
    out.append(text.substr(done));
    return out;
}

namespace {

struct Range {
    char32_t first;
    char32_t last;
};
bool inRanges(char32_t c, std::initializer_list<Range> ranges) {
    for (const Range& r : ranges) {
        if (c >= r.first && c <= r.last) return true;
    }
    return false;
}

// Combining marks and invisible characters: no column of their own.
bool isZeroWidth(char32_t c) {
    return isHidden(c) || inRanges(c, {{0x0300, 0x036F},
                                       {0x0483, 0x0489},
                                       {0x0591, 0x05BD},
                                       {0x0610, 0x061A},
                                       {0x064B, 0x065F},
                                       {0x0E31, 0x0E31},
                                       {0x0E34, 0x0E3A},
                                       {0x200B, 0x200F},
                                       {0x20D0, 0x20FF},
                                       {0xFE00, 0xFE0F},
                                       {0xFE20, 0xFE2F}});
}

// East Asian wide and full-width characters, and emoji: two columns.
bool isWide(char32_t c) {
    return inRanges(c, {{0x1100, 0x115F},
                        {0x2E80, 0x303E},
                        {0x3041, 0x33FF},
                        {0x3400, 0x4DBF},
                        {0x4E00, 0x9FFF},
                        {0xA000, 0xA4CF},
                        {0xAC00, 0xD7A3},
                        {0xF900, 0xFAFF},
                        {0xFE30, 0xFE4F},
                        {0xFF00, 0xFF60},
                        {0xFFE0, 0xFFE6},
                        {0x1F300, 0x1F64F},
                        {0x1F900, 0x1F9FF},
                        {0x20000, 0x3FFFD}});
}

std::size_t widthOf(char32_t c) { return isZeroWidth(c) ? 0 : isWide(c) ? 2 : 1; }

}  // namespace

std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::optional<Decoded> d = decodeAt(text, at);
        width += d ? widthOf(d->c) : 1;
        at += d ? d->length : 1;
    }
    return width;
}

std::string cutToWidth(std::string_view text, std::size_t width) {
    if (displayWidth(text) <= width || width == 0) return displayWidth(text) <= width ? std::string(text) : "";
    std::size_t used = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::optional<Decoded> d = decodeAt(text, at);
        const std::size_t w = d ? widthOf(d->c) : 1;
        if (used + w > width - 1) break;  // room for the ellipsis
        used += w;
        at += d ? d->length : 1;
    }
    return std::string(text.substr(0, at)) + "\u2026";
}

std::string codePointText(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

}  // namespace capacimo
