#include "calculator/entries.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "calculator/duration.h"

namespace capacimo {
namespace {

// After Reset every group records at one minute.
constexpr int kResetCycleCode = 11;

// The ten channel counts, in the order the store holds them.
struct CountRow {
    EntryId id;
    const char* name;
    EntryPage page;
    int row;
    const char* caption;
    const char* summary;
    const char* option;
    std::int32_t maximum;
    std::int32_t resetValue;
};
const CountRow kCountRows[] = {
    {EntryId::Analog, "CountAnalog", EntryPage::AnalogChannels, 0, "Number of  analog channels:", "analog channels",
     "analog", kAnalogChannels, 1},
    {EntryId::AnalogTotalized, "CountAnalogIntegr", EntryPage::AnalogChannels, 1,
     "... of these with totalization:", "analog channels with totalization", "analog-totalized", kAnalogChannels, 0},
    {EntryId::AnalogImpulse, "CountAnalogIC", EntryPage::AnalogChannels, 2, "... of  these as impulse counter:",
     "analog channels used as impulse counters", "analog-impulse", kAnalogChannels, 0},
    {EntryId::DigitalCounters, "CountDigitalCounter", EntryPage::DigitalChannels, 2,
     "Number of impulse counters or operation times:", "digital impulse counters or operation times",
     "digital-counters", kDigitalChannels, 0},
    {EntryId::DigitalEventsOpTime, "CountDigitalOnOffOptTime", EntryPage::DigitalChannels, 1,
     "Number of on/off events and operating times:", "digital on/off events with operating times",
     "digital-events-optime", kDigitalChannels, 0},
    {EntryId::DigitalEvents, "CountDigitalOnOff", EntryPage::DigitalChannels, 0,
     "Number of on/off events or control inputs:", "digital on/off events or control inputs", "digital-events",
     kDigitalChannels, 0},
    {EntryId::MathValues, "CountMathIV", EntryPage::MathChannels, 0,
     "Number of instantaneous values:", "math instantaneous values", "math-values", kMathChannels, 0},
    {EntryId::MathValuesTotalized, "CountMathIVIntegr", EntryPage::MathChannels, 1, "... of these with totalization:",
     "math instantaneous values with totalization", "math-values-totalized", kMathChannels, 0},
    {EntryId::MathStates, "CountMathState", EntryPage::MathChannels, 2,
     "Number of on/of events (states):", "math on/off states", "math-states", kMathChannels, 0},
    {EntryId::MathCounters, "CountMathCounter", EntryPage::MathChannels, 3,
     "Number of counters or operation times:", "math counters or operation times", "math-counters", kMathChannels, 0},
};

const std::string kGeneralSection = "Settings";
const std::string kChannelSection = "Settings\\Channels";
const std::string kGroupSectionStem = "Settings\\Group";

std::string numbered(const char* pattern, int n) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, n);
    return text;
}

template <typename Text>
std::vector<std::string> listItems(int count, Text text) {
    std::vector<std::string> items;
    for (int item = 0; item < count; ++item) items.push_back(text(item));
    return items;
}

Entry listEntry(EntryId id, int index, std::string section, std::string name, std::string control, EntryPage page,
                int row, std::string caption, std::string summary, std::string option, std::vector<std::string> items,
                std::int32_t resetValue) {
    const auto last = static_cast<std::int32_t>(items.size()) - 1;
    return {id,   index,      std::move(section), std::move(name),    std::move(control),
            page, row,        std::move(caption), std::move(summary), std::move(option),
            last, resetValue, std::move(items)};
}

