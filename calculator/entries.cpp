#include "calculator/entries.h"

namespace capacimo {

CalculatorEntries defaultEntries() {
    CalculatorEntries e;
    e.counts.analog = 1;
    e.counts.groupValues[0] = 1;
    for (int g = 0; g < kGroups; ++g) e.cycleItems[g] = cycleItemForCode(g, 11);  // 1 min
    return e;
}

int cycleItemCount(int group) { return group == 0 ? kGroup1CycleItems : kGroupCycleItems; }

std::uint8_t storageCycleCodeForItem(int group, std::int32_t item) {
    if (item <= 0 || item >= cycleItemCount(group)) return kStorageCycleOff;
    return static_cast<std::uint8_t>(group == 0 ? item : item + 1);
}

std::int32_t cycleItemForCode(int group, int code) {
    if (code == kStorageCycleOff) return 0;
    if (code < 0 || code >= kStorageCycleCodeCount) return -1;
    if (group == 0) return code;
    return code == kStorageCycleFast ? -1 : code - 1;
}

int analysisItemCount(int analysis) { return analysis == 0 ? kAnalysis1Items : kCalendarAnalysisItems; }

std::uint16_t analysisCodeForItem(int analysis, std::int32_t item) {
    if (item <= 0 || item >= analysisItemCount(analysis)) return 0;
    return static_cast<std::uint16_t>(analysis == 0 ? item + 1 : item + 16);
}

}  // namespace capacimo
