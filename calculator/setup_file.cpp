#include "calculator/setup_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <string>

#include "calculator/json_room.h"

namespace capacimo {
namespace {

using Json = nlohmann::ordered_json;

const std::string kGroupsKey(kSetupGroupsKey);
const std::string kNameKey = "name";
const std::string kFormatKey = "format";
const std::string kVersionKey = "version";
const std::string kModelKey = "model";

// A JSON value as an error shows it: one line, at most a few dozen bytes.
// Objects and lists are only named: dumping one could run deep.
std::string shown(const Json& value) {
    if (value.is_object()) return "an object";
    if (value.is_array()) return "a list";
    std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    constexpr std::size_t kLongest = 40;
    if (text.size() > kLongest) {
        std::size_t cut = kLongest - 3;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // whole UTF-8 characters
        text = text.substr(0, cut) + "...";
    }
    return text;
}

std::string jsonText(std::string_view text) { return Json(std::string(text)).dump(); }

std::string groupKeyName(int group, std::string_view key) {
    return "group" + std::to_string(group + 1) + "." + std::string(key);
}

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// Text that a reader built itself (a CSV cell) may hold any bytes; the JSON
// writer is strict about UTF-8 and says so.
bool isUtf8(const std::string& text) {
    try {
        static_cast<void>(Json(text).dump());
        return true;
    } catch (const Json::type_error&) {
        return false;
    }
}

// A name is one line of UTF-8 text: what the writer cannot write as such it
// replaces (invalid bytes by U+FFFD, control characters by a blank), so that
// the file it writes reads back.
std::string oneLineName(std::string_view name) {
    const std::string valid =
        Json::parse(Json(std::string(name)).dump(-1, ' ', false, Json::error_handler_t::replace)).get<std::string>();
    std::string out;
    for (const char c : valid) out += hasControlCharacter(std::string_view(&c, 1)) ? ' ' : c;
    return out;
}

// Where the setup file lists an entry: the card first, then the channel
// counts page by page as the dialog shows them, then the analyses.
int fileRank(EntryPage page) {
    switch (page) {
    case EntryPage::General: return 0;
    case EntryPage::AnalogChannels: return 1;
    case EntryPage::DigitalChannels: return 2;
    case EntryPage::MathChannels: return 3;
    case EntryPage::SignalAnalysis: return 4;
    case EntryPage::Group: break;
    }
    return 5;
}

std::string itemList(const Entry& entry) {
    std::string list;
    for (const std::string& item : entry.items) list += (list.empty() ? "" : ", ") + jsonText(item);
    return list;
}

// What is wrong with a value for an entry, or nothing; sets field when fine.
std::optional<std::string> judgeValue(const Entry& entry, const Json& value, std::int32_t& field) {
    if (entry.isList()) {
        const auto found = value.is_string()
                               ? std::find(entry.items.begin(), entry.items.end(), value.get<std::string>())
                               : entry.items.end();
        if (found == entry.items.end()) return shown(value) + " is not one of " + itemList(entry);
        field = static_cast<std::int32_t>(found - entry.items.begin());
        return std::nullopt;
    }
    const std::string range = "0.." + std::to_string(entry.maximum);
    if (!value.is_number_integer()) return shown(value) + " is not a whole number in " + range;
    const bool inRange = value.is_number_unsigned()
                             ? value.get<std::uint64_t>() <= std::uint64_t(entry.maximum)
                             : value.get<std::int64_t>() >= 0 && value.get<std::int64_t>() <= entry.maximum;
    if (!inRange) return shown(value) + " is outside " + range;
    field = value.get<std::int32_t>();
    return std::nullopt;
}

SetupCheck refused(std::string key, std::string problem) { return {std::nullopt, std::move(key), std::move(problem)}; }

// The three keys that say what the file is.
std::optional<SetupCheck> checkHeader(const Json& object) {
    const auto format = object.find(kFormatKey);
    if (format == object.end()) return refused(kFormatKey, "missing; this is no Capacimo setup");
    if (!format->is_string() || *format != std::string(kSetupFormat))
        return refused(kFormatKey, shown(*format) + " is not " + jsonText(kSetupFormat));
    const auto version = object.find(kVersionKey);
    if (version == object.end()) return refused(kVersionKey, "missing");
    if (!version->is_number_integer() || *version < 1) return refused(kVersionKey, shown(*version) + " is no version");
    if (*version > kSetupVersion) {
        return refused(kVersionKey,
                       shown(*version) + " is newer than this Capacimo reads (" + std::to_string(kSetupVersion) + ")");
    }
    const auto model = object.find(kModelKey);
    if (model == object.end()) return refused(kModelKey, "missing");
    if (!model->is_string() || *model != std::string(kModelName))
        return refused(kModelKey, shown(*model) + " is not " + jsonText(kModelName));
    return std::nullopt;
}

std::optional<SetupCheck> checkGroups(const Json& groups, SetupFile& setup) {
    if (!groups.is_array() || groups.size() != static_cast<std::size_t>(kGroups)) {
        const std::string found = groups.is_array() ? std::to_string(groups.size()) + " groups" : shown(groups);
        return refused(kGroupsKey, found + ", not a list of " + std::to_string(kGroups) + " groups");
    }
    for (int g = 0; g < kGroups; ++g) {
        const Json& group = groups[static_cast<std::size_t>(g)];
        if (!group.is_object()) return refused("group" + std::to_string(g + 1), shown(group) + " is not an object");
        const std::vector<const Entry*>& entries = groupEntries(g);
        for (const auto& [key, value] : group.items()) {
            const auto entry = std::find_if(entries.begin(), entries.end(),
                                            [&wanted = key](const Entry* e) { return e->option == wanted; });
            if (entry == entries.end()) return refused(groupKeyName(g, key), "unknown key");
            if (auto problem = judgeValue(**entry, value, (*entry)->field(setup.entries))) {
                return refused(groupKey(g, **entry), *problem);
            }
        }
        for (const Entry* entry : entries) {
            if (!group.contains(entry->option)) setup.defaultedKeys.push_back(groupKey(g, *entry));
        }
    }
    return std::nullopt;
}

// Finds the first key that an object holds twice. The parser keeps only the
// last of them, so this watches the keys as they are read.
class DuplicateKeys {
public:
    bool see(Json::parse_event_t event, const Json& parsed) {
        using Event = Json::parse_event_t;
        switch (event) {
        case Event::object_start:
        case Event::array_start:
            countElement();
            levels_.push_back({event == Event::object_start, {}, {}, -1});
            break;
        case Event::key:
            if (!levels_.back().keys.insert(parsed.get<std::string>()).second && first_.empty()) {
                first_ = pathTo(parsed.get<std::string>());
            }
            levels_.back().key = parsed.get<std::string>();
            break;
        case Event::value: countElement(); break;
        case Event::object_end:
        case Event::array_end: levels_.pop_back(); break;
        }
        return true;
    }
    // The key as errors name it, or empty when no key was repeated.
    const std::string& first() const { return first_; }

private:
    struct Level {
        bool object;
        std::set<std::string> keys;
        std::string key;    // the key being read
        int elements = -1;  // a list's last element so far
    };
    void countElement() {
        if (!levels_.empty() && !levels_.back().object) ++levels_.back().elements;
    }
    std::string pathTo(const std::string& key) const {
        if (levels_.size() == 1) return key;
        if (levels_.size() == 3 && levels_[0].key == kGroupsKey && !levels_[1].object) {
            return groupKeyName(levels_[1].elements, key);
        }
        return levels_[0].key;
    }
    std::vector<Level> levels_;
    std::string first_;
};

// Line and column (from 1) of a byte offset, for a parse error.
std::string placeOf(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    const std::string_view before = text.substr(0, offset);
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t lineStart = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart + 1);
}

}  // namespace

