#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "calculator/channel_assignment.h"

namespace capacimo {
namespace {

constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
constexpr auto kMin = std::numeric_limits<std::int32_t>::min();

struct Assigned {
    RecorderSetup setup;
    StorageCycleCodes codes{};
    explicit Assigned(const CalculatorEntries& e) {
        initRecorderSetup(setup);
        applyEntries(e, setup, codes);
    }
    std::vector<int> group(int g) const {
        return {std::begin(setup.groups[g].channels), std::end(setup.groups[g].channels)};
    }
};

CalculatorEntries entries() {
    CalculatorEntries e;  // everything 0: nothing configured
    return e;
}

TEST(ChannelAssignment, AnalogPlainTotalizedAndImpulse) {
    CalculatorEntries e = entries();
    e.counts.analog = 3;
    e.counts.analogImpulse = 1;
    e.counts.analogTotalized = 1;
    e.counts.groupValues[0] = 3;
    Assigned a(e);
    EXPECT_EQ(a.setup.analog[0].kind, 1);
    EXPECT_EQ(a.setup.analog[0].totalize, 1);
    EXPECT_EQ(a.setup.analog[1].kind, 1);
    EXPECT_EQ(a.setup.analog[1].totalize, 0);
    EXPECT_EQ(a.setup.analog[2].kind, 36);
    EXPECT_EQ(a.setup.analog[2].subKind, 5);
    EXPECT_EQ(a.setup.analog[2].totalize, 1);
    EXPECT_EQ(a.setup.analog[3].kind, 0);
    EXPECT_EQ(a.group(0), (std::vector<int>{0, 1, -1, -1, -1, -1, -1, -1}));

    e.counts.mathValues = 1;
    EXPECT_EQ(Assigned(e).group(0), (std::vector<int>{0, 1, 54, -1, -1, -1, -1, -1}));
}

TEST(ChannelAssignment, GroupsShareChannelsAndSlotsRunOut) {
    CalculatorEntries e = entries();
    e.counts.analog = 2;
    e.counts.mathValues = 1;
    e.counts.digitalEvents = 3;
    e.counts.groupValues = {8, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    e.counts.groupStates = {2, 1, 2, 0, 0, 0, 0, 0, 0, 0};
    Assigned a(e);
    EXPECT_EQ(a.group(0), (std::vector<int>{0, 1, 54, -1, -1, -1, -1, -1}));
    EXPECT_EQ(a.group(1), (std::vector<int>{0, 1, 40, -1, -1, -1, -1, -1}));
    EXPECT_EQ(a.group(2), (std::vector<int>{40, 41, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(a.group(9), (std::vector<int>(8, -1)));
}

TEST(ChannelAssignment, CountersNeverEnterAGroup) {
    CalculatorEntries e = entries();
    e.counts.digitalCounters = 3;
    e.counts.mathCounters = 2;
    e.counts.analog = 2;
    e.counts.analogImpulse = 2;
    e.counts.groupValues[4] = 1;
    e.counts.groupStates[4] = 2;
    Assigned a(e);
    EXPECT_EQ(a.setup.digital[0].kind, 3);
    EXPECT_EQ(a.group(4), (std::vector<int>(8, -1)));
}

TEST(ChannelAssignment, StatesUseDigitalThenMathStates) {
    CalculatorEntries e = entries();
    e.counts.digitalEvents = 1;
    e.counts.digitalEventsOpTime = 1;
    e.counts.mathValues = 1;
    e.counts.mathStates = 2;
    e.counts.groupStates[0] = 5;
    Assigned a(e);
    EXPECT_EQ(a.setup.digital[1].kind, 5);
    EXPECT_EQ(a.setup.math[0].kind, 2);
    EXPECT_EQ(a.setup.math[1].kind, 6);
    EXPECT_EQ(a.group(0), (std::vector<int>{40, 41, 55, 56, -1, -1, -1, -1}));
    EXPECT_EQ(a.setup.device.hasMath, 1);
}

// Instantaneous values and states share one math cursor per group: a value
// request that ran past the math channels leaves nothing for the states.
TEST(ChannelAssignment, ValuesAndStatesShareTheMathCursor) {
    CalculatorEntries e = entries();
    e.counts.mathValues = 1;  // math 0: a value, math 1: a state
    e.counts.mathStates = 1;
    e.counts.groupValues[0] = 2;
    e.counts.groupStates[0] = 1;
    e.counts.groupStates[1] = 1;
    Assigned a(e);
    EXPECT_EQ(a.group(0), (std::vector<int>{54, -1, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(a.group(1), (std::vector<int>{55, -1, -1, -1, -1, -1, -1, -1}));
}

TEST(ChannelAssignment, OverLargeCountsAreCut) {
    CalculatorEntries e = entries();
    e.counts.digitalEvents = 10;
    e.counts.digitalEventsOpTime = 10;
    e.counts.mathValues = 6;
    e.counts.mathValuesTotalized = 9;
    e.counts.mathStates = 5;
    Assigned a(e);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(a.setup.digital[i].kind, 2);
    for (int i = 10; i < 14; ++i) EXPECT_EQ(a.setup.digital[i].kind, 5);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(a.setup.math[i].totalize, 1);
    EXPECT_EQ(a.setup.math[6].kind, 6);
    EXPECT_EQ(a.setup.math[7].kind, 6);
}

TEST(ChannelAssignment, ExtremeTypedCountsStayInBounds) {
    CalculatorEntries e = entries();
    e.counts.analog = kMax;
    e.counts.analogImpulse = kMin;  // A - Ai would overflow in 32 bits
    e.counts.analogTotalized = kMax;
    e.counts.digitalEvents = kMax;
    e.counts.mathValues = kMax;
    e.counts.mathStates = kMin;
    e.counts.groupValues.fill(kMax);
    e.counts.groupStates.fill(kMin);
    Assigned a(e);
    for (const AnalogChannel& c : a.setup.analog) {
        EXPECT_EQ(c.kind, 1);
        EXPECT_EQ(c.totalize, 1);
    }
    for (int g = 0; g < kGroups; ++g) EXPECT_EQ(a.group(g)[7], 7);

    e.counts.analog = kMin;
    e.counts.analogImpulse = kMax;
    Assigned b(e);
    for (const AnalogChannel& c : b.setup.analog) EXPECT_EQ(c.kind, 36);
    EXPECT_EQ(b.group(0)[0], 54);  // no plain analog: the math values fill the group
}

TEST(ChannelAssignment, EveryRunStartsAfresh) {
    CalculatorEntries e = entries();
    e.counts.analog = 40;
    e.counts.mathValues = 8;
    e.counts.groupValues.fill(8);
    RecorderSetup s;
    initRecorderSetup(s);
    StorageCycleCodes codes{};
    applyEntries(e, s, codes);
    s.limits[5].mode = 3;
    applyEntries(entries(), s, codes);
    EXPECT_EQ(s.analog[39].kind, 0);
    EXPECT_EQ(s.math[7].kind, 0);
    EXPECT_EQ(s.device.hasMath, 0);
    EXPECT_EQ(s.limits[5].mode, 0);
    for (int g = 0; g < kGroups; ++g) EXPECT_EQ(s.groups[g].channels[0], -1);
}

TEST(SelectionCodes, StorageCycleItems) {
    EXPECT_EQ(storageCycleCodeForItem(0, 1), 1);    // group 1 "100ms"
    EXPECT_EQ(storageCycleCodeForItem(1, 1), 2);    // group 2 "1s"
    EXPECT_EQ(storageCycleCodeForItem(0, 11), 11);  // 1 min
    EXPECT_EQ(storageCycleCodeForItem(3, 10), 11);  // 1 min
    EXPECT_EQ(storageCycleCodeForItem(0, 18), 18);
    EXPECT_EQ(storageCycleCodeForItem(9, 17), 18);
    EXPECT_EQ(storageCycleCodeForItem(9, 18), 0);  // beyond the list
    EXPECT_EQ(storageCycleCodeForItem(0, -1), 0);  // no selection
    for (int g = 0; g < kGroups; ++g) {
        for (int item = 0; item < cycleItemCount(g); ++item) {
            EXPECT_EQ(cycleItemForCode(g, storageCycleCodeForItem(g, item)), item);
        }
    }
    EXPECT_EQ(cycleItemForCode(4, 1), -1);
}

TEST(SelectionCodes, AnalysisItems) {
    EXPECT_EQ(analysisCodeForItem(0, 0), 0);
    EXPECT_EQ(analysisCodeForItem(0, 1), 2);    // "1min"
    EXPECT_EQ(analysisCodeForItem(0, 15), 16);  // "12h"
    EXPECT_EQ(analysisCodeForItem(0, 16), 0);
    EXPECT_EQ(analysisCodeForItem(2, 4), 20);  // "annual analysis"
    EXPECT_EQ(analysisCodeForItem(1, 1), 17);
    EXPECT_EQ(analysisCodeForItem(3, 5), 0);
    EXPECT_EQ(analysisCodeForItem(3, -1), 0);
    CalculatorEntries e = entries();
    e.analysisItems = {1, 0, 4, 2};
    e.cycleItems[1] = 1;
    Assigned a(e);
    EXPECT_EQ(a.setup.analysis.codes[0], 2);
    EXPECT_EQ(a.setup.analysis.codes[2], 20);
    EXPECT_EQ(a.setup.analysis.codes[3], 18);
    EXPECT_EQ(a.codes[1], 2);
}

}  // namespace
}  // namespace capacimo
