// Random entries, each within its own range or list, for tests that go
// through many setups. The alarms and the card's reserve are left at their
// defaults half of the time, as most setups leave them.
#pragma once

#include <random>

#include "calculator/entries.h"

namespace capacimo::test {

inline CalculatorEntries randomEntries(std::mt19937& random) {
    CalculatorEntries e;
    for (const Entry& entry : entryTable()) {
        const bool unset = entry.writtenWhenSet && std::uniform_int_distribution<int>(0, 1)(random) == 0;
        entry.field(e) =
            unset ? entry.resetValue : std::uniform_int_distribution<std::int32_t>(0, entry.maximum)(random);
    }
    return e;
}

}  // namespace capacimo::test
