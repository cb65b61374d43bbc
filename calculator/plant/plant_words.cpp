#include "calculator/plant/plant_words.h"

namespace capacimo {

namespace {

// A recorder's state as scripts, people and colours tell it, in the order of
// RecorderState.
struct RecorderStateWords {
    RecorderState state;
    std::string_view id;
    std::string_view caption;
    Rgb colour;
};
constexpr RecorderStateWords kRecorderStateWords[] = {
    {RecorderState::Overdue, "overdue", "Overdue", {176, 0, 0}},
    {RecorderState::Due, "due", "Due", {150, 75, 0}},
    {RecorderState::Short, "short", "Short", {0, 0, 200}},
    {RecorderState::NoStart, "no_start", "No start", {90, 90, 90}},
    {RecorderState::Ok, "ok", "OK", {0, 110, 0}},
};
static_assert(std::size(kRecorderStateWords) == kRecorderStates.size() && [] {
    for (std::size_t i = 0; i < kRecorderStates.size(); ++i) {
        if (kRecorderStateWords[i].state != kRecorderStates[i] || static_cast<std::size_t>(kRecorderStates[i]) != i) {
            return false;
        }
    }
    return true;
}());

const RecorderStateWords& wordsOf(RecorderState state) { return kRecorderStateWords[static_cast<std::size_t>(state)]; }

}  // namespace

std::string_view recorderStateId(RecorderState state) { return wordsOf(state).id; }

std::string_view recorderStateCaption(RecorderState state) { return wordsOf(state).caption; }

Rgb recorderStateColour(RecorderState state) { return wordsOf(state).colour; }

namespace {

struct PlantColumnWords {
    PlantColumn column;
    std::string_view id;
    std::string_view caption;
};
// The two duration columns take their medium's own id and caption.
constexpr PlantColumnWords kPlantColumnWords[] = {
    {PlantColumn::Name, "name", "Name"},
    {PlantColumn::Card, "card", "Card"},
    {PlantColumn::Internal, {}, {}},
    {PlantColumn::Sd, {}, {}},
    {PlantColumn::InternalFullOn, "internal_full_on", "Full on (internal)"},
    {PlantColumn::SdFullOn, "sd_full_on", "Full on (SD)"},
    {PlantColumn::ReadOutBy, "read_out_by", "Read out by"},
    {PlantColumn::State, "state", "State"},
};
static_assert(std::size(kPlantColumnWords) == kPlantColumns.size());

PlantColumnWords wordsOf(PlantColumn column) {
    PlantColumnWords words = kPlantColumnWords[static_cast<std::size_t>(column)];
    if (column == PlantColumn::Internal || column == PlantColumn::Sd) {
        const Medium medium = column == PlantColumn::Sd ? Medium::Card : Medium::Internal;
        words.id = mediumId(medium);
        words.caption = mediumCaption(medium);
    }
    return words;
}

}  // namespace

std::string_view plantColumnId(PlantColumn column) { return wordsOf(column).id; }

std::optional<PlantColumn> plantColumnFromId(std::string_view id) {
    for (const PlantColumn column : kPlantColumns) {
        if (plantColumnId(column) == id) return column;
    }
    return std::nullopt;
}

std::string_view plantColumnCaption(PlantColumn column) { return wordsOf(column).caption; }

std::string readOutSummary(std::string_view name, Medium fullFirst, std::string_view fullOn) {
    return "Read out " + std::string(name) + ": " + std::string(mediumInSentence(fullFirst)) + " full on " +
           std::string(fullOn);
}

std::string setupNameLine(std::string_view name) { return "Setup: " + std::string(name); }

std::string fullOnLine(Medium medium, std::int32_t cardItem, const StorageDuration& duration, std::string_view fullOn) {
    std::string line = resultRowCaption(medium, cardItem) + ": " + durationText(duration);
    if (!fullOn.empty()) line += ", full on " + std::string(fullOn);
    return line;
}

}  // namespace capacimo
