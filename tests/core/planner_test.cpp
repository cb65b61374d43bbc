#include "calculator/planner.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "calculator/calculation.h"
#include "calculator/channel_assignment.h"
#include "tests/core/reference_replay.h"

namespace capacimo {
namespace {

// No duration never reaches a target, not even one of 0 hours; a negative
// target is refused.
TEST(Planner, Targets) {
    EXPECT_TRUE(reaches({0, 0, 0}, 0));
    EXPECT_TRUE(reaches({1, 0, 0}, 168));
    EXPECT_FALSE(reaches({0, 6, 23}, 168));
    EXPECT_FALSE(reaches(kNoDuration, 0));
    EXPECT_THROW(planFor(defaultEntries(), Medium::Internal, -1), std::invalid_argument);
}

// The defaults keep 2535 weeks on the 256 MB card at a 1 min cycle: one week
// more needs the 512 MB card, which holds twice as much, or a 2 min cycle,
// which writes half the records.
TEST(Planner, DefaultsOneWeekLonger) {
    const Plan plan = planFor(defaultEntries(), Medium::Card, 2536 * 168);
    EXPECT_EQ(plan.cardItem, 1);
    ASSERT_EQ(plan.groups.size(), 1u);
    EXPECT_EQ(plan.groups[0].group, 0);
    EXPECT_EQ(plan.groups[0].fastest, (CycleChoice{12, 12}));
    EXPECT_EQ(plan.commonCycle, 12);

    const Plan internal = planFor(defaultEntries(), Medium::Internal, 2536 * 168);
    EXPECT_FALSE(internal.cardItem);
}

// Held against calculations of their own: every answer, entered, reaches the
// target, and every faster cycle or smaller card does not.
class PlannerAnswers : public ::testing::Test {
protected:
    std::unique_ptr<Calculator> calculator = std::make_unique<Calculator>();
    Medium medium = Medium::Internal;
    std::int64_t target = 0;

    std::int64_t hours(const CalculatorEntries& e) {
        const CalculationResult r = calculator->calculate(e);
        const StorageDuration& d = medium == Medium::Internal ? r.internal : r.card;
        return d == kNoDuration ? -1 : d.weeks * 168 + d.days * 24 + d.hours;
    }
    bool lasts(const CalculatorEntries& e) { return hours(e) >= target; }

    // Items first..last of a list, entered one by one by set: the answer
    // reaches the target, every item before it does not.
    template <typename Set>
    void expectFirstThatLasts(std::optional<int> answer, int first, int last, Set set) {
        const int end = answer ? *answer : last + 1;
        for (int item = first; item < end; ++item) EXPECT_FALSE(lasts(set(item))) << "item " << item;
        if (answer) {
            EXPECT_GE(*answer, first);
            EXPECT_LE(*answer, last);
            EXPECT_TRUE(lasts(set(*answer))) << "answer " << *answer;
        }
    }
};

TEST_F(PlannerAnswers, RandomEntriesAndTargets) {
    std::mt19937 rng(99);
    auto setup = std::make_unique<RecorderSetup>();
    for (int i = 0; i < 50; ++i) {
        const CalculatorEntries e = reference::randomEntries(rng);
        medium = i % 2 == 0 ? Medium::Internal : Medium::Card;
        // Around what the entries keep now: from half of it to four times.
        const std::int64_t now = std::max<std::int64_t>(hours(e), 1);
        target = std::uniform_int_distribution<std::int64_t>(now / 2, now * 4)(rng);
        const Plan plan = planFor(e, medium, target);
        SCOPED_TRACE("entries " + std::to_string(i) + ", target " + std::to_string(target));

        StorageCycleCodes codes{};
        initRecorderSetup(*setup);
        applyEntries(e, *setup, codes);
        const reference::Run plain = reference::replay(*setup, codes);
        std::vector<int> active;
        for (int g = 0; g < kGroups; ++g) {
            if (plain.records[g] > 0) active.push_back(g);
        }
        ASSERT_EQ(plan.groups.size(), active.size());

        if (medium == Medium::Card) {
            expectFirstThatLasts(plan.cardItem, 0, static_cast<int>(kCardSizes.size()) - 1, [&](int item) {
                CalculatorEntries c = e;
                c.cardItem = item;
                return c;
            });
        } else {
            EXPECT_FALSE(plan.cardItem);
        }
        for (std::size_t k = 0; k < active.size(); ++k) {
            const int g = active[k];
            const GroupPlan& p = plan.groups[k];
            ASSERT_EQ(p.group, g);
            if (p.fastest) {
                EXPECT_EQ(p.fastest->code, storageCycleCodeForItem(g, p.fastest->item));
            }
            expectFirstThatLasts(p.fastest ? std::optional<int>(p.fastest->item) : std::nullopt, 1,
                                 cycleItemCount(g) - 1, [&](int item) {
                                     CalculatorEntries c = e;
                                     c.cycleItems[g] = item;
                                     return c;
                                 });
        }
        if (active.empty()) {
            EXPECT_FALSE(plan.commonCycle);
        } else {
            expectFirstThatLasts(plan.commonCycle, 2, kStorageCycleCodeCount - 1, [&](int code) {
                CalculatorEntries c = e;
                for (int g : active) c.cycleItems[g] = cycleItemForCode(g, code);
                return c;
            });
        }
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace capacimo
