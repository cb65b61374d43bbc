// The user's entries as plain numbers: what the calculator dialog's controls
// hold at one moment, and what the command-line calculator takes as options.
#pragma once

#include <array>
#include <cstdint>

#include "calculator/count_validation.h"
#include "calculator/recorder_setup.h"

namespace capacimo {

// Entry counts of the selection lists.
inline constexpr int kAnalysis1Items = 16;        // "no", "1min" .. "12h"
inline constexpr int kCalendarAnalysisItems = 5;  // "no", "daily analysis" .. "annual analysis"
inline constexpr int kGroup1CycleItems = 19;      // "Off", "100ms", "1s" .. "1h"
inline constexpr int kGroupCycleItems = 18;       // "Off", "1s" .. "1h"
inline constexpr int kCardItems = 4;              // "256 MB" .. "2 GB"

struct CalculatorEntries {
    ChannelCounts counts;
    // Item index of "Analysis 1" .. "Analysis 4" (0 = "no").
    std::array<std::int32_t, kAnalyses> analysisItems{};
    // Item index of each group's storage-cycle list, group 1 first.
    std::array<std::int32_t, kGroups> cycleItems{};
    // Item index of the SD card size list.
    std::int32_t cardItem = 0;
};

// The entries after "Reset": one plain analog channel, recorded by group 1
// every minute; the other groups at one minute and empty; no analysis; 256 MB.
CalculatorEntries defaultEntries();

// Number of items in the storage-cycle list of a group (0-based group index).
int cycleItemCount(int group);
// The storage-cycle code an item of a group's list stands for. Group 1's list
// holds every code in order; the others lack "100ms". An index outside the
// list gives 0 (off).
std::uint8_t storageCycleCodeForItem(int group, std::int32_t item);
// The list item that stands for a storage-cycle code in a group's list, or -1.
std::int32_t cycleItemForCode(int group, int code);
// The analysis code an item of an analysis list stands for (0-based analysis
// index). "Analysis 1" offers the intervals, the others the calendar
// analyses. An index outside the list gives 0 (none).
std::uint16_t analysisCodeForItem(int analysis, std::int32_t item);
// Number of items in an analysis list.
int analysisItemCount(int analysis);

}  // namespace capacimo
