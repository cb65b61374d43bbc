// Texts from outside (a name in somebody else's file) made fit to show and to
// write: bytes that are not UTF-8 become U+FFFD, as the JSON library writes
// them, so that every writer agrees with the readers about what a text is.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace capacimo {

// The text in double quotes as JSON writes it: "Boiler \"A\"".
inline std::string quotedText(std::string_view text) {
    return nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The text as valid UTF-8.
inline std::string validUtf8(std::string_view text) {
    return nlohmann::json::parse(quotedText(text)).get<std::string>();
}

}  // namespace capacimo
