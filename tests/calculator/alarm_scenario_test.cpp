// Alarms and a card reserve, held to the model from first principles
// (alarm_model.h) on random setups.
#include <gtest/gtest.h>

#include "tests/calculator/alarm_model.h"

namespace capacimo {
namespace {

using reference::Expected;
using reference::expectedFor;

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
    int beyondRoom = 0;
    for (int i = 0; i < 400; ++i) {
        const CalculatorEntries e = reference::randomScenario(rng);
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
