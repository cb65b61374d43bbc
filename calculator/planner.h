// What to change so that a medium keeps the recorder's data for a given time:
// a larger SD card, a slower storage cycle for one group, or one slower cycle
// for every group. Every answer comes from the same calculation as the result.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "calculator/calculation.h"
#include "calculator/duration.h"
#include "calculator/entries.h"

namespace capacimo {

// The hours a duration stands for, weeks and days counted in hours; -1 for
// kNoDuration. A retention target is given in the same hours.
std::int64_t durationHours(const StorageDuration& d);

// A storage cycle as a group's list offers it.
struct CycleChoice {
    std::int32_t item = 0;  // item of the group's storage-cycle list
    std::uint8_t code = 0;  // storage-cycle code; storageCycleText gives its text
    bool operator==(const CycleChoice&) const = default;
};

struct GroupPlan {
    int group = 0;  // 0..9
    // The fastest cycle of the group's list that reaches the target with the
    // other groups unchanged; none when no cycle does.
    std::optional<CycleChoice> fastest;
    bool operator==(const GroupPlan&) const = default;
};

struct Plan {
    // SD card only: the smallest card of the size list that reaches the target.
    std::optional<std::int32_t> cardItem;
    // Every group that writes with the entries as given, in group order.
    std::vector<GroupPlan> groups;
    // The fastest storage-cycle code from 1 s to 1 h that reaches the target
    // when every one of those groups gets it.
    std::optional<std::uint8_t> commonCycle;
    // Where some group changes its cycle in alarm: the largest whole share of
    // the time in alarm, 0..100 %, with which the entries as given (their
    // cycles, card and reserve) still reach the target; kNoAlarmShare when not
    // even 0 % does. Nothing where no group changes its cycle in alarm.
    std::optional<std::int32_t> largestAlarmShare;
    bool operator==(const Plan&) const = default;
};

inline constexpr std::int32_t kNoAlarmShare = -1;

// A medium's duration reaches the target when its hours are at least the
// target's; no duration never reaches.
bool reaches(const StorageDuration& d, std::int64_t targetHours);

// Throws std::invalid_argument for a negative target; the entries are not
// changed. The trials run on the given calculator, or on one of their own.
Plan planFor(Calculator& calculator, const CalculatorEntries& entries, Medium medium, std::int64_t targetHours);
Plan planFor(const CalculatorEntries& entries, Medium medium, std::int64_t targetHours);

}  // namespace capacimo
