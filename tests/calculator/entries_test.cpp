// The table of entries: the values the store holds (a contract with every
// user's existing store), and the rules that turn a store into entries.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "calculator/entries.h"

namespace capacimo {
namespace {

TEST(EntryTable, TheStoreKeepsTheseValuesInThisOrder) {
    std::vector<std::string> expected = {"Settings\\CFSize", "Settings\\Analysis1", "Settings\\Analysis2",
                                         "Settings\\Analysis3", "Settings\\Analysis4"};
    for (const char* name :
         {"CountAnalog", "CountAnalogIntegr", "CountAnalogIC", "CountDigitalCounter", "CountDigitalOnOffOptTime",
          "CountDigitalOnOff", "CountMathIV", "CountMathIVIntegr", "CountMathState", "CountMathCounter"}) {
        expected.push_back(std::string("Settings\\Channels\\") + name);
    }
    for (const char* group : {"00", "01", "02", "03", "04", "05", "06", "07", "08", "09"}) {
        for (const char* name : {"SaveCycle", "CountGroupIV", "CountGroupState"}) {
            expected.push_back(std::string("Settings\\Group") + group + "\\" + name);
        }
    }
    // Entries added later come after the first ones, so that older stores read as before.
    for (const char* group : {"00", "01", "02", "03", "04", "05", "06", "07", "08", "09"}) {
        expected.push_back(std::string("Settings\\Group") + group + "\\AlarmCycle");
    }
    expected.push_back("Settings\\AlarmShare");
    expected.push_back("Settings\\CardReserve");
    std::vector<std::string> stored;
    for (const Entry& e : entryTable()) stored.push_back(e.section + "\\" + e.name);
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(groupSuffix(10), "0A");
}

// Two rows that reached the same field, or a row reaching none, would lose an entry.
TEST(EntryTable, EveryRowHasAFieldOfItsOwn) {
    CalculatorEntries e;
    const auto& table = entryTable();
    for (std::size_t row = 0; row < table.size(); ++row) table[row].field(e) = static_cast<std::int32_t>(row + 100);
    std::set<std::string> controls;
    for (std::size_t row = 0; row < table.size(); ++row) {
        EXPECT_EQ(table[row].field(e), static_cast<std::int32_t>(row + 100)) << table[row].name;
        EXPECT_TRUE(controls.insert(table[row].control).second) << table[row].control;
        EXPECT_EQ(&entryOf(table[row].id, table[row].index), &table[row]);
    }
}

TEST(EntryTable, ResetGivesOneAnalogChannelRecordedEveryMinute) {
    const CalculatorEntries d = defaultEntries();
    EXPECT_EQ(d.counts.analog, 1);
    EXPECT_EQ(d.counts.groupValues[0], 1);
    for (int g = 0; g < kGroups; ++g) {
        EXPECT_EQ(storageCycleText(storageCycleCodeForItem(g, d.cycleItems[g])), "1min");
        EXPECT_EQ(d.counts.groupStates[g], 0);
        EXPECT_EQ(d.counts.groupValues[g], g == 0 ? 1 : 0);
    }
    EXPECT_EQ(entryOf(EntryId::CardSize).items[static_cast<std::size_t>(d.cardItem)], "256 MB");
    EXPECT_EQ(entryOf(EntryId::Analysis, 2).items, (std::vector<std::string>{"no", "daily analysis", "weekly analysis",
                                                                             "monthly analysis", "annual analysis"}));
}

TEST(EntryTable, AStoreIsReadWithTheDialogsRules) {
    const std::map<std::string, std::int32_t> store = {
        {"CFSize", 7},              // outside the list: its first entry
        {"Analysis1", 15},          // the last interval, 12h
        {"Analysis2", -1},          // outside the list
        {"CountAnalog", 55},        // clamped to 40
        {"CountAnalogIntegr", 50},  // cut to the channels beside the impulse counters
        {"CountAnalogIC", 2},
        {"CountMathIV", 2},
        {"CountMathIVIntegr", 5},   // kept: only reported
        {"CountDigitalOnOff", -3},  // raised to 0
    };
    const CalculatorEntries e = entriesFromStore([&store](const Entry& entry, std::int32_t fallback) {
        const auto found = entry.page == EntryPage::Group ? store.end() : store.find(entry.name);
        return found == store.end() ? fallback : found->second;
    });
    EXPECT_EQ(e.cardItem, 0);
    EXPECT_EQ(analysisText(analysisCodeForItem(0, e.analysisItems[0])), "12h");
    EXPECT_EQ(e.analysisItems[1], 0);
    EXPECT_EQ(e.counts.analog, 40);
    EXPECT_EQ(e.counts.analogTotalized, 38);
    EXPECT_EQ(e.counts.analogImpulse, 2);
    EXPECT_EQ(e.counts.mathValuesTotalized, 5);
    EXPECT_EQ(e.counts.digitalEvents, 0);
    EXPECT_EQ(e.cycleItems, defaultEntries().cycleItems);  // nothing stored: the defaults
}

}  // namespace
}  // namespace capacimo