void addGroupEntries(std::vector<Entry>& table, int g) {
    const std::string section = kGroupSectionStem + groupSuffix(g);
    auto cycleText = [g](int item) { return storageCycleText(storageCycleCodeForItem(g, item)); };
    table.push_back(listEntry(EntryId::GroupCycle, g, section, "SaveCycle", "cb_GroupCycle" + groupSuffix(g),
                              EntryPage::Group, 0, "Storage cycle:", "storage cycle", "cycle",
                              listItems(cycleItemCount(g), cycleText), cycleItemForCode(g, kResetCycleCode)));
    table.push_back({EntryId::GroupValues,
                     g,
                     section,
                     "CountGroupIV",
                     "spe_GroupIV" + groupSuffix(g),
                     EntryPage::Group,
                     1,
                     "Number of instantaneous values (analog or math):",
                     "instantaneous values",
                     "values",
                     kSlotsPerGroup,
                     g == 0 ? 1 : 0,
                     {}});
    table.push_back({EntryId::GroupStates,
                     g,
                     section,
                     "CountGroupState",
                     "spe_GroupState" + groupSuffix(g),
                     EntryPage::Group,
                     2,
                     "Number of digital on/off events or control inputs:",
                     "on/off states",
                     "states",
                     kSlotsPerGroup,
                     0,
                     {}});
}

// What the recorder does in alarm, and what the SD card keeps for other
// files. They come last, so that the store's first values keep their order;
// files name them only when they are set.
void addScenarioEntries(std::vector<Entry>& table) {
    for (int g = 0; g < kGroups; ++g) {
        auto text = [g](int item) {
            return item == 0 ? std::string(kSameCycleText) : storageCycleText(storageCycleCodeForItem(g, item));
        };
        Entry& alarm = table.emplace_back(listEntry(
            EntryId::GroupAlarmCycle, g, kGroupSectionStem + groupSuffix(g), "AlarmCycle",
            "cb_GroupAlarmCycle" + groupSuffix(g), EntryPage::Group, 3,
            "Storage cycle in alarm:", "storage cycle in alarm", "alarm", listItems(alarmCycleItemCount(g), text), 0));
        alarm.writtenWhenSet = true;
    }
    Entry share{EntryId::AlarmShare,
                0,
                kGeneralSection,
                "AlarmShare",
                "spe_AlarmShare",
                EntryPage::Alarms,
                0,
                "Time in alarm (%):",
                "percent of the time in alarm",
                "alarm-share",
                100,
                0,
                {}};
    share.writtenWhenSet = true;
    table.push_back(std::move(share));
    Entry reserve{EntryId::CardReserve,
                  0,
                  kGeneralSection,
                  "CardReserve",
                  "spe_CardReserve",
                  EntryPage::Alarms,
                  1,
                  "Kept free on the SD card for other files (MB):",
                  "megabytes kept free on the SD card for other files",
                  "card-reserve",
                  kLargestCardReserve,
                  0,
                  {}};
    reserve.writtenWhenSet = true;
    table.push_back(std::move(reserve));
}

std::vector<Entry> buildTable() {
    std::vector<Entry> table;
    auto cardText = [](int item) { return std::string(kCardSizes[static_cast<std::size_t>(item)].text); };
    table.push_back(listEntry(EntryId::CardSize, 0, kGeneralSection, "CFSize", "cb_CFSize", EntryPage::General, 0,
                              "SD Card size:", std::string(mediumCaption(Medium::Card)) + " size", "card",
                              listItems(static_cast<int>(kCardSizes.size()), cardText), 0));
    for (int k = 0; k < kAnalyses; ++k) {
        auto text = [k](int item) { return analysisText(analysisCodeForItem(k, item)); };
        table.push_back(listEntry(EntryId::Analysis, k, kGeneralSection, numbered("Analysis%d", k + 1),
                                  numbered("cb_Analysis%d", k + 1), EntryPage::SignalAnalysis, k, analysisName(k) + ":",
                                  numbered("analysis %d", k + 1), numbered("analysis%d", k + 1),
                                  listItems(analysisItemCount(k), text), 0));
    }
    for (const CountRow& c : kCountRows) {
        table.push_back({c.id,
                         0,
                         kChannelSection,
                         c.name,
                         std::string("spe_") + c.name,
                         c.page,
                         c.row,
                         c.caption,
                         c.summary,
                         c.option,
                         c.maximum,
                         c.resetValue,
                         {}});
    }
    for (int g = 0; g < kGroups; ++g) addGroupEntries(table, g);
    addScenarioEntries(table);
    return table;
}

