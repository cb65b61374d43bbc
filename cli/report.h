// What capacimo-calc prints: the status line and the result table, or one JSON object.
#pragma once

#include <QByteArray>
#include <QString>

#include "calculator/count_validation.h"
#include "calculator/calculation.h"

namespace capacimo::cli {

struct Report {
    ValidationOutcome status;
    CalculationResult result;
    RecorderSetup setup;
    StorageCycleCodes codes{};
    std::int32_t cardItem = 0;
    bool allCards = false;
};

// Runs the count validation and the calculation for the entries, as the dialog does.
Report makeReport(const CalculatorEntries& entries, bool allCards);

QString formatText(const Report& report);
QByteArray formatJson(const Report& report);

}  // namespace capacimo::cli
