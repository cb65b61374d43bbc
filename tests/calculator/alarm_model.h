// Alarms and a card reserve from first principles, for the tests that hold
// the core and the command line to them: the plain replay of two hours at
// the storage cycles (W_n) and at the alarm cycles (W_a),
// W = W_n + ceil(p (W_a - W_n) / 100), and each medium's hours as free bytes
// over half of W, the SD card's free bytes less the reserve.
#pragma once

#include <cmath>
#include <memory>

#include "calculator/calculation.h"
#include "calculator/channel_assignment.h"
#include "tests/calculator/reference_replay.h"

namespace capacimo::reference {

// Weeks, days and hours of free bytes at W bytes per two hours, the hours in
// single precision as the recorder forms them.
inline StorageDuration expectedDuration(std::int64_t free, std::int64_t written) {
    if (written <= 0 || free <= 0) return kNoDuration;
    const float hours = static_cast<float>(static_cast<long double>(free) / (written * 0.5L));
    const auto weeks = static_cast<std::int32_t>(hours / 168);
    const float rest = hours - 168.0f * static_cast<float>(weeks);
    const auto days = static_cast<std::int32_t>(rest / 24);
    return {weeks, days, static_cast<std::int32_t>(rest - 24.0f * static_cast<float>(days))};
}

struct Expected {
    std::int64_t normal = 0, alarm = 0, written = 0;
    StorageDuration internal, card, normalInternal, normalCard;
};

inline Expected expectedFor(const CalculatorEntries& e) {
    auto setup = std::make_unique<RecorderSetup>();
    StorageCycleCodes codes{};
    applyEntries(e, *setup, codes);
    // In alarm a group stores at its alarm cycle: the item of its own cycle
    // list where "same" (item 0) stands for Off, which it cannot switch to.
    StorageCycleCodes alarm = codes;
    for (int g = 0; g < kGroups; ++g) {
        if (e.alarmCycleItems[g] != 0) alarm[g] = storageCycleCodeForItem(g, e.alarmCycleItems[g]);
    }
    Expected x;
    x.normal = reference::replay(*setup, codes).written;
    x.alarm = reference::replay(*setup, alarm).written;
    const std::int64_t change = e.alarmShare * (x.alarm - x.normal);
    x.written = x.normal + static_cast<std::int64_t>(std::ceil(static_cast<double>(change) / 100.0));
    const std::int64_t image = CConfigBlock::kImageLength;
    const std::int64_t internalFree = 365LL * 500000 - 365 * image;
    const std::int64_t cardFree = kCardSizes[static_cast<std::size_t>(e.cardItem)].bytes / 100 * 95 - 200 * image;
    x.internal = expectedDuration(internalFree, x.written);
    x.card = expectedDuration(cardFree - e.cardReserve * 1048576LL, x.written);
    x.normalInternal = expectedDuration(internalFree, x.normal);
    x.normalCard = expectedDuration(cardFree, x.normal);
    return x;
}

// Entries with random alarm cycles, shares and reserves (at and beyond the
// card's room among them) on random setups.
inline CalculatorEntries randomScenario(std::mt19937& rng) {
    auto number = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    CalculatorEntries e = randomEntries(rng);
    for (int g = 0; g < kGroups; ++g) {
        e.alarmCycleItems[g] = number(0, 2) == 0 ? 0 : number(1, alarmCycleItemCount(g) - 1);
    }
    e.alarmShare = number(0, 3) == 0 ? 100 : number(0, 100);
    e.cardReserve = number(0, 4) == 0 ? 0 : number(0, 2048);
    if (number(0, 9) == 0) e.cardReserve = kCardSizes[static_cast<std::size_t>(e.cardItem)].megabytes;
    return e;
}

}  // namespace capacimo::reference