template <typename Entries>
auto& fieldOf(const Entry& entry, Entries& e) {
    auto& c = e.counts;
    const auto i = static_cast<std::size_t>(entry.index);
    switch (entry.id) {
    case EntryId::CardSize: return e.cardItem;
    case EntryId::Analysis: return e.analysisItems[i];
    case EntryId::Analog: return c.analog;
    case EntryId::AnalogTotalized: return c.analogTotalized;
    case EntryId::AnalogImpulse: return c.analogImpulse;
    case EntryId::DigitalCounters: return c.digitalCounters;
    case EntryId::DigitalEventsOpTime: return c.digitalEventsOpTime;
    case EntryId::DigitalEvents: return c.digitalEvents;
    case EntryId::MathValues: return c.mathValues;
    case EntryId::MathValuesTotalized: return c.mathValuesTotalized;
    case EntryId::MathStates: return c.mathStates;
    case EntryId::MathCounters: return c.mathCounters;
    case EntryId::GroupCycle: return e.cycleItems[i];
    case EntryId::GroupValues: return c.groupValues[i];
    case EntryId::GroupStates: return c.groupStates[i];
    case EntryId::GroupAlarmCycle: return e.alarmCycleItems[i];
    case EntryId::AlarmShare: return e.alarmShare;
    case EntryId::CardReserve: break;
    }
    return e.cardReserve;
}

}  // namespace

std::int32_t Entry::fitted(std::int32_t value) const {
    if (isList()) return value < 0 || value > maximum ? 0 : value;
    return std::clamp(value, 0, maximum);
}

std::int32_t& Entry::field(CalculatorEntries& entries) const { return fieldOf(*this, entries); }
std::int32_t Entry::field(const CalculatorEntries& entries) const { return fieldOf(*this, entries); }

const std::vector<Entry>& entryTable() {
    static const std::vector<Entry> table = buildTable();
    return table;
}

const Entry& entryOf(EntryId id, int index) {
    for (const Entry& entry : entryTable()) {
        if (entry.id == id && entry.index == index) return entry;
    }
    throw std::out_of_range("no such entry");
}

CalculatorEntries defaultEntries() {
    CalculatorEntries e;
    for (const Entry& entry : entryTable()) entry.field(e) = entry.resetValue;
    return e;
}

CalculatorEntries fittedEntries(CalculatorEntries entries) {
    for (const Entry& entry : entryTable()) entry.field(entries) = entry.fitted(entry.field(entries));
    return entries;
}

CalculatorEntries heaviestEntries() {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = kAnalogChannels;
    e.counts.digitalEvents = kDigitalChannels;
    e.counts.groupValues.fill(kSlotsPerGroup);
    e.cycleItems[0] = 1;                                                         // group 1 at 100 ms
    for (int g = 1; g < kGroups; ++g) e.cycleItems[g] = cycleItemForCode(g, 2);  // 1 s
    e.analysisItems = {1, 1, 1, 1};                                              // 1 min, then daily three times
    return e;
}

CalculatorEntries heaviestEntriesInAlarm() {
    CalculatorEntries e = heaviestEntries();
    for (int g = 1; g < kGroups; ++g) e.alarmCycleItems[g] = cycleItemForCode(g, 3);  // 2 s
    e.alarmShare = 5;
    return e;
}

