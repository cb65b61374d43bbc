#include "calculator/files/setup_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "calculator/files/json_room.h"
#include "calculator/files/json_text.h"
#include "calculator/files/text_encoding.h"
#include "common/core/decimal_text.h"

namespace capacimo {
namespace {

using Json = nlohmann::ordered_json;

const std::string kGroupsKey(kSetupGroupsKey);
const std::string kNameKey = "name";
const std::string kFormatKey = "format";
const std::string kVersionKey = "version";
const std::string kModelKey = "model";

// A text in an error: one line of at most a few dozen bytes.
std::string shortened(std::string text) {
    constexpr std::size_t kLongest = 40;
    if (text.size() > kLongest) {
        std::size_t cut = kLongest - 3;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // whole UTF-8 characters
        text = text.substr(0, cut) + "...";
    }
    return text;
}

// A JSON value as an error shows it. Objects and lists are only named:
// dumping one could run deep.
std::string shown(const Json& value) {
    if (value.is_object()) return "an object";
    if (value.is_array()) return "a list";
    return shortened(value.dump(-1, ' ', false, Json::error_handler_t::replace));
}

std::string groupKeyName(int group, std::string_view key) {
    return "group" + std::to_string(group + 1) + "." + std::string(key);
}

// Why a name's characters are refused, or nothing: a name is one line of
// plain text, which shows as it is written.
std::optional<std::string> nameCharacterProblem(std::string_view name) {
    if (const std::optional<char32_t> c = hiddenCharacter(name)) {
        if (isControlCharacter(*c)) return "holds a control character; a name is one line";
        return "holds " + codePointText(*c) + ", an invisible character that changes how the text around it shows";
    }
    // Text that a reader built itself (a CSV cell) may hold any bytes.
    if (!isUtf8(name)) return "is not UTF-8 text";
    return std::nullopt;
}

// The characters of a UTF-8 text: its bytes but the continuation bytes.
std::size_t characters(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// A name is one line of UTF-8 text of at most kSetupNameLimit characters:
// what the writer cannot write as such it replaces (invalid bytes by U+FFFD,
// control and formatting characters by a blank) or leaves out (the
// characters beyond the limit), so that the file it writes reads back.
std::string oneLineName(std::string_view name) {
    // No character takes more than four bytes, so the longest name kept lies
    // within the first 4 * kSetupNameLimit bytes; the rest is never copied.
    name = name.substr(0, 4 * kSetupNameLimit);
    const std::string valid = withoutHiddenCharacters(validUtf8(name));
    std::string out;
    std::size_t count = 0;
    for (const char c : valid) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && ++count > kSetupNameLimit) break;
        out += c;
    }
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
    case EntryPage::Alarms: return 5;
    case EntryPage::Group: break;
    }
    return 6;
}

std::string itemList(const Entry& entry) {
    std::string list;
    for (const std::string& item : entry.items) list += (list.empty() ? "" : ", ") + quotedText(item);
    return list;
}

std::string range(const Entry& entry) { return "0.." + std::to_string(entry.maximum); }
std::string notInList(const Entry& entry, const std::string& value) {
    return value + " is not one of " + itemList(entry);
}
std::string notWhole(const Entry& entry, const std::string& value) {
    return value + " is not a whole number in " + range(entry);
}

// A JSON number without a fraction, as counts and versions are: 8 and 8.0
// alike, since JSON does not tell them apart (nor does the published schema).
std::optional<double> wholeNumber(const Json& value) {
    if (!value.is_number()) return std::nullopt;
    const auto number = value.get<double>();
    if (number != std::trunc(number)) return std::nullopt;
    return number;
}

// What is wrong with a value for an entry, or nothing; sets field when fine.
std::optional<std::string> judgeValue(const Entry& entry, const Json& value, std::int32_t& field) {
    if (entry.isList()) {
        const auto found = value.is_string()
                               ? std::find(entry.items.begin(), entry.items.end(), value.get<std::string>())
                               : entry.items.end();
        if (found == entry.items.end()) return notInList(entry, shown(value));
        field = static_cast<std::int32_t>(found - entry.items.begin());
        return std::nullopt;
    }
    const std::optional<double> number = wholeNumber(value);
    if (!number) return notWhole(entry, shown(value));
    if (*number < 0 || *number > entry.maximum) return shown(value) + " is outside " + range(entry);
    field = static_cast<std::int32_t>(*number);
    return std::nullopt;
}

