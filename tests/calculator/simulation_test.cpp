#include <gtest/gtest.h>

#include <memory>

#include "calculator/simulation.h"

namespace capacimo {
namespace {

// A setup with every group empty, every channel off and no analysis.
struct Replay {
    RecorderSetup setup;
    StorageCycleCodes codes{};
    std::unique_ptr<CConfigBlock> encoder = std::make_unique<CConfigBlock>();
    CCapacimo simulator;

    Replay() {
        initRecorderSetup(setup);
        for (ChannelGroup& g : setup.groups) std::fill(std::begin(g.channels), std::end(g.channels), kEmptySlot);
    }
    // Group 1 records the first n analog channels, plain instantaneous values.
    void fourAnalogInGroup1(std::uint8_t code, int n = 4) {
        for (int i = 0; i < n; ++i) {
            setup.analog[i].kind = analog_kind::kMeasured;
            setup.groups[0].channels[i] = static_cast<std::int16_t>(i);
        }
        codes[0] = code;
    }
    std::int32_t simulate() {
        simulator.setGroupCycles(encoder.get(), codes);
        encoder->setWorkingSetup(setup);
        return simulator.simulate();
    }
};

TEST(Simulation, NothingWrittenIsOneBlockHeader) {
    Replay r;
    for (auto& c : r.codes) c = 2;  // groups run, but hold nothing
    EXPECT_EQ(r.simulate(), 41);
    CCapacimo unbound;
    EXPECT_EQ(unbound.simulate(), 41);
}

TEST(Simulation, OneSecondCycleClosesBlocks) {
    Replay r;
    r.fourAnalogInGroup1(2);
    EXPECT_EQ(CCapacimo::groupPayload(r.setup, 0, false), 20);
    EXPECT_EQ(r.simulate(), 171717);  // 21 blocks of 339 records of 24 bytes
    EXPECT_EQ(r.simulator.closedTotal(), 171717);
    EXPECT_EQ(r.simulator.blockFill(), 41 + (7200 - 21 * 339) * 24);
}

TEST(Simulation, FastCycleWritesTenRecordsASecond) {
    Replay r;
    r.fourAnalogInGroup1(1);
    EXPECT_EQ(r.simulate(), 1733524);
}

TEST(Simulation, MinuteCycleStaysInTheFirstBlock) {
    Replay r;
    r.fourAnalogInGroup1(11);
    EXPECT_EQ(r.simulate(), 41 + 121 * 24);
}

TEST(Simulation, RunsAreIndependent) {
    Replay r;
    r.fourAnalogInGroup1(2);
    EXPECT_EQ(r.simulate(), 171717);
    EXPECT_EQ(r.simulate(), 171717);
    r.codes[0] = 11;
    EXPECT_EQ(r.simulate(), 2945);
}

TEST(Simulation, DailyAnalysisWritesOnce) {
    Replay r;
    r.fourAnalogInGroup1(11);
    r.setup.analysis.codes[0] = 17;
    EXPECT_EQ(CCapacimo::analysisPayload(r.setup), 141);
    EXPECT_EQ(r.simulate(), 3090);
    // Only the low byte of an analysis code counts: 0x0111 is code 17.
    r.setup.analysis.codes[0] = 0x0111;
    EXPECT_EQ(r.simulate(), 3090);
}

TEST(Simulation, AnalysisPayloads) {
    Replay r;
    for (AnalogChannel& c : r.setup.analog) c.kind = analog_kind::kMeasured;
    EXPECT_EQ(CCapacimo::analysisPayload(r.setup), 1221);
    for (AnalogChannel& c : r.setup.analog) c.totalize = 1;
    EXPECT_EQ(CCapacimo::analysisPayload(r.setup), 1901);

    Replay m;
    m.setup.math[0].kind = 2;  // 30
    m.setup.math[1].kind = 5;
    m.setup.math[1].totalize = 1;                    // 47
    m.setup.math[2].kind = 6;                        // nothing
    m.setup.math[3].kind = 7;                        // 18
    m.setup.digital[0].kind = digital_kind::kEvent;  // nothing
    m.setup.digital[1].kind = digital_kind::kCounter;
    m.setup.digital[2].kind = 6;  // 18 each
    EXPECT_EQ(CCapacimo::analysisPayload(m.setup), 21 + 30 + 47 + 18 + 18 + 18);
}

TEST(Simulation, GroupPayloadBySlotContent) {
    Replay r;
    auto& slots = r.setup.groups[0].channels;
    r.setup.analog[0].subKind = 4;
    r.setup.analog[1].subKind = 5;
    r.setup.math[0].kind = 5;
    r.setup.math[1].kind = 6;
    r.setup.digital[0].kind = 2;
    r.setup.digital[1].kind = 3;
    slots[0] = 0;   // 9, fast 5
    slots[1] = 1;   // 0, fast 5
    slots[2] = 54;  // 9, fast 5
    slots[3] = 55;  // 1, fast 2
    slots[4] = 40;  // 1, fast 2
    slots[5] = 41;  // 0 (counter)
    slots[6] = 62;  // beyond the index space
    slots[7] = -7;
    EXPECT_EQ(CCapacimo::groupPayload(r.setup, 0, false), 9 + 0 + 9 + 1 + 1);
    EXPECT_EQ(CCapacimo::groupPayload(r.setup, 0, true), 5 + 5 + 5 + 2 + 2);
}

TEST(Simulation, EmptyOrCounterOnlyGroupWritesNothing) {
    Replay r;
    r.setup.digital[0].kind = digital_kind::kCounter;
    r.setup.groups[3].channels[0] = 40;
    r.codes[3] = 1;
    EXPECT_EQ(r.simulate(), 41);
}

// Hourly records at seconds 1, 3600 and 7200 need 1, 2 and 2 time bytes.
TEST(Simulation, TimeWidthGrowsWithTheGap) {
    Replay r;
    r.fourAnalogInGroup1(18, 1);  // payload 5
    EXPECT_EQ(r.simulate(), 41 + (1 + 5 + 1 + 2) + 2 * (2 + 5 + 1 + 2));
}

// Analysis channels: plain and totalized analog channels and digital counters
// give any payload 21 + 30a + 47t + 18c.
void analysisChannels(RecorderSetup& s, int plain, int totalized, int counters) {
    int i = 0;
    for (; i < plain; ++i) s.analog[i].kind = analog_kind::kMeasured;
    for (; i < plain + totalized; ++i) {
        s.analog[i].kind = analog_kind::kMeasured;
        s.analog[i].totalize = 1;
    }
    for (int d = 0; d < counters; ++d) s.digital[d].kind = digital_kind::kCounter;
}

// Records of 256 bytes and more carry a 6-byte frame instead of 2.
TEST(Simulation, LongRecordFrame) {
    Replay a;
    analysisChannels(a.setup, 5, 1, 2);
    ASSERT_EQ(CCapacimo::analysisPayload(a.setup), 254);
    a.setup.analysis.codes[0] = 17;
    EXPECT_EQ(a.simulate(), 41 + 262);

    Replay b;
    analysisChannels(b.setup, 1, 2, 6);
    ASSERT_EQ(CCapacimo::analysisPayload(b.setup), 253);
    b.setup.analysis.codes[0] = 17;
    EXPECT_EQ(b.simulate(), 41 + 257);
}

// The first record of a new block stores its time in one byte even after a
// long gap. Four hourly analyses of 1901 bytes: at second 1 four records of
// 1909 bytes fill a block to 7677; at 3600 the first record (2 time bytes,
// 1910) does not fit, so a block closes and the record costs 1909 again.
TEST(Simulation, FirstRecordOfABlockHasOneTimeByte) {
    Replay r;
    analysisChannels(r.setup, 0, 40, 0);
    ASSERT_EQ(CCapacimo::analysisPayload(r.setup), 1901);
    for (auto& code : r.setup.analysis.codes) code = 10;  // 1 h
    EXPECT_EQ(r.simulate(), 2 * 7677);
    EXPECT_EQ(r.simulator.blockFill(), 7677);
}

// A record that fills a block to exactly 8192 bytes stays in it: eleven
// records of 741 bytes fill a block exactly, so 484 records close 43 blocks
// and leave the 44th full but open.
TEST(Simulation, ExactlyFullBlockKeepsItsRecord) {
    Replay r;
    analysisChannels(r.setup, 20, 2, 1);
    ASSERT_EQ(CCapacimo::analysisPayload(r.setup), 733);
    for (auto& code : r.setup.analysis.codes) code = 2;  // 1 min: 121 records each
    EXPECT_EQ(r.simulate(), 43 * 8192);
    EXPECT_EQ(r.simulator.blockFill(), 8192);
}

}  // namespace
}  // namespace capacimo