CalculatorEntries entriesFromStore(const ReadStoredEntry& read) {
    CalculatorEntries e = defaultEntries();
    for (const Entry& entry : entryTable()) {
        std::int32_t& field = entry.field(e);
        const std::int32_t stored = read(entry, field);
        // A stored alarm share or reserve out of range is not brought to its
        // nearest end, as a count is: 101 % is not "always in alarm", and a
        // reserve of 4000 MB is not the largest one. It is not taken at all.
        const bool outside = stored < 0 || stored > entry.maximum;
        field = entry.writtenWhenSet && outside ? entry.resetValue : entry.fitted(stored);
    }
    // Stored analog counts that contradict each other are brought into line,
    // as the dialog does once it has loaded them.
    ChannelCounts& c = e.counts;
    const AnalogDependents set = adjustAnalogDependents(c.analog, c.analogTotalized, c.analogImpulse);
    if (set.totalized) c.analogTotalized = std::clamp(*set.totalized, 0, entryOf(EntryId::AnalogTotalized).maximum);
    if (set.impulse) c.analogImpulse = std::clamp(*set.impulse, 0, entryOf(EntryId::AnalogImpulse).maximum);
    return e;
}

std::string groupName(int group) { return "Group " + std::to_string(group + 1); }

std::string analysisName(int analysis) { return "Analysis " + std::to_string(analysis + 1); }

std::string pageCaption(EntryPage page, int index) {
    switch (page) {
    case EntryPage::General: return {};
    case EntryPage::SignalAnalysis: return "Signal analysis";
    case EntryPage::AnalogChannels: return "Analog channels";
    case EntryPage::DigitalChannels: return "Digital channels";
    case EntryPage::MathChannels: return "Math channels";
    case EntryPage::Alarms: return "Alarms and other files";
    case EntryPage::Group: break;
    }
    return groupName(index);
}

std::string groupSuffix(int group) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(group) & 0xFFu);
    return text;
}

int cycleItemCount(int group) {
    // Group 1 offers every code; the others lack "100ms".
    return group == 0 ? kStorageCycleCodeCount : kStorageCycleCodeCount - 1;
}

std::uint8_t storageCycleCodeForItem(int group, std::int32_t item) {
    if (item <= 0 || item >= cycleItemCount(group)) return kStorageCycleOff;
    return static_cast<std::uint8_t>(group == 0 ? item : item + 1);
}

std::int32_t cycleItemForCode(int group, int code) {
    if (code == kStorageCycleOff) return 0;
    if (code < 0 || code >= kStorageCycleCodeCount) return -1;
    if (group == 0) return code;
    return code == kStorageCycleFast ? -1 : code - 1;
}

int alarmCycleItemCount(int group) { return cycleItemCount(group); }

std::uint8_t alarmCycleCode(const CalculatorEntries& entries, int group) {
    const std::int32_t item = entries.alarmCycleItems[static_cast<std::size_t>(group)];
    // The alarm list is the storage-cycle list with "same" where "Off" stands.
    if (item <= 0 || item >= alarmCycleItemCount(group))
        return storageCycleCodeForItem(group, entries.cycleItems[static_cast<std::size_t>(group)]);
    return storageCycleCodeForItem(group, item);
}

bool hasAlarmCycles(const CalculatorEntries& entries) {
    for (int g = 0; g < kGroups; ++g) {
        if (alarmCycleCode(entries, g) != storageCycleCodeForItem(g, entries.cycleItems[static_cast<std::size_t>(g)]))
            return true;
    }
    return false;
}

int analysisItemCount(int analysis) {
    return analysis == 0 ? 1 + kLastIntervalAnalysisCode - kFirstIntervalAnalysisCode + 1
                         : 1 + kLastCalendarAnalysisCode - kFirstCalendarAnalysisCode + 1;
}

std::uint16_t analysisCodeForItem(int analysis, std::int32_t item) {
    if (item <= 0 || item >= analysisItemCount(analysis)) return 0;
    const int first = analysis == 0 ? kFirstIntervalAnalysisCode : kFirstCalendarAnalysisCode;
    return static_cast<std::uint16_t>(first + item - 1);
}

}  // namespace capacimo
