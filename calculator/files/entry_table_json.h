// The entry table and the dialog's words as one JSON object, for programs
// that build the calculator's form themselves (the web edition): every page
// with its caption, and every entry with its caption, page, row, range or
// list, reset value, command-line option and stored name.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace capacimo {

nlohmann::ordered_json entryTableObject();
std::string entryTableJson();

}  // namespace capacimo
