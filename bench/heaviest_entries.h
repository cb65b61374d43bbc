// The heaviest setup the benchmarks time: 40 analog and 14 digital channels,
// group 1 at 100 ms and groups 2-10 at 1 s with eight values each, Analysis 1
// every minute, Analyses 2-4 daily.
#pragma once

#include "calculator/entries.h"

namespace capacimo {

inline CalculatorEntries heaviestEntries() {
    CalculatorEntries e;
    e.counts.analog = kAnalogChannels;
    e.counts.digitalEvents = kDigitalChannels;
    e.counts.groupValues.fill(kSlotsPerGroup);
    e.cycleItems[0] = 1;                                                         // group 1 at 100 ms
    for (int g = 1; g < kGroups; ++g) e.cycleItems[g] = cycleItemForCode(g, 2);  // 1 s
    e.analysisItems = {1, 1, 1, 1};                                              // 1 min, then daily three times
    return e;
}

}  // namespace capacimo
