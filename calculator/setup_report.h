// The one-page report of a recorder setup for a plant's documentation: the
// entries as the calculator dialog groups them, the durations, the status,
// where the bytes go and, with a retention target, what reaches it. The
// dialog's "Save report..." and capacimo-calc --report both write it here.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QPageSize>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

#include "calculator/breakdown.h"
#include "calculator/calculation.h"
#include "calculator/count_validation.h"
#include "calculator/entries.h"
#include "calculator/planner.h"

namespace capacimo::unit {

// A retention to reach on one medium, in hours.
struct ReportTarget {
    Medium medium = Medium::Internal;
    std::int64_t hours = 0;
};

// The entries and everything calculated from them.
struct ReportRecord {
    ValidationOutcome status;
    CalculationResult result;
    CalculatorEntries entries;
    bool allCards = false;  // one SD card row per card size
    std::optional<Breakdown> breakdown;
    std::optional<ReportTarget> target;
    std::optional<Plan> plan;
};

// Runs the count checks, the calculation, the breakdown and, with a target,
// the planner for the entries.
ReportRecord makeReportRecord(const CalculatorEntries& entries, std::optional<ReportTarget> target = std::nullopt);

// A4, or Letter where the locale measures in US units.
QPageSize::PageSizeId reportPaperFor(const QLocale& locale);

struct ReportInput {
    std::string setupName;  // may be empty
    ReportRecord record;
    QDateTime when;
    QString version;  // the program's
    QPageSize::PageSizeId paper = reportPaperFor(QLocale());
};

// Writes the report as a one-page PDF: completely, or, when the file cannot be
// written, not at all and with the reason in *error. Needs a QApplication
// (the bar chart is the Details window's widget, drawn into the page).
bool writeReportPdf(const QString& path, const ReportInput& input, QString* error);

}  // namespace capacimo::unit
