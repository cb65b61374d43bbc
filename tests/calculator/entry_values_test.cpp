#include "calculator/entry_values.h"

#include <gtest/gtest.h>

#include <map>

namespace capacimo {
namespace {

TEST(EntryValues, ValuesFollowTheTableBothWays) {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 99;  // typed beyond the range: carried as typed
    e.cycleItems[9] = 3;
    const std::vector<std::int32_t> values = entryValues(e);
    ASSERT_EQ(values.size(), entryTable().size());
    EXPECT_EQ(entriesFromValues(values), e);
    EXPECT_EQ(entriesFromValues({1, 2, 3}), std::nullopt);
}

TEST(EntryValues, DependentCountsFollowTheChangedCountOnly) {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 4;
    e.counts.analogTotalized = 5;
    e.counts.analogImpulse = 3;
    adjustDependentCounts(e, EntryId::AnalogImpulse);  // not a count with dependents
    EXPECT_EQ(e.counts.analogTotalized, 5);
    adjustDependentCounts(e, EntryId::Analog);
    EXPECT_EQ(e.counts.analogTotalized, 1);
    EXPECT_EQ(e.counts.analogImpulse, 3);
    e.counts.analog = 2;
    e.counts.analogImpulse = 3;
    e.counts.analogTotalized = 0;
    adjustDependentCounts(e, EntryId::Analog);  // 2 - 3 < 0 totalizers: the field keeps 0
    EXPECT_EQ(e.counts.analogTotalized, 0);
    EXPECT_EQ(e.counts.analogImpulse, 2);
    e.counts.mathValues = 0;
    e.counts.mathValuesTotalized = 4;
    adjustDependentCounts(e, EntryId::MathValues);
    EXPECT_EQ(e.counts.mathValuesTotalized, 0);
}

TEST(EntryValues, EachStoredTextIsJudgedOnItsOwn) {
    const std::map<std::string, std::string> stored = {
        {"Settings\\Channels\\CountAnalog", "junk"},     // damaged: its default
        {"Settings\\Channels\\CountDigitalOnOff", "7"},  // kept
        {"Settings\\Channels\\CountMathIV", "99"},       // beyond the range: clamped
        {"Settings\\CFSize", "9"},                       // outside the list: its first item
        {"Settings\\Group03\\SaveCycle", "5"},           // kept
        {"Settings\\AlarmShare", "101"},                 // an amount beyond its range: not taken
        {"Settings\\CardReserve", " 64"},                // not a number as stored: not taken
        {"Settings\\Group01\\AlarmCycle", "19"},         // outside the list: "same"
        {"Settings\\Group02\\AlarmCycle", "2"},          // kept
    };
    const CalculatorEntries e = entriesFromStoredTexts([&](const Entry& entry) -> std::optional<std::string> {
        const auto it = stored.find(storedName(entry));
        return it == stored.end() ? std::nullopt : std::optional(it->second);
    });
    EXPECT_EQ(e.counts.analog, defaultEntries().counts.analog);
    EXPECT_EQ(e.counts.digitalEvents, 7);
    EXPECT_EQ(e.counts.mathValues, entryOf(EntryId::MathValues).maximum);
    EXPECT_EQ(e.cardItem, 0);
    EXPECT_EQ(e.cycleItems[3], 5);
    EXPECT_EQ(e.cycleItems[4], defaultEntries().cycleItems[4]);
    EXPECT_EQ(e.alarmShare, 0);
    EXPECT_EQ(e.cardReserve, 0);
    EXPECT_EQ(e.alarmCycleItems[1], 0);
    EXPECT_EQ(e.alarmCycleItems[2], 2);
}

}  // namespace
}  // namespace capacimo
