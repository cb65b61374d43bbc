// A plant: many recorders, each with the day its memory was last emptied,
// and for each the day every medium is full, the day to read it out by and
// what that asks of the engineer now. The command line, the web page and the
// desktop's plant window show what this answers; none of them holds a rule
// of its own. Standard library only.
//
// The rules, for a recorder whose memory was emptied on its start day:
// - a medium is full on start + floor(hours / 24) days, its duration's hours
//   counted from the start day's 00:00; a medium without a duration (an SD
//   card of no known size) is never full;
// - it must be read out by the earliest of those days less the plant's
//   margin in days;
// - its state is overdue when that day is today or past, due when it lies
//   within the margin from today, otherwise short when the recorder has a
//   target and the target's medium lasts fewer hours, otherwise ok. Without
//   a start there are no days, and the state is short or "no start" (also
//   when its file gave a start the reader refused). A start in the future
//   is a planned one and judged alike.
// Days after 9999-12-31 are kAfterLastDate ("after 9999").
//
// Two ways in:
// - class Plant holds the recorders and their rows; an edit evaluates the
//   edited recorder again and nothing else (the desktop's table model, the
//   web module);
// - evaluateRecorder() and recorderDates() judge one recorder, for a caller
//   that streams a plant row by row (capacimo-calc).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/calculation.h"
#include "calculator/count_validation.h"
#include "calculator/entries.h"
#include "calculator/planner.h"
#include "calculator/plant/calendar_date.h"
#include "calculator/plant/clock.h"
#include "calculator/plant/plant_words.h"

namespace capacimo {

// How many days before a medium is full its recorder must be read out: one
// value for the whole plant, 0 to kLargestMarginDays.
inline constexpr int kDefaultMarginDays = 7;
inline constexpr int kLargestMarginDays = 365;
// Whether a number of days is a margin: 0 to kLargestMarginDays.
constexpr bool isMarginDays(std::int64_t days) { return days >= 0 && days <= kLargestMarginDays; }

// A margin as typed ("7", blanks around it allowed): the days, or nothing for
// any other text and for a number outside 0..kLargestMarginDays.
std::optional<int> readMarginDays(std::string_view text);
// What a margin must be, for the refusal of one that is not:
// "a whole number of days from 0 to 365".
std::string marginRule();

// A retention target as a plant holds it: a text such as "26w", "3w4d" or
// "180d" (what capacimo-calc --target takes), of at least one hour. The
// hours, or why not in one line that begins with the text: "0w keeps
// nothing; a target is at least 1h", "26x is not a retention such as 26w,
// 3w4d, 180d or 12h". A caller for which an empty cell means "no target"
// asks for it before.
struct TargetReading {
    std::optional<std::int64_t> hours;
    std::string problem;  // empty when there are hours
};
TargetReading readTarget(std::string_view text);

// Cells of a recorder's file row that the reader could not take, as the file
// held them: the recorder goes without that value, the cell is shown as
// refused and written back as it was, until the user gives a value of their
// own. Empty: nothing refused.
struct RefusedCells {
    std::string start;
    std::string target;
    std::string medium;
    bool any() const { return !start.empty() || !target.empty() || !medium.empty(); }
    bool operator==(const RefusedCells&) const = default;
};

// One recorder of a plant, as its file row holds it.
struct PlantRecorder {
    std::string name;  // as the user wrote it; two recorders may share one
    CalculatorEntries entries = defaultEntries();
    // The day its memory was last emptied (installed, read out, card
    // changed), taken as 00:00 of that day; none: the recorder has no days.
    std::optional<CalendarDate> start;
    // A retention it should reach on targetMedium, in hours (at least 1).
    std::optional<std::int64_t> targetHours;
    Medium targetMedium = Medium::Internal;
    RefusedCells refused;
    bool operator==(const PlantRecorder&) const = default;
};

// A row of a plant file that the reader could not take at all: kept as it
// was, in its place among the recorders, and written back so, so that
// nothing a user had in the file is lost by opening and saving it.
struct KeptRow {
    std::size_t before = 0;  // how many recorders come before it
    std::string text;        // its cells as a CSV line, without the line end
    std::string problem;     // why: "line 7, column analog: 41 is outside 0..40"
    // Its cells in the order of every column a plant may have, when they
    // could be told apart: written back in the columns of the file it goes to.
    std::vector<std::string> cells;
    bool operator==(const KeptRow&) const = default;
};

// A recorder's start as its row shows it: its day ("2026-03-14"), or the
// text its file held where the reader refused it, with the reason; both
// empty without either.
struct StartCell {
    std::string text;
    std::string refusal;  // empty unless text is a refused cell's
};
StartCell startCell(const PlantRecorder& recorder);

// A recorder's target as the Details ask the planner for one: in whole
// weeks, rounded up (what keeps the weeks keeps the target) and at most
// kLargestRetentionNumber; none without a target.
std::optional<std::int64_t> targetWeeks(const PlantRecorder& recorder);

// What a recorder's days are judged against.
struct PlantTerms {
    CalendarDate today;
    int marginDays = kDefaultMarginDays;
    bool operator==(const PlantTerms&) const = default;
};

// A recorder's days. Each is none without a start; a medium's full-on day
// also without a duration, the read-out day without any full-on day. A day
// after 9999-12-31 is kAfterLastDate.
struct RecorderDates {
    std::optional<CalendarDate> internalFullOn;
    std::optional<CalendarDate> sdFullOn;
    std::optional<CalendarDate> readOutBy;
    // The medium whose full-on day sets readOutBy (the internal memory when
    // both are full on the same day); meaningful only with readOutBy.
    Medium fullFirst = Medium::Internal;
    RecorderState state = RecorderState::Ok;

