// A plant file read and written whole: what the web page imports and
// exports, what the desktop's plant window opens and saves, and what
// capacimo-calc --save-setup writes for a plant. One writer for all of them,
// so that the same plant gives the same bytes everywhere. The file's form and
// its reader are plant_csv.h's. Standard library only.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/plant/plant.h"

namespace capacimo {

// A plant file read whole.
struct PlantFileReading {
    std::vector<PlantRecorder> recorders;  // every row that could be read, in file order
    std::vector<KeptRow> kept;             // every row that could not, in its place
    std::vector<std::string> problems;     // one line each, naming line and column, e.g.
    // "line 7, column start: 2026-02-30 is not a day: February 2026 has 28 days"
    std::vector<std::string> notes;  // e.g. rows skipped, two recorders named alike
    std::string fileError;           // a bad header: nothing read
    bool tooMany = false;            // more recorders than the reader's limit: the rest unread
};
// A file of more recorders than mostRecorders is read no further than one
// more (tooMany says so), so that a plant too large for its reader costs no
// more memory than one it holds.
struct PlantFileLimits {
    std::size_t mostRecorders = SIZE_MAX;
};
PlantFileReading readPlantText(std::string_view text, PlantFileLimits limits = {});

// The largest plant file any front end reads: 10,000 recorders take some
// 3 MB, and rows with names of 256 characters outside ASCII some 10 MB.
inline constexpr std::size_t kPlantFileLimit = 32 * 1024 * 1024;
// A plant file is saved as ".csv"; it is read from ".csv" and from ".txt",
// as a spreadsheet saves its "Unicode text".
inline constexpr std::string_view kPlantExtension = ".csv";
inline constexpr std::string_view kPlantTextExtension = ".txt";
// What a plant file holds, as a refusal names it ("is a pipe, not a plant file").
inline constexpr std::string_view kPlantKind = "plant";

// A recorder's cells in the order of plantCsvColumns(): empty where it has no
// start or target, and for an entry written only when set at its reset value.
std::vector<std::string> plantRowCells(const PlantRecorder& recorder);
// The columns a file of these recorders and kept rows is written with
// (plantCsvColumns() places): every column but those of the entries written
// only when set, and of those each one that a recorder or a kept row sets. A
// plant that sets none of them keeps the columns, and the bytes, of before.
std::vector<std::size_t> plantFileColumns(std::span<const PlantRecorder> recorders, std::span<const KeptRow> kept = {});
// The header row of those columns, without its line end.
std::string plantHeaderText(std::span<const std::size_t> columns);
// One recorder as a row of its own file (the columns of plantFileColumns of
// it alone), as a CSV line without its line end; with quoteName, its first
// cell in quotes whether it needs them or not.
std::string plantRowText(const PlantRecorder& recorder, bool quoteName = false);

// The plant as its CSV file: the header names its columns (plantFileColumns),
// then one row per recorder with every cell written, empty where a recorder
// has no start or target, and a refused cell's text where it has one (see
// RefusedCells); the kept rows in their places, as they were read. Lines end
// in "\n". A cell a spreadsheet would take for a formula gets an apostrophe
// before it (spreadsheetText), which the reader takes off, so that the file
// reads back to the same plant, also after a spreadsheet saved it again.
std::string plantCsvText(std::span<const PlantRecorder> recorders, std::span<const KeptRow> kept = {});

// What a save of the plant writes back without having read it, in one line
// for each: "line 7, column analog: 41 is outside 0..40" for a kept row,
// "Boiler 3, column start: 01/02/27" for a refused cell. Empty when there is
// nothing of the kind; a front end says so before it writes over the file.
std::vector<std::string> unreadParts(std::span<const PlantRecorder> recorders, std::span<const KeptRow> kept);
// The same in a few words: "2 rows and 1 cell that could not be read are
// written back as they were"; empty when there is nothing of the kind.
std::string unreadSummary(std::span<const PlantRecorder> recorders, std::span<const KeptRow> kept);

// A target as the file's cell holds it, the shortest text readTarget reads
// back to the same hours: "26w", "3w4d", "12h"; for 1 to
// kLargestTargetHours hours.
std::string targetCellText(std::int64_t hours);
// The longest target a cell holds: each of its weeks, days and hours at
// most kLargestRetentionNumber.
inline constexpr std::int64_t kLargestTargetHours = kLargestRetentionNumber * (kHoursPerWeek + kHoursPerDay + 1);

}  // namespace capacimo
