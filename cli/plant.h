// A whole plant on the command line: the recorders of several setup files
// and plant CSVs, each calculated and written as one row before the next is
// read, so that a plant of any size runs in the memory of one recorder.
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "calculator/entries.h"
#include "cli/options.h"

namespace capacimo::cli {

// A plant CSV is told by its extension.
bool isPlantCsv(const QString& path);

// Whether the options ask for a plant's rows rather than one result.
bool isPlant(const Options& options);

// Where the rows go: false when the text did not arrive.
using Sink = std::function<bool(std::string_view)>;
// One line for stderr.
using Say = std::function<void(const std::string&)>;

struct PlantOutcome {
    bool badInput = false;     // a file or row was refused (and said)
    bool cannotWrite = false;  // a row did not arrive; nothing more was written
};

// Calculates every recorder of the options' setup files (with the options
// applied; start gives what a file leaves out) and writes one row each in the
// format the options choose. A refused file or row is said, with its file
// and line, and the others are still calculated.
PlantOutcome runPlant(const Options& options, const CalculatorEntries& start, const Sink& out, const Say& say);

}  // namespace capacimo::cli
