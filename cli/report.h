// What capacimo-calc prints without --json: the result table, where the bytes
// go and what reaches a retention target when asked. The status line is not
// part of it: the program writes it to stderr.
#pragma once

#include <string>
#include <vector>

#include "calculator/files/result_record.h"

namespace capacimo::cli {

std::string formatText(const ResultRecord& record);

// One cell of a plain-text table: its text and width, a negative width
// aligning it to the left.
struct Cell {
    std::string text;
    int width = 0;
};
// The cells two blanks apart, without blanks at the end of the line; ends in '\n'.
std::string tableLine(const std::vector<Cell>& cells);

}  // namespace capacimo::cli
