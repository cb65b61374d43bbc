// The user's entries: what the calculator dialog's controls hold, what the
// store keeps and what capacimo-calc takes as options. Every entry is
// described once, in the table below; the settings store, the dialog, Reset
// and the command line all work from it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/count_validation.h"
#include "calculator/recorder_setup.h"

namespace capacimo {

struct CalculatorEntries {
    ChannelCounts counts;
    // Item index of "Analysis 1" .. "Analysis 4" (0 = "no").
    std::array<std::int32_t, kAnalyses> analysisItems{};
    // Item index of each group's storage-cycle list, group 1 first.
    std::array<std::int32_t, kGroups> cycleItems{};
    // Item index of the SD card size list.
    std::int32_t cardItem = 0;
    // Item index of each group's alarm-cycle list: 0 "same" (the group keeps
    // its storage cycle in alarm), n the cycle of its storage-cycle list's item n.
    std::array<std::int32_t, kGroups> alarmCycleItems{};
    // The whole percentage of the time the recorder is in alarm, 0..100.
    std::int32_t alarmShare = 0;
    // Megabytes (of 1,048,576 bytes) kept free on the SD card for other files.
    std::int32_t cardReserve = 0;
    bool operator==(const CalculatorEntries&) const = default;
};

// Which entry a row of the table describes, and so where it lives in CalculatorEntries.
enum class EntryId {
    CardSize,
    Analysis,  // one per analysis
    Analog,
    AnalogTotalized,
    AnalogImpulse,
    DigitalCounters,
    DigitalEventsOpTime,
    DigitalEvents,
    MathValues,
    MathValuesTotalized,
    MathStates,
    MathCounters,
    GroupCycle,  // one of each per group
    GroupValues,
    GroupStates,
    GroupAlarmCycle,
    AlarmShare,
    CardReserve,
};

// Where the calculator dialog shows an entry.
enum class EntryPage { General, SignalAnalysis, AnalogChannels, DigitalChannels, MathChannels, Group, Alarms };

// The caption of the page that shows a page's entries: "Signal analysis",
// "Analog channels", "Group 3" (index is the group, 0-based). The general
// entries sit above the pages and have none.
std::string pageCaption(EntryPage page, int index = 0);

struct Entry {
    EntryId id;
    int index = 0;        // the analysis (0..3) or group (0..9) of the entry
    std::string section;  // stored below the unit's key, in this section ...
    std::string name;     // ... under this name
    std::string control;  // the dialog's control
    EntryPage page;
    int row = 0;           // place on its page, from the top
    std::string caption;   // the dialog's label
    std::string summary;   // in plain words, for the command line and reports
    std::string option;    // capacimo-calc's option (for group entries: the key within --group)
    std::int32_t maximum;  // a count's largest value; a list's last position
    std::int32_t resetValue = 0;
    std::vector<std::string> items;  // a list's texts; empty for a count
    // Written to setup and plant files only when it is not at its reset
    // value, and not missed when a file lacks it: files made before the
    // entry existed mean what they meant, and the same plant keeps its bytes.
    bool writtenWhenSet = false;

    bool isList() const { return !items.empty(); }
    // What the entry's control makes of a number: a count is clamped to
    // 0..maximum, a position outside a list selects its first entry.
    std::int32_t fitted(std::int32_t value) const;
    std::int32_t& field(CalculatorEntries& entries) const;
    std::int32_t field(const CalculatorEntries& entries) const;
};

// Every entry, in the order in which the store holds them and in which
// loading and Reset fill the dialog.
const std::vector<Entry>& entryTable();
// The row of an entry; index is the analysis or group where there is one.
const Entry& entryOf(EntryId id, int index = 0);

// The entries after "Reset": one plain analog channel, recorded by group 1
// every minute; the other groups at one minute and empty; no analysis; 256 MB.
CalculatorEntries defaultEntries();

// What the controls make of every value (Entry::fitted): the entries a
// setup file or a plant file writes, and reads back the same.
CalculatorEntries fittedEntries(CalculatorEntries entries);

// The heaviest setup the dialog allows, which the benchmarks time and the
// tests and tools lay out at its largest: 40 analog and 14 digital channels,
// group 1 at 100 ms and groups 2-10 at 1 s with eight values each, Analysis 1
// every minute and Analyses 2-4 daily (fourteen writers; 6.2 MB in two hours).
CalculatorEntries heaviestEntries();
// The same 5 % of the time in alarm, groups 2-10 then at 2 s: every
// calculation replays two hours twice, the second as busy as the first.
CalculatorEntries heaviestEntriesInAlarm();

// What the dialog shows for what a store holds. read(entry, fallback) gives
// the stored number, or fallback when there is none. Counts are clamped to
// their range, positions outside a list give its first entry, and the
// dependent analog counts are brought into line.
using ReadStoredEntry = std::function<std::int32_t(const Entry& entry, std::int32_t fallback)>;
CalculatorEntries entriesFromStore(const ReadStoredEntry& read);

// The largest number of weeks, days or hours a retention target takes (six
// digits, so that any sum of the three fits comfortably): the Details
// window's weeks, the web page's (through the entry table) and capacimo-calc's
// --target.
inline constexpr std::int64_t kLargestRetentionNumber = 999'999;

// The most megabytes an SD card can be asked to keep free for other files:
// the largest card's size.
inline constexpr std::int32_t kLargestCardReserve = 2048;
// The alarm-cycle list's first item: the group keeps its storage cycle.
inline constexpr std::string_view kSameCycleText = "same";

// "Group 1" .. "Group 10" for group 0..9; also the caption of its page.
std::string groupName(int group);
// "Analysis 1" .. "Analysis 4" for analysis 0..3.
std::string analysisName(int analysis);

// The two hexadecimal digits that name group g (0-based) in sections and controls.
std::string groupSuffix(int group);

// Number of items in the storage-cycle list of a group (0-based group index).
int cycleItemCount(int group);
// The storage-cycle code an item of a group's list stands for. Group 1's list
// holds every code in order; the others lack "100ms". An index outside the
// list gives 0 (off).
std::uint8_t storageCycleCodeForItem(int group, std::int32_t item);
// The list item that stands for a storage-cycle code in a group's list, or -1.
std::int32_t cycleItemForCode(int group, int code);
// Number of items in a group's alarm-cycle list: "same", then every cycle of
// its storage-cycle list but "Off".
int alarmCycleItemCount(int group);
// The storage-cycle code group g records at in alarm: its alarm-cycle item's,
// or for "same" (and an item outside the list) its storage cycle's.
std::uint8_t alarmCycleCode(const CalculatorEntries& entries, int group);
// Some group records at another cycle in alarm than its storage cycle.
bool hasAlarmCycles(const CalculatorEntries& entries);

// Number of items in an analysis list (0-based analysis index): "Analysis 1"
// offers "no" and the intervals, the others "no" and the calendar analyses.
int analysisItemCount(int analysis);
// The analysis code an item of an analysis list stands for. An index outside
// the list gives 0 (none).
std::uint16_t analysisCodeForItem(int analysis, std::int32_t item);

}  // namespace capacimo
