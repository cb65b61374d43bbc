// Command-line options of capacimo-calc, turned into the calculator's entries.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "calculator/entries.h"
#include "calculator/result_record.h"

namespace capacimo::cli {

struct Options {
    CalculatorEntries entries;
    ResultOptions result;  // what the answer holds besides the durations
    bool json = false;
    bool help = false;
    bool version = false;
    bool fromSettings = false;  // start from the stored entries, not the defaults
};

struct ParseResult {
    Options options;
    QString error;  // one line naming the option and what it accepts; empty when fine
    bool ok() const { return error.isEmpty(); }
};

// Parses the arguments (the program name first) over the given starting entries.
ParseResult parseOptions(const QStringList& arguments, const CalculatorEntries& start);

QString helpText();

// Lower case without blanks: how texts on the command line are compared.
QString normalizedText(const QString& text);

}  // namespace capacimo::cli