SetupCheck refused(std::string key, std::string problem) { return {std::nullopt, std::move(key), std::move(problem)}; }

// The three keys that say what the file is.
std::optional<SetupCheck> checkHeader(const Json& object) {
    const auto format = object.find(kFormatKey);
    if (format == object.end()) return refused(kFormatKey, "missing; this is no Capacimo setup");
    if (!format->is_string() || *format != std::string(kSetupFormat))
        return refused(kFormatKey, shown(*format) + " is not " + quotedText(kSetupFormat));
    const auto version = object.find(kVersionKey);
    if (version == object.end()) return refused(kVersionKey, "missing");
    const std::optional<double> number = wholeNumber(*version);
    if (!number || *number < 1) return refused(kVersionKey, shown(*version) + " is no version");
    if (*number > kSetupVersion) {
        return refused(kVersionKey,
                       shown(*version) + " is newer than this Capacimo reads (" + std::to_string(kSetupVersion) + ")");
    }
    const auto model = object.find(kModelKey);
    if (model == object.end()) return refused(kModelKey, "missing");
    if (!model->is_string() || *model != std::string(kModelName))
        return refused(kModelKey, shown(*model) + " is not " + quotedText(kModelName));
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
            if (!group.contains(entry->option) && !entry->writtenWhenSet)
                setup.defaultedKeys.push_back(groupKey(g, *entry));
        }
    }
    return std::nullopt;
}

// Line and column (from 1) of a byte offset, for an error.
std::string placeOf(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    const std::string_view before = text.substr(0, offset);
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    const std::size_t lineStart = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
    return "line " + std::to_string(line) + ", column " + std::to_string(offset - lineStart + 1);
}

// Builds the document from the parser's events, as the library's own
// builder does, and besides notes the first key that an object holds twice
// (the document keeps only the last of them) and why the parser stopped: a
// text that is no JSON, or a number beyond any double (1e400), which the
// library's builder would throw.
class SetupDocument {
public:
    explicit SetupDocument(std::string_view text) : text_(text) {}

    bool null() { return add(nullptr); }
    bool boolean(bool value) { return add(value); }
    bool number_integer(Json::number_integer_t value) { return add(value); }
    bool number_unsigned(Json::number_unsigned_t value) { return add(value); }
    bool number_float(Json::number_float_t value, const std::string&) { return add(value); }
    bool string(std::string& value) { return add(std::move(value)); }
    bool binary(Json::binary_t& value) { return add(std::move(value)); }
    bool start_object(std::size_t) { return open(Json::object()); }
    bool start_array(std::size_t) { return open(Json::array()); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }
    bool key(std::string& key) {
        Level& level = levels_.back();
        if (duplicate_.empty() && level.container->contains(key)) duplicate_ = keyName(key);
        level.key = std::move(key);
        return true;
    }
    bool parse_error(std::size_t position, const std::string& token, const Json::exception& error) {
        constexpr int kNumberOverflow = 406;
        if (error.id == kNumberOverflow) {
            const std::string key = valueKey();
            error_ = (key.empty() ? "" : quotedText(key) + ": ") + shortened(token) + " is too large a number";
        } else {
            error_ = "not valid JSON at " + placeOf(text_, position == 0 ? 0 : position - 1);
        }
        return false;
    }

