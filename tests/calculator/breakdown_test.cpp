#include "calculator/breakdown.h"

#include <gtest/gtest.h>

#include <memory>

#include "calculator/channel_assignment.h"
#include "tests/calculator/random_entries.h"
#include "tests/calculator/reference_replay.h"

namespace capacimo {
namespace {

std::vector<int> writerIds(const Breakdown& b) {
    std::vector<int> ids;
    for (const WriterBytes& w : b.writers) ids.push_back(w.writer);
    return ids;
}

// Every writer's records and bytes as the plain replay counts them, the
// block state, and W rebuilt from its parts.
TEST(Breakdown, PartsMatchThePlainReplayAndAddUpToW) {
    std::mt19937 rng(4711);
    auto calculator = std::make_unique<Calculator>();
    auto setup = std::make_unique<RecorderSetup>();
    for (int i = 0; i < 1000; ++i) {
        const CalculatorEntries e = reference::randomEntries(rng);
        const Breakdown b = bytesBreakdown(*calculator, e);
        StorageCycleCodes codes{};
        initRecorderSetup(*setup);
        applyEntries(e, *setup, codes);
        const reference::Run plain = reference::replay(*setup, codes);
        SCOPED_TRACE("entries " + std::to_string(i));

        std::vector<int> wrote;
        for (int w = 0; w < CCapacimo::kWriters; ++w) {
            if (plain.records[w] > 0) wrote.push_back(w);
        }
        ASSERT_EQ(writerIds(b), wrote);
        std::int64_t recorded = 0;
        for (const WriterBytes& w : b.writers) {
            EXPECT_EQ(w.records, plain.records[w.writer]) << w.name;
            EXPECT_EQ(w.bytes, plain.bytes[w.writer]) << w.name;
            recorded += w.bytes;
        }
        EXPECT_EQ(b.written, plain.written);
        EXPECT_EQ(b.closedBlocks, plain.closedBlocks);
        EXPECT_EQ(b.lastBlockFill, plain.blockFill);
        const int c = b.closedBlocks;
        EXPECT_EQ(b.written, recorded + 41 * (c + 1) - (c > 0 ? b.lastBlockFill : 0));
        EXPECT_EQ(b.overheadBytes + recorded, b.written);
        EXPECT_EQ(b.bytesWritten(), recorded + b.headerBytes());
        EXPECT_EQ(b.bytesWritten() - b.uncountedBytes(), b.written);
        if (HasFailure()) break;
    }
}

TEST(Breakdown, NamesAndCyclesOfTheWritersThatWrote) {
    CalculatorEntries e;
    e.counts.analog = 2;
    e.counts.groupValues = {2, 2, 2, 0, 2, 0, 0, 0, 0, 0};
    e.cycleItems = {1, 0, 9, 5, 17, 0, 0, 0, 0, 0};  // 100ms, Off, 30s, 5s (empty), 1h
    e.analysisItems = {1, 0, 0, 4};                  // 1min, annual
    const Breakdown b = breakdownOf(e);
    ASSERT_EQ(writerIds(b), (std::vector<int>{0, 2, 4, 10, 13}));
    const char* names[][2] = {{"Group 1", "100ms"},
                              {"Group 3", "30s"},
                              {"Group 5", "1h"},
                              {"Analysis 1", "1min"},
                              {"Analysis 4", "annual analysis"}};
    for (std::size_t i = 0; i < b.writers.size(); ++i) {
        EXPECT_EQ(b.writers[i].name, names[i][0]);
        EXPECT_EQ(b.writers[i].cycle, names[i][1]);
    }
    // 72000 records in 100 ms, 241 every 30 s, 3 every hour, 121 every minute, one annual.
    EXPECT_EQ(b.writers[0].records, 72000);
    EXPECT_EQ(b.writers[1].records, 241);
    EXPECT_EQ(b.writers[2].records, 3);
    EXPECT_EQ(b.writers[3].records, 121);
    EXPECT_EQ(b.writers[4].records, 1);
}

TEST(Breakdown, DurationsWithoutAWriter) {
    // The defaults have group 1 as their only writer: without it nothing is written.
    const Breakdown alone = breakdownOf(defaultEntries());
    ASSERT_EQ(alone.writers.size(), 1u);
    EXPECT_EQ(alone.writers[0].withoutInternal, (StorageDuration{51797, 0, 7}));
    EXPECT_EQ(alone.writers[0].withoutCard, (StorageDuration{69884, 4, 13}));

    // Groups 1 and 2 record the same channels in the same cycle, analyses 2
    // and 3 are both daily: switching off either of a pair leaves the same
    // writers in the same order. Switching a group off is the same as leaving
    // it empty.
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 6;
    e.counts.groupValues = {3, 3, 5, 0, 0, 0, 0, 0, 0, 0};
    e.cycleItems[0] = cycleItemForCode(0, 2);  // 1 s
    e.cycleItems[1] = cycleItemForCode(1, 2);  // 1 s
    e.cycleItems[2] = cycleItemForCode(2, 4);  // 3 s
    e.analysisItems = {0, 1, 1, 0};
    e.cardItem = 2;
    const Breakdown b = breakdownOf(e);
    ASSERT_EQ(writerIds(b), (std::vector<int>{0, 1, 2, 11, 12}));
    EXPECT_EQ(b.writers[0].withoutInternal, b.writers[1].withoutInternal);
    EXPECT_EQ(b.writers[0].withoutCard, b.writers[1].withoutCard);
    EXPECT_EQ(b.writers[3].withoutInternal, b.writers[4].withoutInternal);
    EXPECT_EQ(b.writers[3].withoutCard, b.writers[4].withoutCard);

    CalculatorEntries emptied = e;
    emptied.counts.groupValues[2] = 0;
    const CalculationResult r = Calculator().calculate(emptied);
    EXPECT_EQ(b.writers[2].withoutInternal, r.internal);
    EXPECT_EQ(b.writers[2].withoutCard, r.card);
    EXPECT_NE(r.internal, Calculator().calculate(e).internal);
}

// Each writer's durations without it are those of a whole calculation with it
// switched off, whether the records alone settled them or a replay did; on
// random entries both come up.
TEST(Breakdown, DurationsWithoutEachWriterAsCalculated) {
    std::mt19937 rng(1717);
    auto calculator = std::make_unique<Calculator>();
    auto check = std::make_unique<Calculator>();
    std::uint64_t durations = 0;
    std::uint64_t replays = 0;
    for (int i = 0; i < 1000; ++i) {
        const CalculatorEntries e = i % 2 == 0 ? test::randomEntries(rng) : reference::randomEntries(rng);
        const std::uint64_t before = calculationsRun();
        const Breakdown b = breakdownOf(*calculator, e);
        replays += calculationsRun() - before - 1;
        durations += b.writers.size();
        SCOPED_TRACE("entries " + std::to_string(i));
        for (const WriterBytes& w : b.writers) {
            CalculatorEntries without = e;
            if (w.writer < CCapacimo::kFirstAnalysisWriter) {
                without.cycleItems[w.writer] = 0;
                without.alarmCycleItems[w.writer] = 0;
            } else {
                without.analysisItems[w.writer - CCapacimo::kFirstAnalysisWriter] = 0;
            }
            const CalculationResult r = check->calculate(without);
            EXPECT_EQ(w.withoutInternal, r.internal) << w.name;
            EXPECT_EQ(w.withoutCard, r.card) << w.name;
        }
        if (HasFailure()) break;
    }
    EXPECT_GT(replays, 0u);
    EXPECT_LT(replays, durations);
}

}  // namespace
}  // namespace capacimo
