// A whole plant as one CSV file: a header row of column names, then one
// recorder per row. The columns are the setup file's keys: "name", the
// card, count and analysis options, and "group1.cycle", "group1.values",
// "group1.states" .. "group10.states". A column the header leaves out, and
// an empty cell, take the Reset value and are reported as defaulted.
//
// The reader streams: it holds one row at a time, so a file of any size is
// read in the memory of its longest row (at most kPlantRowLimit bytes). Each
// row is judged by the setup file's own rules; a bad row is reported with its
// line and column and the rows after it are read on. A bad header refuses the
// whole file, since no row could be understood without it.
//
// The form is RFC 4180's: fields separated by commas, a field in double
// quotes may hold commas and doubled quotes; CRLF or LF line ends; a UTF-8
// byte order mark before the header is skipped; empty lines are skipped, and
// so are rows whose cells are all empty (a spreadsheet's blank rows), with a
// note. One row is one line: no value of a setup holds a line break, so a
// quote left open at the end of a line is an error of that row and costs no
// other. A cell takes what the command line's option takes ("1GB").
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/files/setup_file.h"

namespace capacimo {

// A longer row is refused; the reader goes on at the next line. A longer
// header refuses the file at once, unread beyond the limit.
inline constexpr std::size_t kPlantRowLimit = 64 * 1024;

// One recorder of the plant: its setup, or why its row was refused; or a
// note that rows were skipped.
struct PlantRow {
    std::size_t line = 0;  // the file's line (from 1) on which the row begins
    std::optional<SetupFile> setup;
    std::string error;  // e.g. line 7, column analog: 41 is outside 0..40
    std::string note;   // e.g. lines 5 .. 7: every cell is empty; skipped
};

// Every column a plant may have, in the order a header best lists them.
const std::vector<std::string>& plantCsvColumns();

class PlantCsvReader {
public:
    // Reads the header row at once.
    explicit PlantCsvReader(std::istream& in);

    // Why the whole file is refused (a missing or bad header), or empty.
    const std::string& fileError() const { return fileError_; }
    // The next recorder; false at the end of the file or when the file is refused.
    bool next(PlantRow& row);

private:
    struct Record {
        std::size_t line = 0;
        std::vector<std::string> fields;
        std::string problem;
        bool empty = true;  // nothing read: the end of the input
    };
    static bool isBlank(const Record& record);
    static bool hasOnlyEmptyCells(const Record& record);
    // The fields of one line; false at the end of the input. A header longer
    // than the limit is left at once, a row is skipped to its end.
    bool readRecord(Record& record, bool header = false);
    // Past a line that is too long; its line break too.
    void skipLine();
    // Past the byte order mark some editors put before the text; the bytes
    // that began like one but were not, which are text.
    std::string skipByteOrderMark();
    PlantRow rowOf(const Record& record) const;
    PlantRow checkedRow(const Record& record) const;

    std::istream& stream_;
    std::streambuf* in_;
    std::size_t linesRead_ = 0;
    bool atStart_ = true;
    std::optional<Record> pending_;     // read after a run of empty rows, given out next
    std::vector<std::size_t> columns_;  // each header field's place in plantCsvColumns()
    std::string fileError_;
};

// A field as a CSV file holds it: in double quotes, with its quotes doubled,
// when it holds a comma, a quote or a line break; otherwise as it is.
std::string csvField(std::string_view text);

// A text for a cell of a CSV file that people open in a spreadsheet. A cell
// that starts with = + - @, a tab or a carriage return is taken there for a
// formula, which a recorder's name from somebody else's file must not become;
// such a text gets a leading apostrophe, which the spreadsheet shows as text.
std::string spreadsheetText(std::string_view text);

}  // namespace capacimo
