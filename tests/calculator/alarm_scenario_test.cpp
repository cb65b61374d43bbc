// Alarms and a card reserve, held to the model from first principles: the
// plain replay of two hours at the storage cycles (W_n) and at the alarm
// cycles (W_a), W = W_n + ceil(p (W_a - W_n) / 100), and each medium's hours
// as free bytes over half of W, the SD card's free bytes less the reserve.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "calculator/calculation.h"
#include "calculator/channel_assignment.h"
#include "tests/calculator/reference_replay.h"

namespace capacimo {
namespace {

// Weeks, days and hours of free bytes at W bytes per two hours, the hours in
// single precision as the recorder forms them.
StorageDuration expectedDuration(std::int64_t free, std::int64_t written) {
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

Expected expectedFor(const CalculatorEntries& e) {
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

void expectModel(const CalculationResult& r, const CalculatorEntries& e) {
    const Expected x = expectedFor(e);
    EXPECT_EQ(r.normalWritten, x.normal);
    EXPECT_EQ(r.written, x.written);
    EXPECT_EQ(r.internal, x.internal);
    EXPECT_EQ(r.card, x.card);
    EXPECT_EQ(r.normalInternal, x.normalInternal);
    EXPECT_EQ(r.normalCard, x.normalCard);
    if (e.alarmShare > 0) {
        EXPECT_EQ(r.alarmWritten, x.alarm);
    }
}

TEST(AlarmScenario, EveryFigureFollowsThePlainReplays) {
    std::mt19937 rng(29);
    Calculator calculator;
    auto number = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    int beyondRoom = 0;
    for (int i = 0; i < 400; ++i) {
        CalculatorEntries e = reference::randomEntries(rng);
        for (int g = 0; g < kGroups; ++g) {
            e.alarmCycleItems[g] = number(0, 2) == 0 ? 0 : number(1, alarmCycleItemCount(g) - 1);
        }
        e.alarmShare = number(0, 3) == 0 ? 100 : number(0, 100);
        // Reserves up to the largest, beyond the room of the smaller cards, and at a card's room exactly.
        e.cardReserve = number(0, 4) == 0 ? 0 : number(0, 2048);
        if (i % 50 == 0) e.cardReserve = kCardSizes[static_cast<std::size_t>(e.cardItem)].megabytes;
        SCOPED_TRACE("setup " + std::to_string(i));
        const CalculationResult r = calculator.calculate(e);
        expectModel(r, e);
        // The status line says why the SD card has no duration.
        if (r.card == kNoDuration && r.normalCard != kNoDuration) {
            ++beyondRoom;
            EXPECT_EQ(validateEntries(e).level, StatusLevel::Error);
        }
        if (HasFailure()) break;
    }
    EXPECT_GT(beyondRoom, 10);  // the draw reached reserves beyond the card's room
}

// The defaults, and a share with every alarm cycle "same", are today's figures to the byte.
TEST(AlarmScenario, WithoutAScenarioTheFiguresAreTodays) {
    std::mt19937 rng(300);
    Calculator calculator;
    for (int i = 0; i < 300; ++i) {
        CalculatorEntries e = reference::randomEntries(rng);
        const CalculationResult today = calculator.calculate(e);
        SCOPED_TRACE("setup " + std::to_string(i));
        EXPECT_FALSE(today.hasScenario());
        expectModel(today, e);
        EXPECT_EQ(today.internal, today.normalInternal);
        EXPECT_EQ(today.card, today.normalCard);
        e.alarmShare = 1 + i % 100;
        const std::uint64_t replays = replaysRun();
        const CalculationResult same = calculator.calculate(e);
        EXPECT_EQ(replaysRun() - replays, 1u);  // no cycle changes: no replay in alarm
        EXPECT_EQ(same.written, today.written);
        EXPECT_EQ(same.internal, today.internal);
        EXPECT_EQ(same.card, today.card);
        if (HasFailure()) break;
    }
}

// A share with alarm cycles costs one replay more, never two.
TEST(AlarmScenario, AShareCostsOneReplayMore) {
    CalculatorEntries e = heaviestEntries();
    e.alarmCycleItems[1] = 1;  // group 2 at 1s, as it stores already
    e.alarmShare = 5;
    Calculator calculator;
    std::uint64_t replays = replaysRun();
    calculator.calculate(e);
    EXPECT_EQ(replaysRun() - replays, 1u);
    e.cycleItems[2] = cycleItemCount(2) - 1;  // group 3 every hour, every second in alarm
    e.alarmCycleItems[2] = 1;
    replays = replaysRun();
    calculator.calculate(e);
    EXPECT_EQ(replaysRun() - replays, 2u);
    e.cycleItems[0] = 0;  // group 1 Off, and at 100ms in alarm: it records then
    e.alarmCycleItems[0] = 1;
    replays = replaysRun();
    const CalculationResult r = calculator.calculate(e);
    EXPECT_EQ(replaysRun() - replays, 2u);
    EXPECT_GT(r.alarmWritten, r.normalWritten);
}

}  // namespace
}  // namespace capacimo
