// The calculation core as the web page sees it: a few functions that take and
// give JSON text, so that the page holds no rule, range, text or number of
// its own. Entries cross as one number per row of the entry table (entries()).
#include <emscripten/bind.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "calculator/entry_table_json.h"
#include "calculator/entry_values.h"

namespace capacimo::web {
namespace {

using Json = nlohmann::ordered_json;

// The values of a JSON array of integers; nothing when it is anything else or
// does not have one value per entry.
std::optional<CalculatorEntries> entriesFromText(const std::string& valuesJson) {
    const Json values = Json::parse(valuesJson, nullptr, false);
    if (!values.is_array()) return std::nullopt;
    std::vector<std::int32_t> numbers;
    for (const Json& v : values) {
        if (!v.is_number_integer()) return std::nullopt;
        numbers.push_back(v.get<std::int32_t>());
    }
    return entriesFromValues(numbers);
}

std::string valuesText(const CalculatorEntries& entries) { return Json(entryValues(entries)).dump(); }

std::string entries() { return entryTableJson(); }

std::string defaults() { return valuesText(defaultEntries()); }

// The values after the entry with this key changed: its dependent counts set.
std::string adjust(const std::string& valuesJson, const std::string& changedKey) {
    std::optional<CalculatorEntries> entries = entriesFromText(valuesJson);
    if (!entries) return valuesJson;
    for (const Entry& entry : entryTable()) {
        if (entry.control == changedKey) adjustDependentCounts(*entries, entry.id);
    }
    return valuesText(*entries);
}

// The values a store of texts gives: a JSON object from each entry's stored
// name to its text. Anything that is not a text counts as missing.
std::string fromStore(const std::string& storedJson) {
    Json stored = Json::parse(storedJson, nullptr, false);
    if (!stored.is_object()) stored = Json::object();
    return valuesText(entriesFromStoredTexts([&stored](const Entry& entry) -> std::optional<std::string> {
        const auto it = stored.find(storedName(entry));
        if (it == stored.end() || !it->is_string()) return std::nullopt;
        return it->get<std::string>();
    }));
}

}  // namespace
}  // namespace capacimo::web

EMSCRIPTEN_BINDINGS(capacimo) {
    using namespace capacimo::web;
    emscripten::function("entries", &entries);
    emscripten::function("defaults", &defaults);
    emscripten::function("adjust", &adjust);
    emscripten::function("fromStore", &fromStore);
}
