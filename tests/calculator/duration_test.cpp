#include <gtest/gtest.h>

#include <memory>

#include "calculator/calculation.h"

namespace capacimo {
namespace {

constexpr std::int32_t kInternalFree = 182500000 - 365 * 11263;

StorageDuration card(int item, std::int32_t w) { return cardDuration(item, w, 11263); }

TEST(Duration, Capacities) {
    EXPECT_EQ(kInternalFree, 178389005);
    EXPECT_EQ(freeBytes(kInternalCapacity, 11263, kInternalSetupImages), kInternalFree);
    const std::int32_t freeAfterImages[] = {240682730, 485112410, 970095960, 1952312645};
    for (int i = 0; i < static_cast<int>(kCardSizes.size()); ++i) {
        EXPECT_EQ(freeBytes(cardCapacity(kCardSizes[i].bytes), 11263, kCardSetupImages), freeAfterImages[i]);
    }
}

TEST(Duration, HourConversion) {
    EXPECT_EQ(storageDuration(kInternalFree, 100000), (StorageDuration{21, 1, 15}));
    EXPECT_EQ(card(0, 100000), (StorageDuration{28, 4, 13}));
    EXPECT_EQ(card(3, 100000), (StorageDuration{232, 2, 22}));
    EXPECT_EQ(storageDuration(kInternalFree, 1130), (StorageDuration{1879, 2, 12}));
    EXPECT_EQ(card(0, 1130), (StorageDuration{2535, 4, 11}));
    EXPECT_EQ(card(3, 1130), (StorageDuration{20567, 6, 20}));
    EXPECT_EQ(storageDuration(kInternalFree, 41), (StorageDuration{51797, 0, 7}));
    EXPECT_EQ(card(0, 41), (StorageDuration{69884, 4, 13}));
}

// The hour count is kept in single precision: at W = 41 the internal memory
// holds 8701902.68 hours, which single precision rounds to 8701903, so the
// remainder is exactly 7 hours and not 6.
TEST(Duration, SinglePrecisionHourCount) {
    const auto d = storageDuration(kInternalFree, 41);
    EXPECT_EQ(d.hours, 7);
    // W = 1 byte: the largest numbers the conversion ever sees still fit.
    const auto big = storageDuration(1952312645, 1);
    EXPECT_GT(big.weeks, 0);
    EXPECT_GE(big.days, 0);
    EXPECT_LT(big.days, 7);
    EXPECT_GE(big.hours, 0);
    EXPECT_LT(big.hours, 24);
}

TEST(Duration, NoDurationGuards) {
    EXPECT_EQ(storageDuration(kInternalFree, 0), kNoDuration);
    EXPECT_EQ(storageDuration(kInternalFree, -5), kNoDuration);
    EXPECT_EQ(storageDuration(0, 1130), kNoDuration);
    EXPECT_EQ(storageDuration(-1, 1130), kNoDuration);
    EXPECT_EQ(card(4, 1130), kNoDuration);
    EXPECT_EQ(card(-1, 1130), kNoDuration);
}

class Calculation : public ::testing::Test {
protected:
    std::unique_ptr<Calculator> calculator = std::make_unique<Calculator>();
};

TEST_F(Calculation, ResetDefaults) {
    const CalculatorEntries e = defaultEntries();
    const auto r = calculator->calculate(e);
    EXPECT_EQ(r.written, 1130);
    EXPECT_EQ(r.setupImageLength, 11263);
    EXPECT_EQ(r.internal, (StorageDuration{1879, 2, 12}));
    EXPECT_EQ(r.card, (StorageDuration{2535, 4, 11}));
    CalculatorEntries twoGb = e;
    twoGb.cardItem = 3;
    const auto r2 = calculator->calculate(twoGb);
    EXPECT_EQ(r2.internal, r.internal);
    EXPECT_EQ(r2.card, (StorageDuration{20567, 6, 20}));
}

TEST_F(Calculation, NothingWritten) {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 0;  // the count check reports an error; the calculation runs all the same
    const auto r = calculator->calculate(e);
    EXPECT_EQ(r.written, 41);
    EXPECT_EQ(r.internal, (StorageDuration{51797, 0, 7}));
    EXPECT_EQ(r.card, (StorageDuration{69884, 4, 13}));
}

TEST_F(Calculation, OneGroupCases) {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 4;
    e.counts.groupValues[0] = 4;
    e.cycleItems[0] = 2;  // 1 s
    EXPECT_EQ(calculator->calculate(e).written, 171717);
    e.cycleItems[0] = 1;  // 100 ms
    EXPECT_EQ(calculator->calculate(e).written, 1733524);
    e.cycleItems[0] = 11;  // 1 min
    EXPECT_EQ(calculator->calculate(e).written, 2945);
    // Daily, weekly, monthly and annual analyses each write one record in two hours.
    for (int calendar = 1; calendar < analysisItemCount(1); ++calendar) {
        e.analysisItems[1] = calendar;
        EXPECT_EQ(calculator->calculate(e).written, 3090) << analysisText(analysisCodeForItem(1, calendar));
    }
}

// Within one second the groups write first, in group order, then the
// analyses: the order decides where the blocks end. (Analyses first: 466696.)
TEST_F(Calculation, GroupsWriteBeforeAnalysesWithinASecond) {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 40;
    e.counts.groupValues[0] = 8;
    e.cycleItems[0] = 2;     // 1 s
    e.analysisItems[0] = 1;  // 1 min
    EXPECT_EQ(calculator->calculate(e).written, 466740);
}

TEST_F(Calculation, HeaviestSetupLastsDays) {
    const auto r = calculator->calculate(heaviestEntries());
    EXPECT_GT(r.written, 1733524);
    EXPECT_EQ(r.internal.weeks, 0);
    EXPECT_GE(r.internal.days, 0);
}

}  // namespace
}  // namespace capacimo
