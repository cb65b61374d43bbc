// A whole set of entries as plain numbers, one per row of the entry table and
// in its order, and the rules that act on such a set from outside the dialog:
// the dependent counts after a change, and entries read back from a store of
// texts. The web edition hands entries across this way.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/entries.h"

namespace capacimo {

std::vector<std::int32_t> entryValues(const CalculatorEntries& entries);
// Nothing when the number of values is not the table's. The values are taken
// as they are: a count typed beyond its range is calculated as typed.
std::optional<CalculatorEntries> entriesFromValues(const std::vector<std::int32_t>& values);

// After a count changed, its dependent counts as the dialog's change handlers
// set them: the analog totalizers and impulse counters after the analog
// channels, the math totalizers after the math values. A count set this way
// stays within its field's range. Other entries change nothing.
void adjustDependentCounts(CalculatorEntries& entries, EntryId changed);

// The name a value is stored under, with its section: "Settings\\Channels\\CountAnalog".
std::string storedName(const Entry& entry);

// The entries a store of texts gives, each value judged on its own with the
// store's rules (entriesFromStore): a missing or damaged value gives its
// default and costs no other value.
using ReadStoredText = std::function<std::optional<std::string>(const Entry& entry)>;
CalculatorEntries entriesFromStoredTexts(const ReadStoredText& read);

}  // namespace capacimo
