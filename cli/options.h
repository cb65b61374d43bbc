// Command-line options of capacimo-calc, turned into the calculator's entries.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "calculator/entries.h"
#include "calculator/files/result_record.h"
#include "calculator/files/setup_file.h"
#include "calculator/plant/calendar_date.h"
#include "calculator/plant/plant.h"

namespace capacimo::cli {

// One entry as an option sets it.
struct EntryValue {
    const Entry* entry = nullptr;
    std::int32_t value = 0;
};

struct Options {
    CalculatorEntries entries;  // the starting entries with the options applied
    // The entries the options set, in the order given: what they change in
    // every setup read from a file.
    std::vector<EntryValue> overrides;
    ResultOptions result;  // what the answer holds besides the durations
    bool json = false;
    bool csv = false;        // a plant's rows as CSV
    QStringList setupPaths;  // setup files and plant CSVs, in the order given
    QString saveSetupPath;   // where the effective setup is saved; empty: nowhere
    QString reportPath;      // where the PDF report goes; empty: nowhere
    QString calendarPath;    // where the iCalendar file of the read-out days goes; empty: nowhere
    // The day the memory was last emptied: of the one setup, or of every
    // recorder of a plant whose row names none.
    std::optional<CalendarDate> start;
    std::optional<CalendarDate> today;  // the day to judge against; none: the system's
    int marginDays = kDefaultMarginDays;
    bool sortByReadOut = false;  // a plant's rows by read-out day, not as given
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

// The entries the options set, over the given ones.
CalculatorEntries withOverrides(CalculatorEntries entries, const Options& options);

// The entries a setup from a file is calculated with: the file's, where it
// leaves a key out the starting entries' (the defaults, or the stored
// entries with --from-settings), and the options over both.
CalculatorEntries entriesOf(const SetupFile& file, const CalculatorEntries& start, const Options& options);

// "these take their defaults: analog, group2.cycle": the keys a setup left
// out, in one line; empty when it left none out.
std::string defaultedText(const SetupFile& file);

// A setup file read whole from the disk and judged by the setup file's
// reader; a refusal names the file.
SetupReadResult readSetupFile(const QString& path);

// The day and margin the read-out days are judged against: --today, or the
// system's date.
PlantTerms plantTerms(const Options& options);

QString helpText();

}  // namespace capacimo::cli
