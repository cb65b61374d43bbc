// One answer of the calculator as every report gives it: the status line, the
// durations, the groups' channels and, when asked, where the bytes go and
// what reaches a retention target; and that answer as one JSON object, the
// same text on the command line and in the web edition. Standard library
// (and the header-only JSON library) only.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/breakdown.h"
#include "calculator/calculation.h"
#include "calculator/count_validation.h"
#include "calculator/entries.h"
#include "calculator/planner.h"

namespace capacimo {

// A retention to reach on one medium.
struct Target {
    Medium medium = Medium::Internal;
    std::int64_t hours = 0;
};

struct ResultOptions {
    bool allCards = false;   // one SD Card row per card size, not only the selected one
    bool breakdown = false;  // where the bytes go, and the durations without each writer
    std::optional<Target> target;
};

struct ResultRecord {
    std::string name;  // the user's name for the recorder; may be empty
    ValidationOutcome status;
    CalculationResult result;
    RecorderSetup setup;
    StorageCycleCodes codes{};
    CalculatorEntries entries;
    ResultOptions options;
    std::optional<Breakdown> breakdown;  // when the options ask for it
    std::optional<Plan> plan;            // when the options give a target
};

// Runs the count validation and the calculation for the entries, as the
// dialog does, and the breakdown and the plan when the options ask for them.
// A caller that answers again and again (a plant, the web page) hands in its
// calculator, so that what a calculator prepares once is prepared once.
ResultRecord makeResultRecord(Calculator& calculator, const CalculatorEntries& entries, const ResultOptions& options,
                              std::string_view name = {});
ResultRecord makeResultRecord(const CalculatorEntries& entries, const ResultOptions& options,
                              std::string_view name = {});

// A row of the result table: the internal memory, then the selected SD Card
// or, with allCards, every card size; with the scenario's figures, or with
// normal, normal operation's (ResultRecord::result says which differ).
struct ResultRow {
    Medium medium = Medium::Internal;
    std::int32_t cardItem = 0;  // SD Card rows only
    StorageDuration duration;
};
std::vector<ResultRow> resultRows(const ResultRecord& record, bool normal = false);

// The result as one JSON object, its keys in a fixed order. Its "setup" is
// the setup as a setup file holds it, so that every result can be opened
// again and gives the same answer. With an alarm share or a card reserve,
// "bytes_per_two_hours" and "results" are that scenario's, "scenario" says
// what it is and "normal" gives normal operation's beside them; the
// breakdown's rows are normal operation's bytes, with those in alarm beside.
nlohmann::ordered_json resultObject(const ResultRecord& record);
// Its text as capacimo-calc --json prints it: one line, ending in '\n'.
std::string resultJson(const ResultRecord& record);

}  // namespace capacimo
