#include "calculator/plant/plant_file.h"

#include "calculator/plant/plant_csv.h"

namespace capacimo {
namespace {

// The setup's cells in the order of plantCsvColumns(), after the plant's own:
// each entry's value as its setup file holds it, a list's by its text. An
// entry written only when set is left empty at its reset value (which an
// empty cell reads as), so that its column is named only where a recorder
// sets it.
void addSetupCells(std::vector<std::string>& cells, const PlantRecorder& recorder) {
    const auto add = [&](const Entry& entry) {
        const std::int32_t value = entry.fitted(entry.field(recorder.entries));
        if (entry.writtenWhenSet && value == entry.resetValue) {
            cells.emplace_back();
        } else {
            cells.push_back(entry.isList() ? entry.items[static_cast<std::size_t>(value)] : std::to_string(value));
        }
    };
    for (const Entry* entry : topLevelEntries()) add(*entry);
    for (int g = 0; g < kGroups; ++g) {
        for (const Entry* entry : groupEntries(g)) add(*entry);
    }
}

// A medium is written with its target, and also without one where it is not
// the default: nothing read is lost on the way back.
bool writesMedium(const PlantRecorder& recorder) {
    return recorder.targetHours || recorder.targetMedium != Medium::Internal;
}

}  // namespace

PlantFileReading readPlantText(std::string_view text, PlantFileLimits limits) {
    PlantFileReading reading;
    PlantCsvReader reader(text);
    reading.fileError = reader.fileError();
    PlantNames names;
    for (PlantRow row; reader.next(row);) {
        if (row.setup && reading.recorders.size() == limits.mostRecorders) {
            reading.tooMany = true;
            break;
        }
        if (!row.note.empty()) reading.notes.push_back(row.note);
        if (!row.error.empty()) {
            reading.problems.push_back(row.error);
            reading.kept.push_back({reading.recorders.size(), row.kept, row.error, row.keptCells});
        }
        if (!row.setup) continue;
        reading.problems.insert(reading.problems.end(), row.problems.begin(), row.problems.end());
        if (std::string note = names.noteFor(row.setup->name, row.line); !note.empty()) {
            reading.notes.push_back(std::move(note));
        }
        reading.recorders.push_back(
            {row.setup->name, row.setup->entries, row.start, row.targetHours, row.targetMedium, row.refused});
    }
    return reading;
}

std::string targetCellText(std::int64_t hours) {
    // Each number of a retention is at most kLargestRetentionNumber: the
    // weeks take what they can, the days and hours the rest.
    const std::int64_t weeks = std::min(hours / kHoursPerWeek, kLargestRetentionNumber);
    hours -= weeks * kHoursPerWeek;
    const std::int64_t days = std::min(hours / kHoursPerDay, kLargestRetentionNumber);
    hours -= days * kHoursPerDay;
    std::string text;
    if (weeks > 0) text += std::to_string(weeks) + "w";
    if (days > 0) text += std::to_string(days) + "d";
    if (hours > 0 || text.empty()) text += std::to_string(hours) + "h";
    return text;
}

std::vector<std::string> plantRowCells(const PlantRecorder& r) {
    // A refused cell is written back as it was, until the value is given anew.
    const auto cell = [](const std::string& refused, std::string value) { return refused.empty() ? value : refused; };
    std::vector<std::string> cells = {
        r.name, cell(r.refused.start, dateText(r.start)),
        cell(r.refused.target, r.targetHours ? targetCellText(*r.targetHours) : std::string()),
        cell(r.refused.medium, writesMedium(r) ? std::string(mediumId(r.targetMedium)) : std::string())};
    addSetupCells(cells, r);
    for (std::string& c : cells) c = spreadsheetText(c);
    return cells;
}

namespace {

using Cells = std::vector<std::string>;

// The columns (plantCsvColumns() places) that rows of these cells and these
// kept rows need: every column but those written only when set, and of those
// the ones some row fills.
std::vector<std::size_t> columnsUsed(std::span<const Cells> rows, std::span<const KeptRow> kept) {
    std::vector<bool> used(plantCsvColumns().size());
    const auto use = [&used](std::span<const std::string> cells) {
        for (const std::size_t c : plantColumnsSet(cells)) used[c] = true;
    };
    use({});
    for (const Cells& cells : rows) use(cells);
    for (const KeptRow& row : kept) use(row.cells);
    std::vector<std::size_t> columns;
    for (std::size_t c = 0; c < used.size(); ++c) {
        if (used[c]) columns.push_back(c);
    }
    return columns;
}

// A recorder's cells as its row in these columns; with quoteName, its first
// cell in quotes whether it needs them or not.
std::string rowLine(const Cells& cells, std::span<const std::size_t> columns, bool quoteName) {
    std::string line = csvLineIn(cells, columns);
    if (quoteName && !line.starts_with('"')) line = quotedField(cells[0]) + line.substr(cells[0].size());
    return line;
}

std::vector<Cells> rowsOf(std::span<const PlantRecorder> recorders) {
    std::vector<Cells> rows;
    rows.reserve(recorders.size());
    for (const PlantRecorder& r : recorders) rows.push_back(plantRowCells(r));
    return rows;
}

}  // namespace

std::vector<std::size_t> plantFileColumns(std::span<const PlantRecorder> recorders, std::span<const KeptRow> kept) {
    return columnsUsed(rowsOf(recorders), kept);
}

std::string plantHeaderText(std::span<const std::size_t> columns) { return csvLineIn(plantCsvColumns(), columns); }

std::string plantCsvText(std::span<const PlantRecorder> recorders, std::span<const KeptRow> kept) {
    // Each recorder's cells once: for the columns the file needs, then for its row.
    const std::vector<Cells> rows = rowsOf(recorders);
    const std::vector<std::size_t> columns = columnsUsed(rows, kept);
    std::string text = plantHeaderText(columns) + "\n";
    auto keptRows = kept.begin();
    // The kept rows before a recorder, in the file's columns where their
    // cells are known; whether there were any.
    const auto keptBefore = [&](std::size_t recorder) {
        const auto first = keptRows;
        for (; keptRows != kept.end() && keptRows->before <= recorder; ++keptRows)
            text += (keptRows->cells.empty() ? keptRows->text : csvLineIn(keptRows->cells, columns)) + "\n";
        return keptRows != first;
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // A row kept unread may leave a quote open. The recorder after it
        // starts with a quoted cell, which ends that quote at once, so that
        // the reader takes its row back on its own (a quote cannot run over
        // the program's rows into what follows them).
        text += rowLine(rows[i], columns, keptBefore(i)) + "\n";
    }
    keptBefore(rows.size());
    return text;
}

std::string plantRowText(const PlantRecorder& r, bool quoteName) {
    const Cells cells = plantRowCells(r);
    return rowLine(cells, plantColumnsSet(cells), quoteName);
}

std::vector<std::string> unreadParts(std::span<const PlantRecorder> recorders, std::span<const KeptRow> kept) {
    std::vector<std::string> parts;
    for (const KeptRow& row : kept) parts.push_back(row.problem);
    for (const PlantRecorder& r : recorders) {
        for (const auto& [column, text] : {std::pair{kPlantStartColumn, &r.refused.start},
                                           {kPlantTargetColumn, &r.refused.target},
                                           {kPlantMediumColumn, &r.refused.medium}}) {
            if (!text->empty()) parts.push_back(r.name + ", column " + std::string(column) + ": " + *text);
        }
    }
    return parts;
}

std::string unreadSummary(std::span<const PlantRecorder> recorders, std::span<const KeptRow> kept) {
    const std::size_t parts = unreadParts(recorders, kept).size();
    if (parts == 0) return {};
    const auto counted = [](std::size_t n, const char* one) {
        return std::to_string(n) + " " + one + (n == 1 ? "" : "s");
    };
    std::string text;
    if (!kept.empty()) text = counted(kept.size(), "row");
    if (parts > kept.size()) text += (text.empty() ? "" : " and ") + counted(parts - kept.size(), "cell");
    return text + " that could not be read " + (parts == 1 ? "is" : "are") + " written back as " +
           (parts == 1 ? "it was" : "they were");
}

}  // namespace capacimo
