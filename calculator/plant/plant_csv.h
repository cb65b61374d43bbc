// A whole plant as one CSV file: a header row of column names, then one
// recorder per row. The columns are "name"; the recorder's days and target,
// "start" (the day its memory was last emptied, 2026-03-14 or 14.03.2026 and
// the other forms readDate takes), "target" (a retention such as 26w) and
// "medium" (the target's: internal or sd); then the setup file's keys: the
// card, count and analysis options, and "group1.cycle", "group1.values",
// "group1.states" .. "group10.states". A setup column the header leaves out,
// and an empty cell, take the Reset value and are reported as defaulted; an
// empty start, target or medium is none (the internal memory for the medium).
//
// The reader streams: it holds one row at a time, so a file of any size is
// read in the memory of its longest row (at most kPlantRowLimit bytes are
// read as cells). Each row is judged by the setup file's own rules; a bad row
// is reported with its line and column and the rows after it are read on.
// A bad start, target or medium costs only that value: the row is kept
// without it, with a problem naming its line and column, and the cell's text
// is kept to be written back. A bad header refuses the whole file, since no
// row could be understood without it. Nothing the reader refuses is lost: a
// refused row comes with its text, to be written back as it was.
//
// The file is read as spreadsheets write it:
// - the text in UTF-8, with or without a byte order mark; in UTF-16 with a
//   byte order mark ("Unicode text"); a row whose bytes are not UTF-8 is read
//   as Windows-1252 (a Western European spreadsheet's "CSV"). A note says
//   which of these was read where it was not plain UTF-8 (and where UTF-16
//   held half a character, which U+FFFD replaces).
// - lines ending in LF, CRLF or CR alone (older Macs);
// - RFC 4180's fields: separated by commas, a field in double quotes may hold
//   commas, doubled quotes and line breaks (Alt+Enter in a cell). A line
//   break or tab in a name becomes a blank, with a note. A quote that opens
//   a field and is never closed costs its own line only: the lines after it
//   are read again as rows.
// - a header with semicolons and no comma makes semicolons the separator of
//   the whole file (a German spreadsheet's CSV); a header with tabs and no
//   other separator makes it tabs ("Unicode text").
// - a row must have as many cells as the header names; a cell holding
//   another file's separator outside quotes is named in the refusal.
// - empty lines are skipped, and so are rows whose cells are all empty (a
//   spreadsheet's blank rows), with a note.
// - a cell a spreadsheet would take for a formula is written with an
//   apostrophe before it (spreadsheetText); the reader takes it off again.
// A cell takes what the command line's option takes ("1GB").
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calculator/duration.h"
#include "calculator/files/setup_file.h"
#include "calculator/plant/calendar_date.h"
#include "calculator/plant/plant.h"

namespace capacimo {

// A longer row is refused; the reader goes on at the next line. A longer
// header refuses the file at once, unread beyond the limit.
inline constexpr std::size_t kPlantRowLimit = 64 * 1024;

// The columns before the setup's.
inline constexpr std::string_view kPlantStartColumn = "start";
inline constexpr std::string_view kPlantTargetColumn = "target";
inline constexpr std::string_view kPlantMediumColumn = "medium";

// One recorder of the plant: its setup with its days and target, or why its
// row was refused; or a note (rows skipped, the encoding read).
struct PlantRow {
    std::size_t line = 0;  // the file's line (from 1) on which the row begins
    std::optional<SetupFile> setup;
    std::optional<CalendarDate> start;
    std::optional<std::int64_t> targetHours;
    Medium targetMedium = Medium::Internal;
    RefusedCells refused;                // the texts of the start, target and medium cells refused
    std::string error;                   // e.g. line 7, column analog: 41 is outside 0..40
    std::string kept;                    // with an error: the row's cells as a CSV line, to write back
    std::vector<std::string> keptCells;  // and its cells in plantCsvColumns() order, when they could be told apart
    std::vector<std::string> problems;   // cells left out of a row that was kept, e.g.
                                         // line 7, column start: 2026-13-01 is not a day: there is no month 13
    std::string note;                    // e.g. lines 5 .. 7: every cell is empty; skipped
};

// Every column a plant may have, in the order a header best lists them.
const std::vector<std::string>& plantCsvColumns();
// A column of an entry written only when set (plantCsvColumns() place): a
// file names it only where some row sets it.
bool plantColumnWhenSet(std::size_t column);
// The columns (plantCsvColumns() places) a row of cells in that order needs:
// every column but those written only when set, and of those the ones it fills.
std::vector<std::size_t> plantColumnsSet(std::span<const std::string> cells);
// The cells at the given columns as a CSV line, without its line end.
std::string csvLineIn(std::span<const std::string> cells, std::span<const std::size_t> columns);

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
    class Input;
    struct Record;
    static bool isBlank(const Record& record);
    static bool hasOnlyEmptyCells(const Record& record);
    // The fields of one record; false at the end of the input. A header
    // longer than the limit is left at once.
    bool readRecord(Record& record, bool header = false);
    bool readOneRecord(Record& record, bool header);
    // A line end met while reading: true when it ends the record, false
    // when it is part of a quoted field.
    bool endsRecord(Record& record, int c);
    // One byte of a record into its fields, by the quotes and separators.
    void takeByte(Record& record, int c, bool header);
    // A record whose quote ran over its line and then failed: its first
    // line alone, the rest given back to be read again.
    void cutToFirstLine(Record& record);
    // Bytes that are not UTF-8 read as Windows-1252, with a note the first time.
    void decode(Record& record);
    // The separator the header's fields show, or why it is not clear.
    std::string takeSeparator(const Record& header);
    PlantRow rowOf(const Record& record) const;
    // Why a row's cells are not as many as the header's.
    std::string widthError(const Record& record) const;
    PlantRow checkedRow(const Record& record) const;
    // A start, target or medium cell into the row, or a problem of the row.
    void readPlantCell(PlantRow& row, std::string_view column, const std::string& text) const;
    // A refused row's cells, and its text as a CSV line of the columns a
    // plant file writes, or as it was when its cells cannot be told apart.
    void keep(const Record& record, PlantRow& row) const;

    void readHeader();

    std::unique_ptr<Input> in_;
    std::size_t linesRead_ = 0;
    char separator_ = ',';
    std::vector<std::unique_ptr<Record>> pending_;  // given out next, first to last
    std::vector<std::string> notes_;                // notes to give out before the next row
    std::size_t windows1252From_ = 0;               // the first line read as Windows-1252
    std::vector<std::size_t> columns_;              // each header field's place in plantCsvColumns()
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
// when it holds a separator (comma, semicolon, tab), a quote or a line
// break; otherwise as it is.
std::string csvField(std::string_view text);
// The same in quotes always.
std::string quotedField(std::string_view text);

// A text for a cell of a CSV file that people open in a spreadsheet. A cell
// whose first character other than a blank is = + - @, or that starts with a
// tab or a carriage return, is taken there for a formula, which a recorder's
// name from somebody else's file must not become: such a text gets an
// apostrophe before it, which spreadsheets show as text. So does a text that
// starts with an apostrophe itself, so that the reader can take the one it
// put there off again (spreadsheetCell) and every name comes back the same,
// and one that starts with a double quote.
std::string spreadsheetText(std::string_view text);
// A cell as a plant file holds it, back to the text: the apostrophe that
// spreadsheetText put before it taken off.
std::string_view spreadsheetCell(std::string_view cell);

}  // namespace capacimo
