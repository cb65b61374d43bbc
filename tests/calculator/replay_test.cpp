#include <gtest/gtest.h>

#include <memory>

#include "tests/calculator/reference_replay.h"

namespace capacimo {
namespace {

struct Bound {
    std::unique_ptr<CConfigBlock> encoder = std::make_unique<CConfigBlock>();
    CCapacimo simulator;
    std::int32_t simulate(const RecorderSetup& setup, const StorageCycleCodes& codes) {
        simulator.setGroupCycles(encoder.get(), codes);
        encoder->setWorkingSetup(setup);
        return simulator.simulate();
    }
};

void expectSameRun(const CCapacimo& fast, std::int32_t written, const reference::Run& plain) {
    EXPECT_EQ(written, plain.written);
    EXPECT_EQ(fast.blockFill(), plain.blockFill);
    EXPECT_EQ(fast.closedTotal(), plain.closedTotal);
    EXPECT_EQ(fast.closedBlocks(), plain.closedBlocks);
    for (int w = 0; w < CCapacimo::kWriters; ++w) {
        EXPECT_EQ(fast.writerTallies()[w].records, plain.records[w]) << "writer " << w;
        EXPECT_EQ(fast.writerTallies()[w].bytes, plain.bytes[w]) << "writer " << w;
    }
}

TEST(ReplayExactness, SameAsThePlainReplayOnRandomSetups) {
    std::mt19937 rng(20240611);
    auto setup = std::make_unique<RecorderSetup>();
    StorageCycleCodes codes{};
    Bound bound;
    for (int i = 0; i < 5000; ++i) {
        reference::randomSetup(rng, *setup, codes);
        const std::int32_t written = bound.simulate(*setup, codes);
        SCOPED_TRACE("setup " + std::to_string(i));
        expectSameRun(bound.simulator, written, reference::replay(*setup, codes));
        if (HasFailure()) break;
    }
}

// What the records alone say about W holds what the plain replay writes; a
// run that cannot fill its block is known to the byte when every time is one
// byte wide.
TEST(ReplayExactness, WrittenRangeHoldsThePlainReplay) {
    std::mt19937 rng(1312);
    auto setup = std::make_unique<RecorderSetup>();
    StorageCycleCodes codes{};
    int exact = 0;
    for (int i = 0; i < 5000; ++i) {
        reference::randomSetup(rng, *setup, codes);
        const CCapacimo::WrittenRange range = CCapacimo::writtenRange(CCapacimo::recordsOf(*setup), codes);
        const reference::Run plain = reference::replay(*setup, codes);
        SCOPED_TRACE("setup " + std::to_string(i));
        EXPECT_LE(range.least, plain.written);
        EXPECT_GE(range.most, plain.written);
        if (range.least == range.most) ++exact;
        if (HasFailure()) break;
    }
    EXPECT_GT(exact, 0);
}

}  // namespace
}  // namespace capacimo
