// The words of a plant: its recorders' states, its table's columns, its
// captions and its calendar's texts, each said once, for every table, file,
// report and page that shows a plant. Standard library only.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calculator/duration.h"
#include "calculator/text/vocabulary.h"

namespace capacimo {

// What a recorder of a plant asks of its engineer, most urgent first: read it
// out now (its read-out day has come), read it out soon (the day lies within
// the margin), plan a change (the target's medium lasts less than the
// target), give it the day its memory was last emptied (it has no usable
// start, so no read-out day), nothing. Sorting by state sorts in this order.
enum class RecorderState { Overdue, Due, Short, NoStart, Ok };
inline constexpr std::array<RecorderState, 5> kRecorderStates = {
    RecorderState::Overdue, RecorderState::Due, RecorderState::Short, RecorderState::NoStart, RecorderState::Ok};
// The word results and scripts use: "overdue", "due", "short", "no_start", "ok".
std::string_view recorderStateId(RecorderState state);
// How a table shows it: "Overdue", "Due", "Short", "No start", "OK".
std::string_view recorderStateCaption(RecorderState state);
// The colour a table gives a state's caption, beside the caption itself:
// dark red overdue, brown due, blue short, grey no start, green ok; each
// stands out from a white background as ordinary text must (a contrast of
// 4.5 or more).
Rgb recorderStateColour(RecorderState state);

// The columns of a plant's table, in the order the table shows them.
enum class PlantColumn { Name, Card, Internal, Sd, InternalFullOn, SdFullOn, ReadOutBy, State };
inline constexpr std::array<PlantColumn, 8> kPlantColumns = {
    PlantColumn::Name,           PlantColumn::Card,     PlantColumn::Internal,  PlantColumn::Sd,
    PlantColumn::InternalFullOn, PlantColumn::SdFullOn, PlantColumn::ReadOutBy, PlantColumn::State};
// The key of a column in results and scripts: "name", "card", "internal",
// "sd", "internal_full_on", "sd_full_on", "read_out_by", "state".
std::string_view plantColumnId(PlantColumn column);
// The column an id names exactly, or nothing.
std::optional<PlantColumn> plantColumnFromId(std::string_view id);
// Its caption: "Name", "Card", "Internal memory", "SD Card", "Full on
// (internal)", "Full on (SD)", "Read out by", "State".
std::string_view plantColumnCaption(PlantColumn column);

// The day a recorder's memory was last emptied, as a plant's table heads it.
inline constexpr std::string_view kPlantStartCaption = "Start";
// The plant's totals below its table: "Recorders: 12", then each state.
inline constexpr std::string_view kPlantRecordersCaption = "Recorders";
// And, where any has one, how many are figured with alarms or a card reserve.
inline constexpr std::string_view kPlantScenariosCaption = "With alarms or a card reserve";

// A day beyond the last the calendar names (9999-12-31), in place of a date.
inline constexpr std::string_view kAfterLastYear = "after 9999";

// The title of a read-out day in a calendar: "Read out Boiler 1: internal
// memory full on 2027-03-14". fullFirst is the medium that is full first.
std::string readOutSummary(std::string_view name, Medium fullFirst, std::string_view fullOn);
// The lines of its description: "Setup: Boiler 1", then one per medium:
// "Internal memory: 12 w 2 d 12 h, full on 2027-03-14", or without a day
// "SD Card 1 GB: -".
std::string setupNameLine(std::string_view name);
std::string fullOnLine(Medium medium, std::int32_t cardItem, const StorageDuration& duration, std::string_view fullOn);

}  // namespace capacimo
