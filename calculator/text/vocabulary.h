// The words every report of a result uses: the command line, the calculator
// dialog's Details window and Copy, a printed report and the web edition.
// Each text lives here once; the reports arrange them, they do not spell
// them. Standard library only.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/breakdown.h"
#include "calculator/count_validation.h"
#include "calculator/duration.h"
#include "calculator/entries.h"
#include "calculator/planner.h"
#include "common/core/colour.h"

namespace capacimo {

// ---- Time --------------------------------------------------------------

// A retention as the user writes it: weeks, days and hours, in this order, at
// least one of them, each a whole number followed by w, d or h ("26w",
// "3w4d", "180d", "12h"); letter case and blanks do not matter. The hours it
// makes, or nothing for any other text. Each number is at most
// kLargestRetentionNumber (calculator/entries.h).
std::optional<std::int64_t> parseRetention(std::string_view text);
// Retentions to show as examples where one was not understood.
inline constexpr std::string_view kRetentionExamples = "26w, 3w4d, 180d or 12h";

// Hours in words for a sentence: "26 weeks", "3 weeks 4 days", "1 week 3
// hours", "0 hours". Parts that are zero are left out.
std::string retentionText(std::int64_t hours);

// (durationText and cardSizeText, the table forms of a duration and of a card
// size, live beside the durations in calculator/duration.h.)

// ---- The media ----------------------------------------------------------

// (A medium's id, caption and phrase live with the media in calculator/duration.h.)

// The result table's column captions.
inline constexpr std::array<std::string_view, 4> kResultColumns = {"Result", "Weeks", "Days", "Hours"};
// With an alarm share or a card reserve, the results are that scenario's and
// a column beside them gives normal operation's durations (durationText).
inline constexpr std::string_view kNormalOperationColumn = "Normal operation";
// The scenario the results are for, as a heading above them: "With alarms
// 5 %", "With 100 MB kept free on the SD card", "With alarms 5 % and 100 MB
// kept free on the SD card"; empty with neither.
std::string scenarioText(std::int32_t alarmShare, std::int32_t cardReserve);

// ---- Status line --------------------------------------------------------

// "error", "information", "none".
std::string_view statusLevelName(StatusLevel level);

// The colour of the status line's message, as designed on a light window: red
// for an error, blue for information, black otherwise. (On a dark window the
// dialog takes lighter tones of them: common/core/colour.h.)
Rgb statusColour(StatusLevel level);

// ---- Entries ------------------------------------------------------------

// (groupName and analysisName, "Group 3" and "Analysis 1", live with the
// entries in calculator/entries.h.)
// An entry in a list of every entry: "SD Card size", "Analog channels",
// "Group 3 storage cycle".
std::string entryLabel(const Entry& entry);
// An entry's value as the dialog shows it: a list's item text, a count's number.
std::string entryValueText(const Entry& entry, const CalculatorEntries& entries);

// ---- Where the bytes go -------------------------------------------------

// (BreakdownKind, writerName and writerKind live with the breakdown in
// calculator/breakdown.h.)
std::string_view breakdownKindId(BreakdownKind kind);  // "group", "analysis", "overhead", "open_block"
// A writer with its cycle, as a chart labels its bar: "Group 1 (1min)".
std::string writerLabel(const WriterBytes& writer);
// "Block overhead", "Open block, not counted": the rows below the writers.
std::string_view breakdownRowName(BreakdownKind kind);

// The sentence above a breakdown: "Where the 65,293 bytes of two hours go:",
// saying how many of them the durations count once the open block is left out.
std::string breakdownHeading(const Breakdown& breakdown);
// A part's share of every byte written (a breakdown's bytesWritten()): "99.2 %";
// "-" when nothing was written.
std::string shareText(std::int64_t bytes, std::int64_t written);
double shareOf(std::int64_t bytes, std::int64_t written);
// "65,293 bytes"
std::string bytesText(std::int64_t bytes);
// "65,293": thousands apart by commas.
std::string groupedNumber(std::int64_t value);

inline constexpr std::string_view kWriterColumn = "Writer";
inline constexpr std::string_view kCycleColumn = "Cycle";
inline constexpr std::string_view kRecordsColumn = "Records";
inline constexpr std::string_view kBytesColumn = "Bytes";
inline constexpr std::string_view kShareColumn = "Share";
// With a share in alarm (Breakdown::alarms): each writer in alarm too, and
// the two hours in alarm below the totals.
inline constexpr std::string_view kAlarmCycleColumn = "Cycle in alarm";
inline constexpr std::string_view kAlarmRecordsColumn = "Records in alarm";
inline constexpr std::string_view kAlarmBytesColumn = "Bytes in alarm";
inline constexpr std::string_view kAlarmWrittenRow = "Two hours in alarm as the durations count them";
// Totals below the rows.
inline constexpr std::string_view kBytesWrittenRow = "Written in two hours";
inline constexpr std::string_view kBytesCountedRow = "Two hours as the durations count them";

// The durations without each writer.
inline constexpr std::string_view kWithoutColumn = "Without";
inline constexpr std::string_view kAsEnteredRow = "None (as entered)";
// "Internal memory without it", "SD Card without it".
std::string withoutColumn(Medium medium);
// The sentence above those durations, or why there are none.
std::string_view withoutHeading(const Breakdown& breakdown);

// ---- What reaches a retention target ------------------------------------

// The window that shows the breakdown, the durations without each writer and
// the target.
inline constexpr std::string_view kDetailsTitle = "Details";

inline constexpr std::string_view kTargetTitle = "Retention target";
inline constexpr std::string_view kTargetKeep = "Keep";  // Keep [26 weeks] on the [medium]
inline constexpr std::string_view kTargetWeeks = "weeks";
inline constexpr std::string_view kTargetOnThe = "on the";

// The planner's answer: a heading, one answer per question, and a note when
// no group writes.
struct PlanAnswer {
    std::string question;  // "Smallest SD Card:", "Group 1 alone:", "All these groups alike:", "Largest time in alarm:"
    std::string answer;    // "512 MB", "1s or slower", "none reaches it", "12 %"
};
struct PlanWords {
    std::string heading;  // "To keep 26 weeks on the SD Card (256 MB), which now lasts 50 w 0 d 0 h:"
    std::vector<PlanAnswer> answers;
    std::string note;  // empty, or why there is no cycle to change
};
// now: the duration the medium has with the entries as they are.
PlanWords planWords(const Plan& plan, Medium medium, std::int64_t targetHours, std::int32_t cardItem,
                    const StorageDuration& now);

}  // namespace capacimo
