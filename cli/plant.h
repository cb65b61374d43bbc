// A whole plant on the command line: the recorders of several setup files
// and plant CSVs, each calculated and judged by its days. Written as CSV or
// JSON, each row goes out before the next is read, so that a plant of any
// size runs in the memory of one recorder; the text table (whose columns
// depend on whether any recorder has days), a sorted plant and the files
// made of the whole plant (--ics, --save-setup, --report) keep every row
// until the end.
#pragma once

#include <QString>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "calculator/entries.h"
#include "calculator/files/result_record.h"
#include "calculator/plant/plant.h"
#include "cli/options.h"

namespace capacimo::cli {

// A plant CSV is told by its extension: ".csv", which a plant is saved as;
// ".txt" (a spreadsheet's "Unicode text") is read as one too.
bool isPlantCsv(const QString& path);
bool readsAsPlant(const QString& path);

// Whether the options ask for a plant's rows rather than one result.
bool isPlant(const Options& options);

// Where the rows go: false when the text did not arrive.
using Sink = std::function<bool(std::string_view)>;
// One line for stderr.
using Say = std::function<void(const std::string&)>;

struct PlantOutcome {
    bool badInput = false;     // a file, row or cell was refused (and said)
    bool cannotWrite = false;  // a row did not arrive; nothing more was written
    QString fileError;         // a file of --ics, --save-setup or --report could not be written
};

// Calculates every recorder of the options' setup files (with the options
// applied; start gives what a file leaves out) and writes one row each in the
// format the options choose, and the files the options ask for. A refused
// file, row or cell is said, with its file and line, and the others are
// still calculated.
PlantOutcome runPlant(const Options& options, const CalculatorEntries& start, const Sink& out, const Say& say);

// The recorder with the options' start and target where it has none of its own.
PlantRecorder withOptionDays(PlantRecorder recorder, const Options& options);

// A calculated recorder as a plant's row.
RecorderRow recorderRow(const ResultRecord& record, const PlantRecorder& recorder, const RecorderDates& dates);

// The days of one setup below its result table: "Full on (internal)  2027-03-14" ...
std::string datesText(const RecorderRow& row);

// The iCalendar file of rows to path; an error text when it could not be written.
QString writeCalendar(const QString& path, std::span<const RecorderRow> rows, const PlantTerms& terms);

}  // namespace capacimo::cli
