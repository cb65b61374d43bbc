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
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/entries.h"

namespace capacimo {

inline constexpr std::string_view kSetupFormat = "capacimo-setup";
inline constexpr int kSetupVersion = 1;
inline constexpr std::string_view kSetupExtension = ".capacimo";
// A larger text is refused unread.
inline constexpr std::size_t kSetupFileLimit = 1024 * 1024;

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

SetupReadResult readSetupText(std::string_view text);

// The setup as the file holds it, keys in file order. Counts outside their
// range are clamped and positions outside a list give its first entry, as the
// dialog's controls do, so that whatever is written can be read again.
nlohmann::ordered_json setupObject(const CalculatorEntries& entries, std::string_view name);
// The whole file, one key per line and one group per line; ends in '\n'.
std::string writeSetupText(const CalculatorEntries& entries, std::string_view name);

// The check behind readSetupText, for readers that build the object
// themselves (the plant CSV). On a refusal, key names the offending key
// ("analog", "group3.cycle") and problem says what is wrong with it.
struct SetupCheck {
    std::optional<SetupFile> setup;
    std::string key;
    std::string problem;
};
SetupCheck checkSetupObject(const nlohmann::ordered_json& object);

// The name of a group's entry outside its group object: "group3.cycle".
// group is 0-based. Errors and the plant CSV's columns use it.
std::string groupKey(int group, const Entry& entry);

// The entries a setup names at its top level (card, counts, analyses), in
// file order, and those of one group (cycle, values, states).
const std::vector<const Entry*>& topLevelEntries();
const std::vector<const Entry*>& groupEntries(int group);  // group is 0-based

}  // namespace capacimo