    Json root;
    // Why the text was refused, or empty.
    std::string error() const {
        if (!error_.empty()) return error_;
        return duplicate_.empty() ? std::string() : quotedText(duplicate_) + ": appears twice";
    }

private:
    struct Level {
        Json* container;
        std::string key;  // an object's key being read
    };
    bool add(Json value) {
        if (levels_.empty()) {
            root = std::move(value);
        } else if (Json& container = *levels_.back().container; container.is_object()) {
            container[levels_.back().key] = std::move(value);
        } else {
            container.push_back(std::move(value));
        }
        return true;
    }
    // Only the innermost container grows, so the outer ones stay where they are.
    bool open(Json container) {
        add(std::move(container));
        Json* placed = &root;
        if (levels_.size() > 0) {
            Json& outer = *levels_.back().container;
            placed = outer.is_object() ? &outer[levels_.back().key] : &outer.back();
        }
        levels_.push_back({placed, {}});
        return true;
    }
    bool close() {
        levels_.pop_back();
        return true;
    }
    // A key of the innermost object as errors name it: "analog",
    // "group3.values"; deeper in, the key of the file that holds it.
    std::string keyName(const std::string& key) const {
        if (levels_.size() == 1) return key;
        if (levels_.size() == 3 && levels_[0].key == kGroupsKey && levels_[1].container->is_array()) {
            return groupKeyName(static_cast<int>(levels_[1].container->size()) - 1, key);
        }
        return levels_[0].key;
    }
    // The key of the value being read, or empty outside any object.
    std::string valueKey() const {
        if (levels_.empty()) return {};
        if (levels_.back().container->is_object()) return keyName(levels_.back().key);
        return levels_.size() == 1 ? std::string() : levels_[0].key;
    }
    std::string_view text_;
    std::vector<Level> levels_;
    std::string duplicate_;
    std::string error_;
};

// Why a text is refused before it is parsed: beyond the size or the budget
// of its form, or holding a NUL byte (which the parser would take for the
// end of the text, reading what comes before it as the whole setup). One
// pass over the bytes, minding only strings, brackets and commas.
std::optional<std::string> unparsable(std::string_view text) {
    if (text.size() > kSetupFileLimit) {
        return "larger than " + std::to_string(kSetupFileLimit) + " bytes; no setup is that large";
    }
    int depth = 0;
    std::size_t values = 0;
    bool inString = false;
    bool escaped = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\0') return "holds a NUL byte at " + placeOf(text, i) + "; a setup is text";
        if (inString) {
            if (escaped) {
                escaped = false;
            } else {
                escaped = c == '\\';
                inString = c != '"';
            }
            continue;
        }
        if (c == '"') inString = true;
        if ((c == ']' || c == '}') && depth > 0) --depth;
        if ((c == '[' || c == '{') && ++depth > kSetupDepthLimit) {
            return "nested deeper than " + std::to_string(kSetupDepthLimit) + " levels; a setup nests 3";
        }
        if ((c == '[' || c == '{' || c == ',') && ++values > kSetupValueLimit) {
            return "more than " + std::to_string(kSetupValueLimit) + " values; no setup has that many";
        }
    }
    return std::nullopt;
}

// A failure inside the JSON library that no check foresaw, as a refusal.
std::string unforeseen(const Json::exception& e) { return std::string("cannot be read: ") + e.what(); }

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

namespace {

SetupCheck checkObject(const Json& object) {
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
            if (auto problem = nameProblem(setup.name)) return refused(key, *problem);
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
        if (!object.contains(entry->option) && !entry->writtenWhenSet) defaulted.push_back(entry->option);
    }
    if (!object.contains(kGroupsKey)) defaulted.push_back(kGroupsKey);
    defaulted.insert(defaulted.end(), setup.defaultedKeys.begin(), setup.defaultedKeys.end());
    setup.defaultedKeys = std::move(defaulted);
    return {std::move(setup), {}, {}};
}

SetupReadResult readText(std::string_view text) {
    if (auto problem = unparsable(text)) return {std::nullopt, std::move(*problem)};
    SetupDocument document(text);
    Json::sax_parse(text.begin(), text.end(), &document);
    if (std::string error = document.error(); !error.empty()) return {std::nullopt, std::move(error)};
    SetupCheck check = checkSetupObject(document.root);
    if (!check.setup)
        return {std::nullopt, check.key.empty() ? check.problem : quotedText(check.key) + ": " + check.problem};
    return {std::move(check.setup), {}};
}

}  // namespace

