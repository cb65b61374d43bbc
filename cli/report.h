// What capacimo-calc prints: the status line and the result table, where the
// bytes go and what reaches a retention target when asked; or one JSON object.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "calculator/breakdown.h"
#include "calculator/calculation.h"
#include "calculator/count_validation.h"
#include "calculator/planner.h"
#include "cli/options.h"

namespace capacimo::cli {

struct Report {
    ValidationOutcome status;
    CalculationResult result;
    RecorderSetup setup;
    StorageCycleCodes codes{};
    std::int32_t cardItem = 0;
    bool allCards = false;
    std::optional<Breakdown> breakdown;
    std::optional<Target> target;
    std::optional<Plan> plan;
};

// Runs the count validation and the calculation for the entries, as the
// dialog does, and the breakdown and the plan when the options ask for them.
Report makeReport(const Options& options);

QString formatText(const Report& report);
QByteArray formatJson(const Report& report);

}  // namespace capacimo::cli
