#include <gtest/gtest.h>

#include <memory>

#include "tests/core/reference_replay.h"

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

}  // namespace
}  // namespace capacimo
