// A setup kept as a file: the user's entries as one JSON object, extension
// ".capacimo", UTF-8. Its keys are capacimo-calc's option names, so people,
// scripts and files share one vocabulary:
//
//   {
//     "format": "capacimo-setup",
//     "version": 1,
//     "model": "Scribent S",
//     "name": "Boiler house, recorder 3",
//     "card": "256 MB",
//     "analog": 4,
//     ...
//     "analysis1": "1h",
//     ...
//     "groups": [
//       {"cycle": "1s", "values": 4, "states": 2},
//       ... ten groups, group 1 first
//     ]
//   }
//
// Lists hold the texts the dialog's lists show, never list positions. Reading
// is strict: anything the program did not write itself in this form is
// refused with one line naming the first offending key, so a file opened
// months later means exactly what it meant when it was saved. A key that is
// missing takes the value Reset gives it and is reported in defaultedKeys.
//
// Counts that contradict each other (more totalizers than analog channels,
// nine channels in a group) are read as written, as the command line takes
// them: the count checks report them and the calculation runs on them, just as
// the dialog does for entries the user typed. Only values outside an entry's
// own range or list are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/entries.h"

namespace capacimo {

inline constexpr std::string_view kSetupFormat = "capacimo-setup";
inline constexpr int kSetupVersion = 1;
inline constexpr std::string_view kSetupExtension = ".capacimo";
// The key of the list of groups.
inline constexpr std::string_view kSetupGroupsKey = "groups";
// A larger text is refused unread.
inline constexpr std::size_t kSetupFileLimit = 1024 * 1024;
// What a setup file holds, as the refusal of a file names it: "is a pipe, not
// a setup file", "larger than 1048576 bytes; no setup is that large".
inline constexpr std::string_view kSetupKind = "setup";
// A name holds at most this many characters. It is ample for any name the
// dialog gives a setup (a file name has at most 255 bytes), and it keeps
// what is written far within kSetupFileLimit whatever was read: every file
// the reader takes can be saved and read again.
inline constexpr std::size_t kSetupNameLimit = 256;
// The budget of a text's form, checked on its bytes before it is parsed: the
// levels it nests and its values, counted as its opening brackets and commas.
// A setup nests 3 levels (the file, the list of groups, a group) and counts
// 60 (12 brackets, 48 commas). A parsed document costs 16 bytes a value and
// more, so 1 MiB of "[0,0,0,..." would grow into half a million values, more
// than the web edition's whole 16 MB heap, and 150,000 nested lists hardly
// less. The budget leaves room to name what is wrong with a file that nests a
// little deeper or holds some keys too many, and keeps any document within a
// few hundred kilobytes.
inline constexpr int kSetupDepthLimit = 16;
inline constexpr std::size_t kSetupValueLimit = 1000;

struct SetupFile {
    std::string name;  // the user's name for the recorder; may be empty
    CalculatorEntries entries;
    // Keys the file did not hold, which took their Reset value, in file order.
    std::vector<std::string> defaultedKeys;
};

struct SetupReadResult {
    std::optional<SetupFile> setup;
    std::string error;  // empty when fine; otherwise one line, e.g. "analog": 41 is outside 0..40
};

// Reads a setup from its text. A text beyond kSetupFileLimit or the budget
// of its form, or holding a NUL byte, is refused before it is parsed; every
// failure, the JSON library's included, is a refusal and never an exception.
SetupReadResult readSetupText(std::string_view text);

// The setup as the file holds it, keys in file order. Counts outside their
// range are clamped and positions outside a list give its first entry, as the
// dialog's controls do, so that whatever is written can be read again.
nlohmann::ordered_json setupObject(const CalculatorEntries& entries, std::string_view name);
// The whole file, one key per line and one group per line; ends in '\n'.
std::string writeSetupText(const CalculatorEntries& entries, std::string_view name);

// Why a recorder's name cannot be taken, in words that follow the name
// ("holds a control character; a name is one line", "300 characters; a name
// holds at most 256"), or nothing: every reader of names asks this.
std::optional<std::string> nameProblem(std::string_view name);

// The check behind readSetupText, for readers that build the object
// themselves (the plant CSV). On a refusal, key names the offending key
// ("analog", "group3.cycle") and problem says what is wrong with it.
struct SetupCheck {
    std::optional<SetupFile> setup;
    std::string key;
    std::string problem;
};
SetupCheck checkSetupObject(const nlohmann::ordered_json& object);

// An entry's value as a person types it: an option's value, a cell of a
// plant CSV. A count is a whole decimal number, a sign and blanks around it
// allowed (but no blanks for an entry written only when set, the alarm share
// and the card reserve); a list's item is named by its text without regard to letter case
// and blanks, or by the start of that text where it fits one item only
// ("1gb", "daily").
struct TypedValue {
    std::optional<std::int32_t> value;  // the count, or the item's position in its list
    std::string problem;                // otherwise, e.g. 99999999999999999999 is outside 0..8
};
TypedValue typedValue(const Entry& entry, std::string_view text);

// A text as typed texts are compared: lower case, without blanks.
std::string foldedText(std::string_view text);
// The item of a list a typed text names, as every list's value is read (an
// option's, a cell's): its text without regard to letter case and blanks, or
// the start of it where that fits one item only ("1gb", "daily",
// "read"). Nothing for any other text.
std::optional<std::size_t> itemNamed(std::span<const std::string> items, std::string_view text);

// The name of a group's entry outside its group object: "group3.cycle".
// group is 0-based. Errors and the plant CSV's columns use it.
std::string groupKey(int group, const Entry& entry);

// The entries a setup names at its top level (card, counts, analyses), in
// file order, and those of one group (cycle, values, states).
const std::vector<const Entry*>& topLevelEntries();
const std::vector<const Entry*>& groupEntries(int group);  // group is 0-based

}  // namespace capacimo
