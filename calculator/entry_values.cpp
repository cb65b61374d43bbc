#include "calculator/entry_values.h"

#include <algorithm>

#include "common/core/decimal_text.h"

namespace capacimo {
namespace {

// What a count field makes of a number set from program code.
std::int32_t withinField(EntryId id, std::int32_t value) { return std::clamp(value, 0, entryOf(id).maximum); }

}  // namespace

std::vector<std::int32_t> entryValues(const CalculatorEntries& entries) {
    std::vector<std::int32_t> values;
    values.reserve(entryTable().size());
    for (const Entry& entry : entryTable()) values.push_back(entry.field(entries));
    return values;
}

std::optional<CalculatorEntries> entriesFromValues(const std::vector<std::int32_t>& values) {
    const std::vector<Entry>& table = entryTable();
    if (values.size() != table.size()) return std::nullopt;
    CalculatorEntries entries = defaultEntries();
    for (std::size_t i = 0; i < table.size(); ++i) table[i].field(entries) = values[i];
    return entries;
}

void adjustDependentCounts(CalculatorEntries& entries, EntryId changed) {
    ChannelCounts& c = entries.counts;
    if (changed == EntryId::Analog) {
        const AnalogDependents set = adjustAnalogDependents(c.analog, c.analogTotalized, c.analogImpulse);
        if (set.totalized) c.analogTotalized = withinField(EntryId::AnalogTotalized, *set.totalized);
        if (set.impulse) c.analogImpulse = withinField(EntryId::AnalogImpulse, *set.impulse);
    } else if (changed == EntryId::MathValues) {
        if (const auto set = adjustMathTotalized(c.mathValues, c.mathValuesTotalized)) {
            c.mathValuesTotalized = withinField(EntryId::MathValuesTotalized, *set);
        }
    }
}

std::string storedName(const Entry& entry) { return entry.section + "\\" + entry.name; }

CalculatorEntries entriesFromStoredTexts(const ReadStoredText& read) {
    return entriesFromStore([&read](const Entry& entry, std::int32_t fallback) {
        const std::optional<std::string> text = read(entry);
        if (!text) return fallback;
        return parseDecimal(*text).value_or(fallback);
    });
}

}  // namespace capacimo
