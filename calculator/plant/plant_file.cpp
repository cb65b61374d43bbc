#include "calculator/plant/plant_file.h"

#include "calculator/plant/plant_csv.h"

namespace capacimo {
namespace {

// The setup's cells in the order of plantCsvColumns(), after the plant's own.
void addSetupCells(std::vector<std::string>& cells, const PlantRecorder& recorder) {
    const nlohmann::ordered_json object = setupObject(recorder.entries, recorder.name);
    const auto add = [&cells](const nlohmann::ordered_json& value) {
        cells.push_back(value.is_string() ? value.get<std::string>() : value.dump());
    };
    for (const Entry* entry : topLevelEntries()) add(object.at(entry->option));
    const auto& groups = object.at(std::string(kSetupGroupsKey));
    for (int g = 0; g < kGroups; ++g) {
        for (const Entry* entry : groupEntries(g)) add(groups.at(static_cast<std::size_t>(g)).at(entry->option));
    }
}

// A medium is written with its target, and also without one where it is not
// the default: nothing read is lost on the way back.
bool writesMedium(const PlantRecorder& recorder) {
    return recorder.targetHours || recorder.targetMedium != Medium::Internal;
}

}  // namespace

PlantFileReading readPlantText(std::string_view text) {
    PlantFileReading reading;
    PlantCsvReader reader(text);
    reading.fileError = reader.fileError();
    PlantNames names;
    for (PlantRow row; reader.next(row);) {
        if (!row.note.empty()) reading.notes.push_back(row.note);
        if (!row.error.empty()) reading.problems.push_back(row.error);
        if (!row.setup) continue;
        reading.problems.insert(reading.problems.end(), row.problems.begin(), row.problems.end());
        if (std::string note = names.noteFor(row.setup->name, row.line); !note.empty()) {
            reading.notes.push_back(std::move(note));
        }
        reading.recorders.push_back(
            {row.setup->name, row.setup->entries, row.start, row.targetHours, row.targetMedium});
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

std::string plantCsvText(std::span<const PlantRecorder> recorders) {
    std::string text = csvLine(plantCsvColumns());
    std::vector<std::string> cells;
    for (const PlantRecorder& recorder : recorders) {
        cells = {recorder.name, dateText(recorder.start),
                 recorder.targetHours ? targetCellText(*recorder.targetHours) : std::string(),
                 writesMedium(recorder) ? std::string(mediumId(recorder.targetMedium)) : std::string()};
        addSetupCells(cells, recorder);
        text += csvLine(cells);
    }
    return text;
}

}  // namespace capacimo
