// A plant file read and written whole: what the web page imports and
// exports, what the desktop's plant window opens and saves, and what
// capacimo-calc --save-setup writes for a plant. One writer for all of them,
// so that the same plant gives the same bytes everywhere. The file's form and
// its reader are plant_csv.h's. Standard library only.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/plant/plant.h"

namespace capacimo {

// A plant file read whole.
struct PlantFileReading {
    std::vector<PlantRecorder> recorders;  // every row that could be read, in file order
    std::vector<std::string> problems;     // one line each, naming line and column, e.g.
    // "line 7, column start: 2026-02-30 is not a day: February 2026 has 28 days"
    std::vector<std::string> notes;  // e.g. rows skipped, two recorders named alike
    std::string fileError;           // a bad header: nothing read
};
PlantFileReading readPlantText(std::string_view text);

// The plant as its CSV file: the header names every column (plantCsvColumns),
// then one row per recorder with every cell written, empty where a recorder
// has no start or target. Lines end in "\n". Names are written as they are
// (no spreadsheet guard), so that the file reads back to the same plant.
std::string plantCsvText(std::span<const PlantRecorder> recorders);

// A target as the file's cell holds it, the shortest text readTarget reads
// back to the same hours: "26w", "3w4d", "12h"; for 1 to
// kLargestTargetHours hours.
std::string targetCellText(std::int64_t hours);
// The longest target a cell holds: each of its weeks, days and hours at
// most kLargestRetentionNumber.
inline constexpr std::int64_t kLargestTargetHours = kLargestRetentionNumber * (kHoursPerWeek + kHoursPerDay + 1);

}  // namespace capacimo