SetupCheck checkSetupObject(const Json& object) {
    try {
        return checkObject(object);
    } catch (const Json::exception& e) {
        return refused({}, unforeseen(e));
    }
}

SetupReadResult readSetupText(std::string_view text) {
    try {
        return readText(text);
    } catch (const Json::exception& e) {
        return {std::nullopt, unforeseen(e)};
    }
}

std::optional<std::string> nameProblem(std::string_view name) {
    if (auto problem = nameCharacterProblem(name)) return problem;
    if (const std::size_t length = characters(name); length > kSetupNameLimit) {
        return std::to_string(length) + " characters; a name holds at most " + std::to_string(kSetupNameLimit);
    }
    return std::nullopt;
}

std::string foldedText(std::string_view text) {
    std::string folded;
    for (const char c : text) {
        if (kBlanks.find(c) != std::string_view::npos) continue;
        folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return folded;
}

std::optional<std::size_t> itemNamed(std::span<const std::string> items, std::string_view text) {
    const std::string wanted = foldedText(text);
    std::optional<std::size_t> found;
    bool several = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string item = foldedText(items[i]);
        if (item == wanted) return i;
        if (!wanted.empty() && item.starts_with(wanted)) {
            several = found.has_value();
            found = i;
        }
    }
    return several ? std::nullopt : found;
}

TypedValue typedValue(const Entry& entry, std::string_view text) {
    if (entry.isList()) {
        if (const std::optional<std::size_t> item = itemNamed(entry.items, text)) {
            return {static_cast<std::int32_t>(*item), {}};
        }
        return {std::nullopt, notInList(entry, shown(std::string(text)))};
    }
    // The channel counts forgive a spreadsheet's padding (" 7 "); the alarm
    // share and the card reserve, which no older file holds, are digits
    // alone: " 5" may be what is left of "1 5" or "0, 5".
    const std::string_view number = entry.writtenWhenSet ? text : trimBlanks(text);
    std::string_view digits = number;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return {std::nullopt, notWhole(entry, shown(std::string(text)))};
    }
    // Digits that parseDecimal refuses are beyond 32 bits: outside the range too.
    const std::optional<std::int32_t> value = parseDecimal(number);
    if (!value || *value < 0 || *value > entry.maximum) {
        return {std::nullopt, shortened(std::string(number)) + " is outside " + range(entry)};
    }
    return {*value, {}};
}

Json setupObject(const CalculatorEntries& entries, std::string_view name) {
    auto valueOf = [&entries](const Entry& entry) {
        const std::int32_t value = entry.fitted(entry.field(entries));
        return entry.isList() ? Json(entry.items[static_cast<std::size_t>(value)]) : Json(value);
    };
    auto written = [&entries](const Entry& entry) {
        return !entry.writtenWhenSet || entry.fitted(entry.field(entries)) != entry.resetValue;
    };
    Json object = objectWithRoom(5 + topLevelEntries().size());
    object[kFormatKey] = std::string(kSetupFormat);
    object[kVersionKey] = kSetupVersion;
    object[kModelKey] = std::string(kModelName);
    object[kNameKey] = oneLineName(name);
    for (const Entry* entry : topLevelEntries()) {
        if (written(*entry)) object[entry->option] = valueOf(*entry);
    }
    Json groups = arrayWithRoom(kGroups);
    for (int g = 0; g < kGroups; ++g) {
        Json group = objectWithRoom(groupEntries(g).size());
        for (const Entry* entry : groupEntries(g)) {
            if (written(*entry)) group[entry->option] = valueOf(*entry);
        }
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
        text += "  " + quotedText(it.key()) + ": ";
        if (it->is_array()) {
            text += "[\n";
            for (std::size_t g = 0; g < it->size(); ++g) {
                std::string line;
                for (const auto& [key, value] : (*it)[g].items()) {
                    line += (line.empty() ? "" : ", ") + quotedText(key) + ": " + dumped(value);
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
