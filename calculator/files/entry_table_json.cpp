#include "calculator/files/entry_table_json.h"

#include "calculator/entries.h"
#include "calculator/entry_values.h"
#include "calculator/text/dialog_texts.h"

namespace capacimo {
namespace {

using Json = nlohmann::ordered_json;

// The id of the page an entry is shown on; group pages are "group1" .. "group10".
std::string pageId(EntryPage page, int group) {
    switch (page) {
    case EntryPage::General: return "general";
    case EntryPage::SignalAnalysis: return "signal-analysis";
    case EntryPage::AnalogChannels: return "analog";
    case EntryPage::DigitalChannels: return "digital";
    case EntryPage::MathChannels: return "math";
    case EntryPage::Alarms: return "alarms";
    case EntryPage::Group: break;
    }
    return "group" + std::to_string(group + 1);
}

Json innerPage(EntryPage page, int group = 0) {
    return {{"id", pageId(page, group)}, {"caption", pageCaption(page, group)}};
}

Json pages() {
    Json information = {{"id", "information"}, {"caption", dialogPageCaption(DialogPage::Information)}};
    information["lines"] = Json::array();
    for (const char* line : informationLines()) information["lines"].push_back(line);

    Json channels = {{"id", "channel-settings"}, {"caption", dialogPageCaption(DialogPage::ChannelSettings)}};
    channels["pages"] = Json::array({innerPage(EntryPage::AnalogChannels), innerPage(EntryPage::DigitalChannels),
                                     innerPage(EntryPage::MathChannels)});

    Json groups = {{"id", "group-settings"}, {"caption", dialogPageCaption(DialogPage::GroupSettings)}};
    groups["pages"] = Json::array();
    for (int g = 0; g < kGroups; ++g) groups["pages"].push_back(innerPage(EntryPage::Group, g));

    return Json::array(
        {information, innerPage(EntryPage::SignalAnalysis), channels, groups, innerPage(EntryPage::Alarms)});
}

Json entryObject(const Entry& entry) {
    const bool inGroup = entry.page == EntryPage::Group;
    Json o = {{"key", entry.control},
              {"option", entry.option},
              {"group", inGroup ? Json(entry.index + 1) : Json()},
              {"caption", entry.caption},
              {"page", pageId(entry.page, entry.index)},
              {"row", entry.row},
              {"min", 0},
              {"max", entry.maximum},
              {"default", entry.resetValue},
              {"store", storedName(entry)}};
    if (entry.isList()) o["items"] = entry.items;
    if (entry.writtenWhenSet) o["when_set"] = true;
    return o;
}

}  // namespace

nlohmann::ordered_json entryTableObject() {
    Json o = {{"format", "capacimo-entries"}, {"version", 1}, {"title", kModelName}};
    o["pages"] = pages();
    o["entries"] = Json::array();
    for (const Entry& entry : entryTable()) o["entries"].push_back(entryObject(entry));
    o["reset"] = {{"caption", kResetCaption}, {"hint", kResetHint}};
    return o;
}

std::string entryTableJson() { return entryTableObject().dump(); }

}  // namespace capacimo