    const std::optional<CalendarDate>& fullOn(Medium medium) const {
        return medium == Medium::Card ? sdFullOn : internalFullOn;
    }
    bool operator==(const RecorderDates&) const = default;
};

// A result's duration on a medium.
inline const StorageDuration& durationOn(const CalculationResult& result, Medium medium) {
    return medium == Medium::Card ? result.card : result.internal;
}

// The rules above for a recorder whose calculation gave result. Cheap: no
// calculation; a change of the margin or of the day asks only this again.
RecorderDates recorderDates(const CalculationResult& result, const PlantRecorder& recorder, const PlantTerms& terms);

// One recorder evaluated: a row of the plant's table.
struct RecorderRow {
    std::string name;
    std::optional<CalendarDate> start;  // the recorder's, which its days count from
    std::int32_t cardItem = 0;          // the SD card's item in the size list
    ValidationOutcome status;           // the count checks' status line, as every result has it
    CalculationResult result;           // both durations, as every result gives them
    RecorderDates dates;
};

// Checks and calculates a recorder on the caller's calculator (one for the
// whole plant: what it prepares is prepared once) and judges its days.
RecorderRow evaluateRecorder(Calculator& calculator, const PlantRecorder& recorder, const PlantTerms& terms);

// The text of a cell as the tables show it: the name; "1 GB"; "12 w 2 d
// 12 h" or "-"; "2027-03-14", "after 9999" or empty; "Overdue".
std::string cellText(const RecorderRow& row, PlantColumn column);

// The days and the state as the results' JSON gives them, keyed by column id:
// {"internal_full_on": "2027-03-14", "sd_full_on": "after 9999",
//  "read_out_by": null, "state": "ok"} (null: no day).
nlohmann::ordered_json datesObject(const RecorderDates& dates);

// The rows in the order of a column: positions into rows. Names compare as
// people read them (letter case aside; "Boiler 2" before "Boiler 10"), cards
// by size, durations by hours, days by date, states by urgency (overdue,
// due, short, ok). Rows without a value (no day, no duration) come last in
// either direction; rows that compare equal keep their order (a stable sort).
// A plant's table opens sorted by read-out day, soonest first.
enum class SortOrder { Ascending, Descending };
std::vector<std::size_t> sortedRows(std::span<const RecorderRow> rows, PlantColumn column = PlantColumn::ReadOutBy,
                                    SortOrder order = SortOrder::Ascending);

// The counts below a plant's table.
struct PlantTotals {
    std::size_t recorders = 0;
    std::array<std::size_t, kRecorderStates.size()> states{};  // by RecorderState
    // Recorders whose days follow a scenario: a share of time in alarm, or
    // megabytes kept free on the card.
    std::size_t scenarios = 0;
    std::size_t of(RecorderState state) const { return states[static_cast<std::size_t>(state)]; }
    bool operator==(const PlantTotals&) const = default;
};
PlantTotals plantTotals(std::span<const RecorderRow> rows);

// The recorders of a plant in their file's order, each with its row.
// Editing a recorder calculates it again and no other; a change of the
// margin or of the day (see refresh) judges every row's days again without
// calculating. Every edit first asks the clock, so that all rows are judged
// against the same today. Not copyable (it owns its calculator); movable.
class Plant {
public:
    // The clock must outlive the plant. Throws std::out_of_range for a
    // margin outside 0..kLargestMarginDays.
    explicit Plant(const Clock& clock, int marginDays = kDefaultMarginDays);
    ~Plant();
    Plant(Plant&&) noexcept;
    Plant& operator=(Plant&&) noexcept;

    std::size_t size() const { return recorders_.size(); }
    const std::vector<PlantRecorder>& recorders() const { return recorders_; }
    // rows()[i] is the row of recorders()[i].
    const std::vector<RecorderRow>& rows() const { return rows_; }

    // Index from 0; insert and replace take index <= size() and < size().
    void append(PlantRecorder recorder);
    void insert(std::size_t index, PlantRecorder recorder);
    void replace(std::size_t index, PlantRecorder recorder);
    // Takes the recorder out and gives it back (for an undo: insert it again).
    PlantRecorder remove(std::size_t index);

    // The rows of its file that could not be read, which it keeps in their
    // places: a recorder inserted or removed before one moves it along.
    const std::vector<KeptRow>& kept() const { return kept_; }
    void setKept(std::vector<KeptRow> kept) { kept_ = std::move(kept); }

    int marginDays() const { return terms_.marginDays; }
    // Throws std::out_of_range outside 0..kLargestMarginDays.
    void setMarginDays(int days);
    // The day the rows are judged against.
    CalendarDate today() const { return terms_.today; }
    const PlantTerms& terms() const { return terms_; }
    // Asks the clock; when the day has changed, judges every row's days
    // again. True when it did (a window's timer calls it to follow midnight).
    bool refresh();

    std::vector<std::size_t> sorted(PlantColumn column = PlantColumn::ReadOutBy,
                                    SortOrder order = SortOrder::Ascending) const {
        return sortedRows(rows_, column, order);
    }
    PlantTotals totals() const { return plantTotals(rows_); }

private:
    RecorderRow evaluated(const PlantRecorder& recorder);
    void redate();

    const Clock* clock_;
    PlantTerms terms_;
    std::vector<PlantRecorder> recorders_;
    std::vector<RecorderRow> rows_;
    std::vector<KeptRow> kept_;
    std::unique_ptr<Calculator> calculator_;
};

}  // namespace capacimo
