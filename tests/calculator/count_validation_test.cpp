#include <gtest/gtest.h>

#include <limits>

#include "calculator/count_validation.h"

namespace capacimo {
namespace {

constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
constexpr auto kMin = std::numeric_limits<std::int32_t>::min();

ChannelCounts analog(std::int32_t a, std::int32_t at = 0, std::int32_t ai = 0) {
    ChannelCounts c;
    c.analog = a;
    c.analogTotalized = at;
    c.analogImpulse = ai;
    return c;
}

std::string text(const ChannelCounts& c) { return validateCounts(c).text; }

TEST(CountValidation, NothingActiveIsAnError) {
    ChannelCounts c;
    c.mathValues = 3;  // math channels alone do not count
    const auto o = validateCounts(c);
    EXPECT_EQ(o.level, StatusLevel::Error);
    EXPECT_EQ(o.text, "Error: There must be at least 1 active analog or digital channel!");
}

TEST(CountValidation, AnalogTotalizersAndImpulseCounters) {
    EXPECT_EQ(text(analog(5, 3, 3)), "Error: To many analog totalizer!");
    EXPECT_EQ(text(analog(5, 0, 6)), "Error: To many analog channels selected!");
    EXPECT_EQ(text(analog(5, 6, 0)), "Error: To many analog totalizer!");
    EXPECT_EQ(validateCounts(analog(5, 2, 3)).level, StatusLevel::None);
}

TEST(CountValidation, DigitalMathAndGroupLimits) {
    ChannelCounts c = analog(1);
    c.digitalEvents = 10;
    c.digitalEventsOpTime = 5;
    EXPECT_EQ(text(c), "Error: To many digital channels (maximum = 14)!");

    c = analog(1);
    c.mathValues = 4;
    c.mathStates = 4;
    c.mathCounters = 1;
    EXPECT_EQ(text(c), "Error: To many math channels (maximum = 8)!");

    c = analog(1);
    c.mathValues = 2;
    c.mathValuesTotalized = 3;
    EXPECT_EQ(text(c), "Error: To many math totalizer!");

    c = analog(1);
    c.groupValues[2] = 5;
    c.groupStates[2] = 4;
    EXPECT_EQ(text(c), "Error in group 3: maximum 8 channels per group!");
    c.groupValues[0] = 9;
    EXPECT_EQ(text(c), "Error in group 1: maximum 8 channels per group!");
    c = analog(1);
    c.groupStates[9] = 9;
    EXPECT_EQ(text(c), "Error in group 10: maximum 8 channels per group!");
}

TEST(CountValidation, FirstFailingCheckWins) {
    ChannelCounts c = analog(5, 6, 0);
    c.digitalEvents = 15;
    c.groupValues[0] = 9;
    EXPECT_EQ(text(c), "Error: To many analog totalizer!");
    c.analogTotalized = 0;
    EXPECT_EQ(text(c), "Error: To many digital channels (maximum = 14)!");
    // An error suppresses the information about large configurations.
    c = analog(30);
    c.mathValuesTotalized = 1;
    EXPECT_EQ(text(c), "Error: To many math totalizer!");
}

TEST(CountValidation, LargeConfigurationsNeedAFieldbus) {
    const std::string info =
        "Information: this configuration is only possible if your unit has the option Profibus DP or Modbus.";
    EXPECT_EQ(validateCounts(analog(21)).level, StatusLevel::Information);
    EXPECT_EQ(text(analog(21)), info);
    ChannelCounts c = analog(17);
    c.digitalEvents = 7;
    EXPECT_EQ(text(c), info);
    c.digitalEvents = 6;
    EXPECT_EQ(validateCounts(c).level, StatusLevel::None);
    c = analog(16);
    c.digitalCounters = 14;
    EXPECT_EQ(validateCounts(c).level, StatusLevel::None);
    EXPECT_EQ(validateCounts(analog(20)).level, StatusLevel::None);
}

// Entry fields hand over typed numbers unclamped; sums must not wrap.
TEST(CountValidation, ExtremeTypedValuesDoNotWrap) {
    ChannelCounts c = analog(kMax);
    c.digitalEvents = 1;  // kMax + 1 would wrap to a negative total
    EXPECT_EQ(validateCounts(c).level, StatusLevel::Information);

    c = analog(kMax, kMax, kMax);  // Ai + At would wrap below A
    EXPECT_EQ(text(c), "Error: To many analog totalizer!");

    c = analog(1);
    c.digitalEvents = kMax;
    c.digitalEventsOpTime = kMax;
    c.digitalCounters = kMax;
    EXPECT_EQ(text(c), "Error: To many digital channels (maximum = 14)!");

    c = analog(1);
    c.groupValues[4] = kMax;
    c.groupStates[4] = kMax;
    EXPECT_EQ(text(c), "Error in group 5: maximum 8 channels per group!");

    // A total that is zero only after wrapping is not "nothing active".
    c = analog(kMin);
    c.digitalEvents = kMin;
    EXPECT_NE(text(c), "Error: There must be at least 1 active analog or digital channel!");
    c = analog(-1);
    c.digitalEvents = 1;
    EXPECT_EQ(text(c), "Error: There must be at least 1 active analog or digital channel!");
}

TEST(DependentCounts, AnalogAdjustment) {
    EXPECT_EQ(adjustAnalogDependents(4, 5, 3).totalized, 1);
    EXPECT_EQ(adjustAnalogDependents(4, 5, 3).impulse, std::nullopt);
    const auto r = adjustAnalogDependents(2, 0, 3);
    EXPECT_EQ(r.impulse, 2);
    EXPECT_EQ(r.totalized, -1);  // raised to 0 by the entry field
    // No analog channel: both are set to 0, even when they hold 0 already.
    EXPECT_EQ(adjustAnalogDependents(0, 7, 9).totalized, 0);
    EXPECT_EQ(adjustAnalogDependents(0, 0, 0).impulse, 0);
    EXPECT_EQ(adjustAnalogDependents(10, 3, 2).totalized, std::nullopt);
    // A hugely negative impulse count must not wrap A - Ai.
    EXPECT_EQ(adjustAnalogDependents(kMax, 5, kMin).totalized, std::nullopt);
    EXPECT_EQ(adjustAnalogDependents(kMin, 5, kMax).totalized, kMin);
}

TEST(DependentCounts, MathAdjustment) {
    EXPECT_EQ(adjustMathTotalized(0, 0), 0);
    EXPECT_EQ(adjustMathTotalized(2, 5), 2);
    EXPECT_EQ(adjustMathTotalized(6, 5), std::nullopt);
}

}  // namespace
}  // namespace capacimo
