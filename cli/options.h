// Command-line options of capacimo-calc, turned into the calculator's entries.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "calculator/entries.h"
#include "calculator/planner.h"

namespace capacimo::cli {

// A retention to reach on one medium.
struct Target {
    Medium medium = Medium::Internal;
    std::int64_t hours = 0;
};

struct Options {
    CalculatorEntries entries;
    bool allCards = false;
    bool json = false;
    bool help = false;
    bool version = false;
    bool fromSettings = false;  // start from the stored entries, not the defaults
    bool breakdown = false;     // where the bytes go, and the durations without each writer
    std::optional<Target> target;
};

struct ParseResult {
    Options options;
    QString error;  // one line naming the option and what it accepts; empty when fine
    bool ok() const { return error.isEmpty(); }
};

// Parses the arguments (the program name first) over the given starting entries.
ParseResult parseOptions(const QStringList& arguments, const CalculatorEntries& start);

QString helpText();

// A retention such as "26w", "3w4d", "180d" or "12h": weeks, days and hours, in
// this order, at least one of them; the hours they make, or nothing.
std::optional<std::int64_t> parseDuration(const QString& text);

// Lower case without blanks: how texts on the command line are compared.
QString normalizedText(const QString& text);

}  // namespace capacimo::cli
