// The calculation core as the web page sees it: a few functions that take and
// give JSON text, so that the page holds no rule, range, text or number of
// its own. Entries cross as one number per row of the entry table (entries()).
// web/binding.cpp hands them to the page; they are plain C++, so that native
// programs (the fuzz targets) call them as the page does.
#pragma once

#include <string>

namespace capacimo::web {

// The entry table, with the result table's headings, the Details' fixed
// words (the title and the retention target's line) and the setup file's
// extension and longest name.
std::string entries();
// The Reset values.
std::string defaults();
// The values after the entry with this key changed: its dependent counts set.
std::string adjust(const std::string& valuesJson, const std::string& changedKey);
// The values a store of texts gives: a JSON object from each entry's stored
// name to its text. Anything that is not a text counts as missing.
std::string fromStore(const std::string& storedJson);
// What capacimo-calc --json prints for a setup file's text and these options.
// With the option "words": true the reply's last member, "words", holds the
// result's breakdown, durations without each writer and plan in the words
// every report uses: one reply, whatever was asked before.
std::string calculate(const std::string& setupJson, const std::string& optionsJson);
// The same for the values of the form, as typed (also beyond a field's range).
std::string calculateValues(const std::string& valuesJson, const std::string& optionsJson);
// The setup file of these values and this name; empty for values that are not
// one whole number per entry.
std::string setupText(const std::string& valuesJson, const std::string& name);
// A setup file's text as values: {"values": [...], "name", "defaulted": [keys]},
// or {"error": "..."} when the file is refused.
std::string readSetup(const std::string& text);

}  // namespace capacimo::web
