// What capacimo-calc prints without --json: the result table, where the bytes
// go and what reaches a retention target when asked. The status line is not
// part of it: the program writes it to stderr.
#pragma once

#include <string>

#include "calculator/result_record.h"

namespace capacimo::cli {

std::string formatText(const ResultRecord& record);

}  // namespace capacimo::cli
