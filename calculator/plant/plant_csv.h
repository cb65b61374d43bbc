// A whole plant as one CSV file: a header row of column names, then one
// recorder per row. The columns are "name"; the recorder's days and target,
// "start" (the day its memory was last emptied, 2026-03-14 or 14.03.2026),
// "target" (a retention such as 26w) and "medium" (the target's: internal or
// sd); then the setup file's keys: the card, count and analysis options, and
// "group1.cycle", "group1.values", "group1.states" .. "group10.states". A
// setup column the header leaves out, and an empty cell, take the Reset
// value and are reported as defaulted; an empty start, target or medium is
// none (the internal memory for the medium).
//
// The reader streams: it holds one row at a time, so a file of any size is
// read in the memory of its longest row (at most kPlantRowLimit bytes). Each
// row is judged by the setup file's own rules; a bad row is reported with its
// line and column and the rows after it are read on. A bad start, target or
// medium costs only that value: the row is kept without it, with a problem
// naming its line and column. A bad header refuses the whole file, since no
// row could be understood without it.
//
// The form is RFC 4180's: fields separated by commas, a field in double
// quotes may hold commas and doubled quotes; CRLF or LF line ends; a UTF-8
// byte order mark before the header is skipped; empty lines are skipped, and
// so are rows whose cells are all empty (a spreadsheet's blank rows), with a
// note. A spreadsheet in a German locale separates fields by semicolons: a
// header with a semicolon outside quotes and no comma makes semicolons the
// separator of the whole file. One row is one line: no value of a setup
// holds a line break, so a quote left open at the end of a line is an error
// of that row and costs no other. A cell takes what the command line's
// option takes ("1GB").
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calculator/duration.h"
#include "calculator/files/setup_file.h"
#include "calculator/plant/calendar_date.h"

namespace capacimo {

// A longer row is refused; the reader goes on at the next line. A longer
// header refuses the file at once, unread beyond the limit.
inline constexpr std::size_t kPlantRowLimit = 64 * 1024;

// The columns before the setup's.
inline constexpr std::string_view kPlantStartColumn = "start";
inline constexpr std::string_view kPlantTargetColumn = "target";
inline constexpr std::string_view kPlantMediumColumn = "medium";

// One recorder of the plant: its setup with its days and target, or why its
// row was refused; or a note that rows were skipped.
struct PlantRow {
    std::size_t line = 0;  // the file's line (from 1) on which the row begins
    std::optional<SetupFile> setup;
    std::optional<CalendarDate> start;
    std::optional<std::int64_t> targetHours;
    Medium targetMedium = Medium::Internal;
    std::string error;                  // e.g. line 7, column analog: 41 is outside 0..40
    std::vector<std::string> problems;  // cells left out of a row that was kept, e.g.
                                        // line 7, column start: 2026-13-01 is not a day: there is no month 13
    std::string note;                   // e.g. lines 5 .. 7: every cell is empty; skipped
};

// Every column a plant may have, in the order a header best lists them.
const std::vector<std::string>& plantCsvColumns();

// Where a reader takes its bytes from: a file's stream on the command line,
// a text in memory in the web page and the plant window. A text is read
// without the C++ stream library, which would more than double the web
// module's size.
class PlantByteSource {
public:
    static constexpr int kEnd = -1;  // what a stream's buffer gives at the end, too
    virtual ~PlantByteSource() = default;
    // The next byte as 0..255, or kEnd; take() also goes past it.
    virtual int peek() = 0;
    virtual int take() = 0;
    // Past the next line break; false when the end came first.
    virtual bool skipLine() = 0;
};

class PlantCsvReader {
public:
    // Read the header row at once. The text must outlive the reader.
    explicit PlantCsvReader(std::istream& in);
    explicit PlantCsvReader(std::string_view text);
    ~PlantCsvReader();

    // Why the whole file is refused (a missing or bad header), or empty.
    const std::string& fileError() const { return fileError_; }
    // The next recorder; false at the end of the file or when the file is refused.
    bool next(PlantRow& row);

private:
    struct Record {
        std::size_t line = 0;
        std::vector<std::string> fields;
        std::string problem;
        bool empty = true;    // nothing read: the end of the input
        bool commas = false;  // outside quotes; of the header only
        bool semicolons = false;
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
    // The separator the header's fields show, or why it is not clear.
    std::string takeSeparator(const Record& header);
    PlantRow rowOf(const Record& record) const;
    PlantRow checkedRow(const Record& record) const;
    // A start, target or medium cell into the row, or a problem of the row.
    void readPlantCell(PlantRow& row, std::string_view column, const std::string& text) const;

    void readHeader();

    std::unique_ptr<PlantByteSource> in_;
    std::size_t linesRead_ = 0;
    bool atStart_ = true;
    char separator_ = ',';
    std::optional<Record> pending_;     // read after a run of empty rows, given out next
    std::vector<std::size_t> columns_;  // each header field's place in plantCsvColumns()
    std::string fileError_;
};

// Recorders that share a name are all kept; this says so, once for each
// further one: "line 9: "Boiler 1" is also the name of line 3; both are kept".
class PlantNames {
public:
    // The note for a recorder of that name on that line; empty for a name not seen before.
    std::string noteFor(const std::string& name, std::size_t line);

private:
    std::unordered_map<std::string, std::size_t> lines_;  // each name's first line
};

// The cells of a row, written as the reader reads them: each a field
// (csvField), separated by commas, ended by a line break.
std::string csvLine(const std::vector<std::string>& cells);

// A field as a CSV file holds it: in double quotes, with its quotes doubled,
// when it holds a comma, a quote or a line break; otherwise as it is.
std::string csvField(std::string_view text);

// A text for a cell of a CSV file that people open in a spreadsheet. A cell
// that starts with = + - @, a tab or a carriage return is taken there for a
// formula, which a recorder's name from somebody else's file must not become;
// such a text gets a leading apostrophe, which the spreadsheet shows as text.
std::string spreadsheetText(std::string_view text);

}  // namespace capacimo
