// The text the calculator dialog's "Copy" puts on the clipboard.
#pragma once

#include <QDate>
#include <QString>

#include "calculator/calculation.h"
#include "calculator/entries.h"

namespace capacimo::unit {

// What "Copy" puts on the clipboard, as tab-separated lines: the model, the
// program and its version, the date and, when the status line shows one, its
// message; a blank line; the result table (its header, then each medium, the
// SD card naming its size); a blank line; one line per entry in the table's
// order with its value as the dialog shows it.
struct CopyHeading {
    QString program;  // "Ostrel Capacimo 1.0.0"
    QDate date;
    QString status;  // empty when the status line shows nothing
};
QString plainResultsText(const CopyHeading& heading, const CalculationResult& result, const CalculatorEntries& entries);

}  // namespace capacimo::unit