std::string groupKey(int group, const Entry& entry) { return groupKeyName(group, entry.option); }

const std::vector<const Entry*>& topLevelEntries() {
    static const std::vector<const Entry*> entries = [] {
        std::vector<const Entry*> list;
        for (const Entry& entry : entryTable()) {
            if (entry.page != EntryPage::Group) list.push_back(&entry);
        }
        std::stable_sort(list.begin(), list.end(), [](const Entry* a, const Entry* b) {
            return std::pair(fileRank(a->page), a->row) < std::pair(fileRank(b->page), b->row);
        });
        return list;
    }();
    return entries;
}

const std::vector<const Entry*>& groupEntries(int group) {
    static const auto entries = [] {
        std::array<std::vector<const Entry*>, kGroups> groups;
        for (const Entry& entry : entryTable()) {
            if (entry.page == EntryPage::Group) groups[static_cast<std::size_t>(entry.index)].push_back(&entry);
        }
        return groups;
    }();
    return entries[static_cast<std::size_t>(group)];
}

SetupCheck checkSetupObject(const Json& object) {
    if (!object.is_object()) return refused({}, "the text is not a JSON object");
    if (auto problem = checkHeader(object)) return *problem;
    SetupFile setup;
    setup.entries = defaultEntries();
    const auto& top = topLevelEntries();
    for (const auto& [key, value] : object.items()) {
        if (key == kFormatKey || key == kVersionKey || key == kModelKey) continue;
        if (key == kNameKey) {
            if (!value.is_string()) return refused(key, shown(value) + " is not a text");
            setup.name = value.get<std::string>();
            if (hasControlCharacter(setup.name)) return refused(key, "holds a control character; a name is one line");
            if (!isUtf8(setup.name)) return refused(key, "is not UTF-8 text");
            continue;
        }
        if (key == kGroupsKey) {
            if (auto problem = checkGroups(value, setup)) return *problem;
            continue;
        }
        const auto entry =
            std::find_if(top.begin(), top.end(), [&wanted = key](const Entry* e) { return e->option == wanted; });
        if (entry == top.end()) return refused(key, "unknown key");
        if (auto problem = judgeValue(**entry, value, (*entry)->field(setup.entries))) return refused(key, *problem);
    }
    // Reported in file order: the top-level keys, then the groups.
    std::vector<std::string> defaulted;
    for (const Entry* entry : top) {
        if (!object.contains(entry->option)) defaulted.push_back(entry->option);
    }
    if (!object.contains(kGroupsKey)) defaulted.push_back(kGroupsKey);
    defaulted.insert(defaulted.end(), setup.defaultedKeys.begin(), setup.defaultedKeys.end());
    setup.defaultedKeys = std::move(defaulted);
    return {std::move(setup), {}, {}};
}

