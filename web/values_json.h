// What the web API's functions share: the form's values as JSON, and the
// answer of a refused call. Internal to web/.
#pragma once

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "calculator/entry_values.h"

namespace capacimo::web {

using Json = nlohmann::ordered_json;

// The values of a JSON array of integers; nothing when it is anything else or
// does not have one value per entry.
inline std::optional<CalculatorEntries> entriesFromJson(const Json& values) {
    if (!values.is_array()) return std::nullopt;
    std::vector<std::int32_t> numbers;
    for (const Json& v : values) {
        if (!v.is_number_integer()) return std::nullopt;
        // A count field reads a number beyond 32 bits as no number: its minimum, 0.
        const double n = v.get<double>();
        const bool fits =
            n >= std::numeric_limits<std::int32_t>::min() && n <= std::numeric_limits<std::int32_t>::max();
        numbers.push_back(fits ? static_cast<std::int32_t>(n) : 0);
    }
    return entriesFromValues(numbers);
}

inline std::optional<CalculatorEntries> entriesFromText(const std::string& valuesJson) {
    return entriesFromJson(Json::parse(valuesJson, nullptr, false));
}

inline std::string valuesText(const CalculatorEntries& entries) { return Json(entryValues(entries)).dump(); }

// An answer's JSON text. Texts from outside (a name in a plant file, a margin
// as typed) may hold bytes that are not UTF-8; they are written as U+FFFD, so
// that every answer is JSON the page can read.
inline std::string jsonText(const Json& answer) { return answer.dump(-1, ' ', false, Json::error_handler_t::replace); }

inline std::string errorText(const std::string& error) { return jsonText(Json{{"error", error}}); }

}  // namespace capacimo::web
