// A text a reader was given, as its one-line problem shows it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace capacimo {

// At most a few dozen bytes, cut between UTF-8 characters ("..." after a
// cut), control characters written as escapes ("\n", "\t", "\x1B").
inline std::string problemText(std::string_view text) {
    constexpr std::size_t kLongest = 40;
    bool cut = false;
    if (text.size() > kLongest) {
        std::size_t end = kLongest - 3;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        text = text.substr(0, end);
        cut = true;
    }
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return cut ? out + "..." : out;
}

}  // namespace capacimo