SetupReadResult readSetupText(std::string_view text) {
    if (text.size() > kSetupFileLimit) {
        return {std::nullopt, "larger than " + std::to_string(kSetupFileLimit) + " bytes; no setup is that large"};
    }
    DuplicateKeys duplicates;
    Json object;
    try {
        object = Json::parse(text.begin(), text.end(), [&duplicates](int, Json::parse_event_t event, Json& parsed) {
            return duplicates.see(event, parsed);
        });
    } catch (const Json::parse_error& e) {
        return {std::nullopt, "not valid JSON at " + placeOf(text, e.byte == 0 ? 0 : e.byte - 1)};
    }
    if (!duplicates.first().empty()) return {std::nullopt, jsonText(duplicates.first()) + ": appears twice"};
    SetupCheck check = checkSetupObject(object);
    if (!check.setup)
        return {std::nullopt, check.key.empty() ? check.problem : jsonText(check.key) + ": " + check.problem};
    return {std::move(check.setup), {}};
}

Json setupObject(const CalculatorEntries& entries, std::string_view name) {
    auto valueOf = [&entries](const Entry& entry) {
        const std::int32_t value = entry.fitted(entry.field(entries));
        return entry.isList() ? Json(entry.items[static_cast<std::size_t>(value)]) : Json(value);
    };
    Json object = objectWithRoom(5 + topLevelEntries().size());
    object[kFormatKey] = std::string(kSetupFormat);
    object[kVersionKey] = kSetupVersion;
    object[kModelKey] = std::string(kModelName);
    object[kNameKey] = oneLineName(name);
    for (const Entry* entry : topLevelEntries()) object[entry->option] = valueOf(*entry);
    Json groups = arrayWithRoom(kGroups);
    for (int g = 0; g < kGroups; ++g) {
        Json group = objectWithRoom(groupEntries(g).size());
        for (const Entry* entry : groupEntries(g)) group[entry->option] = valueOf(*entry);
        groups.push_back(std::move(group));
    }
    object[kGroupsKey] = std::move(groups);
    return object;
}

std::string writeSetupText(const CalculatorEntries& entries, std::string_view name) {
    // Laid out by hand rather than by dump(2): one key per line, and each
    // group on a line of its own, so that the file reads as a table and a
    // change shows in a diff as the one line it touched.
    auto dumped = [](const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); };
    std::string text = "{\n";
    const Json object = setupObject(entries, name);
    for (auto it = object.begin(); it != object.end(); ++it) {
        text += "  " + jsonText(it.key()) + ": ";
        if (it->is_array()) {
            text += "[\n";
            for (std::size_t g = 0; g < it->size(); ++g) {
                std::string line;
                for (const auto& [key, value] : (*it)[g].items()) {
                    line += (line.empty() ? "" : ", ") + jsonText(key) + ": " + dumped(value);
                }
                text += "    {" + line + (g + 1 < it->size() ? "},\n" : "}\n");
            }
            text += "  ]";
        } else {
            text += dumped(*it);
        }
        text += std::next(it) == object.end() ? "\n" : ",\n";
    }
    return text + "}\n";
}

}  // namespace capacimo
