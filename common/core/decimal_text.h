// Decimal text of a signed 32-bit integer, as the entry fields show a count
// and the settings store keeps one: an optional sign, then digits only.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace capacimo {

// The number, or nothing for any other text (empty, a lone sign, blanks,
// letters, a decimal separator, beyond 32 bits).
std::optional<std::int32_t> parseDecimal(std::string_view text);

// The blanks a typed value may carry: spaces, tabs, line ends.
inline constexpr std::string_view kBlanks = " \t\n\v\f\r";
// The text without the blanks around it, as a number typed into an option or
// a cell is read.
std::string_view trimBlanks(std::string_view text);

}  // namespace capacimo
