// One call of a web module's function as a fuzz input: the function's name on
// the first line, then its arguments separated by the byte 0x1E (ASCII's
// record separator, which no argument needs); the last argument takes the
// rest of the input, that byte included, so that any text can reach it.
// Missing arguments are empty.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace capacimo::fuzz {

inline constexpr char kWebArgumentSeparator = '\x1e';

inline std::string webCallText(std::string_view name, const std::vector<std::string>& arguments) {
    std::string text(name);
    text += '\n';
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) text += kWebArgumentSeparator;
        text += arguments[i];
    }
    return text;
}

inline std::string_view webCallName(std::string_view text) { return text.substr(0, text.find('\n')); }

inline std::vector<std::string> webCallArguments(std::string_view text, std::size_t count) {
    const std::size_t lineEnd = text.find('\n');
    std::string_view rest = lineEnd == std::string_view::npos ? std::string_view() : text.substr(lineEnd + 1);
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t end = i + 1 < count ? rest.find(kWebArgumentSeparator) : std::string_view::npos;
        arguments.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return arguments;
}

}  // namespace capacimo::fuzz
