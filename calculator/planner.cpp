#include "calculator/planner.h"

#include <memory>
#include <stdexcept>
#include <string>

#include "calculator/calculation.h"
#include "calculator/vocabulary.h"

namespace capacimo {
namespace {

// The first storage cycle every group's list offers: 1 s.
constexpr std::uint8_t kFirstWholeSecondCycle = 2;

// Calculates entries and tells whether the medium reaches the target.
class Trial {
public:
    Trial(Calculator& calculator, Medium medium, std::int64_t targetHours)
        : calculator_(calculator), medium_(medium), target_(targetHours) {}

    bool reaches(const CalculatorEntries& entries) {
        const CalculationResult r = calculator_.calculate(entries);
        return capacimo::reaches(medium_ == Medium::Internal ? r.internal : r.card, target_);
    }
    // The groups that write at least one record with the entries.
    std::vector<int> activeGroups(const CalculatorEntries& entries) {
        calculator_.calculate(entries);
        std::vector<int> active;
        for (int g = 0; g < kGroups; ++g) {
            if (calculator_.simulator().writerTallies()[g].records > 0) active.push_back(g);
        }
        return active;
    }

private:
    Calculator& calculator_;
    Medium medium_;
    std::int64_t target_;
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
    Trial trial(calculator, medium, targetHours);
    Plan plan;

    const std::vector<int> active = trial.activeGroups(entries);

    if (medium == Medium::Card) {
        CalculatorEntries e = entries;
        for (e.cardItem = 0; e.cardItem < static_cast<int>(kCardSizes.size()) && !plan.cardItem; ++e.cardItem) {
            if (trial.reaches(e)) plan.cardItem = e.cardItem;
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
    return plan;
}

Plan planFor(const CalculatorEntries& entries, Medium medium, std::int64_t targetHours) {
    return planFor(*std::make_unique<Calculator>(), entries, medium, targetHours);
}

}  // namespace capacimo
