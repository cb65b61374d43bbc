// Random entries, each within its own range or list, for tests that go
// through many setups.
#pragma once

#include <random>

#include "calculator/entries.h"

namespace capacimo::test {

inline CalculatorEntries randomEntries(std::mt19937& random) {
    CalculatorEntries e;
    for (const Entry& entry : entryTable()) {
        entry.field(e) = std::uniform_int_distribution<std::int32_t>(0, entry.maximum)(random);
    }
    return e;
}

}  // namespace capacimo::test
