#include "calculator/planner.h"

#include <memory>
#include <stdexcept>
#include <string>

#include "calculator/calculation.h"

namespace capacimo {
namespace {

// The first storage cycle every group's list offers: 1 s.
constexpr std::uint8_t kFirstWholeSecondCycle = 2;

// Tells whether entries make the medium reach the target, as their full
// calculation would tell, replaying two hours only where their records alone
// (Calculator::resultRange) leave it open: when even the shortest durations W
// can give reach the target, the calculation's do; when not even the longest
// do, the calculation's do not either.
class Trial {
public:
    // Calculates the entries as given: the writers, W and S that the card
    // sizes and the group lists start from.
    Trial(Calculator& calculator, const CalculatorEntries& entries, Medium medium, std::int64_t targetHours)
        : calculator_(calculator),
          medium_(medium),
          target_(targetHours),
          entries_(entries),
          given_(calculator.calculate(entries)) {
        for (int g = 0; g < kGroups; ++g) {
            if (calculator_.simulator().writerTallies()[g].records > 0) active_.push_back(g);
        }
    }

    // The groups that write at least one record with the entries as given.
    const std::vector<int>& activeGroups() const { return active_; }

    // The card size changes nothing the replay sees: the entries' W serves
    // every card.
    bool cardReaches(std::int32_t cardItem) const {
        CalculatorEntries e = entries_;
        e.cardItem = cardItem;
        return reachesIn(resultFor(given_.normalWritten, given_.alarmWritten, given_.setupImageLength, e));
    }

    // The share in alarm changes nothing either replay sees: W_n and W_a
    // (replayed here when the entries' own share did not need W_a) serve every share.
    std::int32_t largestAlarmShare() {
        const CalculationResult both = given_.alarmShare > 0 ? given_ : calculator_.calculate(withShare(entries_, 100));
        for (std::int32_t share = 100; share >= 0; --share) {
            if (reachesIn(resultFor(both.normalWritten, both.alarmWritten, both.setupImageLength,
                                    withShare(entries_, share))))
                return share;
        }
        return kNoAlarmShare;
    }

    bool reaches(const CalculatorEntries& entries) {
        const ResultRange range = calculator_.resultRange(entries);
        if (reachesIn(range.shortest)) return true;
        if (!reachesIn(range.longest)) return false;
        return reachesIn(calculator_.calculate(entries));
    }

private:
    static CalculatorEntries withShare(CalculatorEntries e, std::int32_t share) {
        e.alarmShare = share;
        return e;
    }

    bool reachesIn(const CalculationResult& r) const {
        return capacimo::reaches(medium_ == Medium::Internal ? r.internal : r.card, target_);
    }

    Calculator& calculator_;
    Medium medium_;
    std::int64_t target_;
    CalculatorEntries entries_;
    CalculationResult given_;
    std::vector<int> active_;
};

}  // namespace

std::int64_t durationHours(const StorageDuration& d) {
    if (d == kNoDuration) return -1;
    return std::int64_t{d.weeks} * kHoursPerWeek + std::int64_t{d.days} * kHoursPerDay + d.hours;
}

bool reaches(const StorageDuration& d, std::int64_t targetHours) {
    return d != kNoDuration && durationHours(d) >= targetHours;
}

Plan planFor(Calculator& calculator, const CalculatorEntries& entries, Medium medium, std::int64_t targetHours) {
    if (targetHours < 0) {
        throw std::invalid_argument("The retention target must not be negative (" + std::to_string(targetHours) +
                                    " hours).");
    }
    Trial trial(calculator, entries, medium, targetHours);
    Plan plan;
    const std::vector<int>& active = trial.activeGroups();

    if (medium == Medium::Card) {
        for (std::int32_t item = 0; item < static_cast<std::int32_t>(kCardSizes.size()) && !plan.cardItem; ++item) {
            if (trial.cardReaches(item)) plan.cardItem = item;
        }
    }

    // Each list runs from the fastest cycle to the slowest; the first that
    // reaches the target is the answer, whatever the slower ones give.
    for (int g : active) {
        GroupPlan& group = plan.groups.emplace_back();
        group.group = g;
        CalculatorEntries e = entries;
        for (e.cycleItems[g] = 1; e.cycleItems[g] < cycleItemCount(g); ++e.cycleItems[g]) {
            if (trial.reaches(e)) {
                group.fastest = CycleChoice{e.cycleItems[g], storageCycleCodeForItem(g, e.cycleItems[g])};
                break;
            }
        }
    }

    if (!active.empty()) {
        for (int code = kFirstWholeSecondCycle; code < kStorageCycleCodeCount; ++code) {
            CalculatorEntries e = entries;
            for (int g : active) e.cycleItems[g] = cycleItemForCode(g, code);
            if (trial.reaches(e)) {
                plan.commonCycle = static_cast<std::uint8_t>(code);
                break;
            }
        }
    }
    if (hasAlarmCycles(entries)) plan.largestAlarmShare = trial.largestAlarmShare();
    return plan;
}

Plan planFor(const CalculatorEntries& entries, Medium medium, std::int64_t targetHours) {
    return planFor(*std::make_unique<Calculator>(), entries, medium, targetHours);
}

}  // namespace capacimo
