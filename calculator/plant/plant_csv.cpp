#include "calculator/plant/plant_csv.h"

#include <algorithm>
#include <istream>
#include <utility>

#include "calculator/files/json_text.h"
#include "calculator/files/text_encoding.h"
#include "calculator/plant/plant.h"
#include "calculator/plant/problem_text.h"

namespace capacimo {
namespace {

using Json = nlohmann::ordered_json;

const std::string kNameColumn = "name";
// The name, start, target and medium come before the setup's columns.
constexpr std::size_t kSetupColumnsFrom = 4;

std::string lineText(std::size_t line) { return "line " + std::to_string(line); }

// "line 5", "lines 5 .. 7"
std::string linesText(std::size_t first, std::size_t last) {
    return first == last ? lineText(first) : "lines " + std::to_string(first) + " .. " + std::to_string(last);
}

// A file's stream, byte by byte from its buffer.
class StreamSource final : public PlantByteSource {
public:
    explicit StreamSource(std::istream& in) : buffer_(*in.rdbuf()) {}
    int peek() override { return buffer_.sgetc(); }
    int take() override { return buffer_.sbumpc(); }

private:
    std::streambuf& buffer_;
};

class TextSource final : public PlantByteSource {
public:
    explicit TextSource(std::string_view text) : text_(text) {}
    int peek() override { return at_ < text_.size() ? static_cast<unsigned char>(text_[at_]) : kEnd; }
    int take() override { return at_ < text_.size() ? static_cast<unsigned char>(text_[at_++]) : kEnd; }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

constexpr char32_t kReplacement = 0xFFFD;

bool isLineBreak(int c) { return c == '\n' || c == '\r'; }

bool isSeparator(int c) { return c == ',' || c == ';' || c == '\t'; }

// "a tab", "\";\"": a separator as a message names it.
std::string separatorName(char c) { return c == '\t' ? "a tab" : std::string("\"") + c + "\""; }

// A name's line breaks (a cell written with Alt+Enter) and tabs as blanks,
// with a note naming the line; a name is one line.
std::string oneLine(std::string text, std::size_t line, std::string& note) {
    std::string out;
    bool changed = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n' || c == '\t') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += ' ';
            changed = true;
        } else {
            out += c;
        }
    }
    if (changed) note = lineText(line) + ": the line breaks and tabs in the name are read as blanks";
    return out;
}

// Whether a spreadsheet would take a cell for a formula, or the cell starts
// with the apostrophe that says it is none. A cell that starts with a double
// quote gets one too: then no row the program writes can end a quote that a
// row kept unread left open, so that a plant file it wrote reads back with
// every recorder.
bool needsApostrophe(std::string_view text) {
    if (text.empty()) return false;
    if (std::string_view("\t\r'\"").find(text.front()) != std::string_view::npos) return true;
    const std::size_t first = text.find_first_not_of(' ');
    return first != std::string_view::npos && std::string_view("=+-@").find(text[first]) != std::string_view::npos;
}

// The first problem of a record is the one it is refused with.
void setProblem(std::string& problem, std::string text) {
    if (problem.empty()) problem = std::move(text);
}

// A cell of the setup's columns (PLACE counted from the first) into the
// setup object, or why it cannot be. The setup's columns are the top-level
// entries, then the same entries for each group in turn.
std::string putSetupCell(Json& object, Json& groups, std::size_t place, const std::string& text) {
    const auto& top = topLevelEntries();
    const bool topLevel = place < top.size();
    const std::size_t perGroup = groupEntries(0).size();
    const int g = topLevel ? -1 : static_cast<int>((place - top.size()) / perGroup);
    const Entry* entry = topLevel ? top[place] : groupEntries(g)[(place - top.size()) % perGroup];
    // The cell as the option takes it, then into the object as the file would hold it.
    const TypedValue typed = typedValue(*entry, text);
    if (!typed.value) return typed.problem;
    Json value = entry->isList() ? Json(entry->items[static_cast<std::size_t>(*typed.value)]) : Json(*typed.value);
    (topLevel ? object : groups[static_cast<std::size_t>(g)])[entry->option] = std::move(value);
    return {};
}

}  // namespace

// The file's text as UTF-8: a UTF-8 byte order mark is passed over, UTF-16
// (told by its byte order mark) is turned into UTF-8, and bytes a record gave
// back are read again before the rest.
class PlantCsvReader::Input {
public:
    enum class Encoding { Utf8, Utf16LittleEndian, Utf16BigEndian };

    explicit Input(std::unique_ptr<PlantByteSource> raw) : raw_(std::move(raw)) { readByteOrderMark(); }

    Encoding encoding() const { return encoding_; }
    // UTF-8 with nothing given back, the most of any file, straight from the source.
    int peek() {
        if (at_ == ready_.size() && encoding_ == Encoding::Utf8) return raw_->peek();
        fill();
        return at_ < ready_.size() ? static_cast<unsigned char>(ready_[at_]) : PlantByteSource::kEnd;
    }
    int take() {
        if (at_ == ready_.size() && encoding_ == Encoding::Utf8) return raw_->take();
        fill();
        return at_ < ready_.size() ? static_cast<unsigned char>(ready_[at_++]) : PlantByteSource::kEnd;
    }
    // Read these bytes again, before anything not yet read.
    void giveBack(std::string_view bytes) {
        ready_ = std::string(bytes) + ready_.substr(at_);
        at_ = 0;
    }
    // Whether text that is not UTF-16 (half a surrogate pair, an odd last
    // byte) came since last asked.
    bool takeBadUtf16() { return std::exchange(badUtf16_, false); }

private:
    void readByteOrderMark() {
        std::string taken;
        const auto next = [&](int wanted) {
            if (raw_->peek() != wanted) return false;
            taken += static_cast<char>(raw_->take());
            return true;
        };
        if (next(0xEF)) {
            if (next(0xBB) && next(0xBF)) taken.clear();  // UTF-8's mark: nothing to read
        } else if (next(0xFF)) {
            if (next(0xFE)) encoding_ = Encoding::Utf16LittleEndian, taken.clear();
        } else if (next(0xFE)) {
            if (next(0xFF)) encoding_ = Encoding::Utf16BigEndian, taken.clear();
        }
        ready_ = taken;  // bytes that began like a mark but were not one are text
    }

    // The next character of UTF-16 text, as UTF-8.
    void fill() {
        if (at_ < ready_.size()) return;
        ready_.clear();
        at_ = 0;
        const std::optional<char16_t> unit = nextUnit();
        if (!unit) return;
        char32_t c = *unit;
        if (c >= 0xD800 && c <= 0xDBFF) {
            const std::optional<char16_t> low = nextUnit();
            if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (*low - 0xDC00);
            } else {
                c = kReplacement;
                badUtf16_ = true;
                lookahead_ = low;
            }
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            c = kReplacement;
            badUtf16_ = true;
        }
        appendUtf8(ready_, c);
    }

    std::optional<char16_t> nextUnit() {
        if (lookahead_) return std::exchange(lookahead_, std::nullopt);
        const int first = raw_->take();
        if (first == PlantByteSource::kEnd) return std::nullopt;
        const int second = raw_->take();
        if (second == PlantByteSource::kEnd) {  // an odd last byte
            badUtf16_ = true;
            return static_cast<char16_t>(kReplacement);
        }
        return static_cast<char16_t>(encoding_ == Encoding::Utf16LittleEndian ? first | (second << 8)
                                                                              : (first << 8) | second);
    }

    std::unique_ptr<PlantByteSource> raw_;
    Encoding encoding_ = Encoding::Utf8;
    std::string ready_;  // decoded bytes not yet taken, from at_
    std::size_t at_ = 0;
    std::optional<char16_t> lookahead_;
    bool badUtf16_ = false;
};

// One record of the file: its fields, and its text as it stood.
struct PlantCsvReader::Record {
    std::size_t line = 0;  // the line it begins on
    std::vector<std::string> fields;
    std::string raw;         // its text, line breaks inside quotes included, without its line end
    std::string terminator;  // the line end after it
    std::string problem;
    bool empty = true;  // nothing read: the end of the input
    // Separators met outside quotes: in the header any of them splits.
    bool commas = false;
    bool semicolons = false;
    bool tabs = false;
    char otherSeparator = 0;  // in a row: the first separator of another kind
    // A quote ran over a line end: where the first line ends in raw, the
    // line end's length and the field that quote opened.
    bool spans = false;
    std::size_t firstLineEnd = 0;
    std::size_t firstLineEndLength = 0;
    std::size_t openField = 0;
    bool unclosed = false;   // the input ended inside quotes
    bool overLimit = false;  // longer than kPlantRowLimit
    // While it is read: the field so far, whether a quote is open and whether
    // the field began with one, and the bytes of the row so far.
    std::string field;
    bool inQuotes = false;
    bool quoted = false;
    std::size_t bytes = 0;
};

// An empty line reads as one empty field.
bool PlantCsvReader::isBlank(const Record& record) {
    return record.problem.empty() && record.fields.size() == 1 && record.fields[0].empty();
}

// A row of separators alone, as a spreadsheet writes a blank row (in its
// own separator, or in another locale's).
bool PlantCsvReader::hasOnlyEmptyCells(const Record& record) {
    const auto empty = [](const std::string& f) { return f.empty(); };
    return record.problem.empty() && !record.fields.empty() &&
           (std::all_of(record.fields.begin(), record.fields.end(), empty) ||
            std::all_of(record.raw.begin(), record.raw.end(), isSeparator));
}

namespace {

struct Columns {
    std::vector<std::string> names;
    std::vector<bool> whenSet;  // written only when set
};

const Columns& columns() {
    static const Columns columns = [] {
        Columns c;
        c.names = {kNameColumn, std::string(kPlantStartColumn), std::string(kPlantTargetColumn),
                   std::string(kPlantMediumColumn)};
        c.whenSet.assign(c.names.size(), false);
        for (const Entry* entry : topLevelEntries()) {
            c.names.push_back(entry->option);
            c.whenSet.push_back(entry->writtenWhenSet);
        }
        for (int g = 0; g < kGroups; ++g) {
            for (const Entry* entry : groupEntries(g)) {
                c.names.push_back(groupKey(g, *entry));
                c.whenSet.push_back(entry->writtenWhenSet);
            }
        }
        return c;
    }();
    return columns;
}

}  // namespace

const std::vector<std::string>& plantCsvColumns() { return columns().names; }

bool plantColumnWhenSet(std::size_t column) { return columns().whenSet[column]; }

std::vector<std::size_t> plantColumnsSet(std::span<const std::string> cells) {
    std::vector<std::size_t> set;
    for (std::size_t c = 0; c < plantCsvColumns().size(); ++c) {
        if (!plantColumnWhenSet(c) || (c < cells.size() && !cells[c].empty())) set.push_back(c);
    }
    return set;
}

std::string csvLineIn(std::span<const std::string> cells, std::span<const std::size_t> columns) {
    std::vector<std::string> chosen;
    chosen.reserve(columns.size());
    for (const std::size_t c : columns) chosen.push_back(c < cells.size() ? cells[c] : std::string());
    std::string line = csvLine(chosen);
    line.pop_back();  // its line end
    return line;
}

PlantCsvReader::PlantCsvReader(std::istream& in) : in_(std::make_unique<Input>(std::make_unique<StreamSource>(in))) {
    readHeader();
}

PlantCsvReader::PlantCsvReader(std::string_view text)
    : in_(std::make_unique<Input>(std::make_unique<TextSource>(text))) {
    readHeader();
}

PlantCsvReader::~PlantCsvReader() = default;

void PlantCsvReader::readHeader() {
    Record header;
    bool haveHeader = false;
    while (!haveHeader && readRecord(header, true)) haveHeader = !isBlank(header);
    if (!haveHeader) {
        fileError_ = "no header row; it names the columns, such as " + kNameColumn + "," + plantCsvColumns()[1];
        return;
    }
    if (!header.problem.empty()) {
        fileError_ = lineText(header.line) + ", header: " + header.problem;
        return;
    }
    if (fileError_ = takeSeparator(header); !fileError_.empty()) return;
    const auto& known = plantCsvColumns();
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string& name = header.fields[i];
        const auto found = std::find(known.begin(), known.end(), name);
        const std::string column = lineText(header.line) + ", column " + std::to_string(i + 1) + " " + quotedText(name);
        if (found == known.end()) {
            fileError_ = column + ": unknown column; the columns are name, " + known[1] + " .. " + known.back();
            return;
        }
        const auto place = static_cast<std::size_t>(found - known.begin());
        if (std::find(columns_.begin(), columns_.end(), place) != columns_.end()) {
            fileError_ = column + ": appears twice";
            return;
        }
        columns_.push_back(place);
    }
    if (in_->encoding() != Input::Encoding::Utf8) {
        const bool little = in_->encoding() == Input::Encoding::Utf16LittleEndian;
        notes_.push_back(std::string("read as UTF-16 (") + (little ? "little" : "big") +
                         "-endian), as the byte order mark at its start says");
    }
}

std::string PlantCsvReader::takeSeparator(const Record& header) {
    // The header was split at any of them; its names hold none.
    std::string seen;
    for (const auto& [found, c] : {std::pair{header.commas, ','}, {header.semicolons, ';'}, {header.tabs, '\t'}}) {
        if (found) seen += (seen.empty() ? "" : " and ") + separatorName(c);
    }
    if (int{header.commas} + int{header.semicolons} + int{header.tabs} > 1) {
        return lineText(header.line) + ", header: " + seen + " separate its names; a plant CSV uses one of them";
    }
    separator_ = header.semicolons ? ';' : header.tabs ? '\t' : ',';
    return {};
}

bool PlantCsvReader::readRecord(Record& record, bool header) {
    if (!readOneRecord(record, header)) return false;
    // A quote that ran over its line may have been left open by mistake:
    // when what it made of the lines does not hold together, it costs its
    // own line only.
    const bool fits = header || record.fields.size() == columns_.size();
    if (record.spans && (record.unclosed || record.overLimit || !record.problem.empty() || !fits)) {
        cutToFirstLine(record);
    }
    decode(record);
    return true;
}

void PlantCsvReader::cutToFirstLine(Record& record) {
    const std::string_view rest = std::string_view(record.raw).substr(record.firstLineEnd + record.firstLineEndLength);
    in_->giveBack(std::string(rest) + record.terminator);
    record.raw.resize(record.firstLineEnd);
    record.terminator.clear();
    record.fields.clear();
    record.problem = "field " + std::to_string(record.openField + 1) + ": the quote is not closed on its line";
    linesRead_ = record.line;
}

void PlantCsvReader::decode(Record& record) {
    if (in_->encoding() != Input::Encoding::Utf8 || isUtf8(record.raw)) return;
    record.raw = utf8FromWindows1252(record.raw);
    for (std::string& field : record.fields) field = utf8FromWindows1252(field);
    if (windows1252From_ == 0) {
        windows1252From_ = record.line;
        notes_.push_back(lineText(record.line) +
                         ": the bytes are not UTF-8; read as Windows-1252, as is every later row that is not UTF-8");
    }
}

bool PlantCsvReader::readOneRecord(Record& record, bool header) {
    record = Record{};
    record.line = linesRead_ + 1;
    for (int c = in_->take(); c != PlantByteSource::kEnd; c = in_->take()) {
        record.empty = false;
        if (isLineBreak(c)) {
            if (endsRecord(record, c)) return true;
            continue;
        }
        if (++record.bytes > kPlantRowLimit && !record.overLimit) {
            record.overLimit = true;
            setProblem(record.problem, "the row is longer than " + std::to_string(kPlantRowLimit) + " bytes");
            record.fields.clear();
            // A header is refused at once; a quote running over lines is
            // cut back to its line; a long line is read to its end.
            if (header || record.spans) return true;
        }
        record.raw += static_cast<char>(c);
        if (!record.overLimit) takeByte(record, c, header);
    }
    // The end of the input ends the last line.
    if (record.empty && record.field.empty()) return false;
    record.empty = false;
    if (record.inQuotes && !record.overLimit) {
        record.unclosed = true;
        setProblem(record.problem,
                   "field " + std::to_string(record.fields.size() + 1) + ": the quote is not closed on its line");
    }
    if (!record.overLimit) record.fields.push_back(std::move(record.field));
    return true;
}

bool PlantCsvReader::endsRecord(Record& record, int c) {
    std::string end(1, static_cast<char>(c));
    if (c == '\r' && in_->peek() == '\n') end += static_cast<char>(in_->take());
    ++linesRead_;
    if (record.inQuotes && !record.overLimit) {
        // A line break in a quoted cell (Alt+Enter in a spreadsheet).
        if (!record.spans) {
            record.spans = true;
            record.firstLineEnd = record.raw.size();
            record.firstLineEndLength = end.size();
            record.openField = record.fields.size();
        }
        record.field += end;
        record.raw += end;
        return false;
    }
    record.terminator = std::move(end);
    if (!record.overLimit) record.fields.push_back(std::move(record.field));
    return true;
}

void PlantCsvReader::takeByte(Record& record, int c, bool header) {
    std::string& field = record.field;
    if (record.inQuotes) {
        if (c != '"') {
            field += static_cast<char>(c);
        } else if (in_->peek() == '"') {
            field += static_cast<char>(in_->take());
            record.raw += '"';
        } else {
            record.inQuotes = false;
        }
        return;
    }
    if (isSeparator(c) && (header || c == separator_)) {
        (c == ';' ? record.semicolons : c == '\t' ? record.tabs : record.commas) = true;
        record.fields.push_back(std::move(field));
        field.clear();
        record.quoted = false;
        return;
    }
    if (isSeparator(c) && record.otherSeparator == 0) record.otherSeparator = static_cast<char>(c);
    if (c == '"' && field.empty() && !record.quoted) {
        record.inQuotes = record.quoted = true;
        return;
    }
    if (c == '"' || record.quoted) {
        setProblem(record.problem, "field " + std::to_string(record.fields.size() + 1) +
                                       ": a quote inside a field; quote the whole field, doubling its quotes");
    }
    field += static_cast<char>(c);
}

bool PlantCsvReader::next(PlantRow& row) {
    if (!fileError_.empty()) return false;
    // A run of rows with only empty cells is one note, given before the row after it.
    std::size_t emptyFrom = 0;
    std::size_t emptyTo = 0;
    auto skipped = [&] {
        row = PlantRow{};
        row.line = emptyFrom;
        row.note = linesText(emptyFrom, emptyTo) + ": every cell is empty; skipped";
        return true;
    };
    auto noted = [&] {
        row = PlantRow{};
        row.note = std::move(notes_.front());
        notes_.erase(notes_.begin());
        return true;
    };
    Record record;
    for (;;) {
        if (!notes_.empty() && emptyFrom == 0) return noted();
        if (pending_.empty()) {
            if (!readRecord(record)) break;
            // Half a surrogate pair is no character: U+FFFD stands in its place, as a note says.
            if (in_->takeBadUtf16()) {
                notes_.push_back(lineText(record.line) + ": holds text that is not UTF-16; U+FFFD stands in its place");
            }
        } else {
            record = std::move(*pending_.front());
            pending_.erase(pending_.begin());
        }
        if (isBlank(record)) continue;
        if (hasOnlyEmptyCells(record)) {
            if (emptyFrom == 0) emptyFrom = record.line;
            emptyTo = record.line;
            continue;
        }
        // A note that came with this row (its encoding) is given first.
        if (emptyFrom != 0 || !notes_.empty()) {
            pending_.push_back(std::make_unique<Record>(std::move(record)));
            if (emptyFrom != 0) return skipped();
            continue;
        }
        row = checkedRow(record);
        return true;
    }
    if (emptyFrom != 0) return skipped();
    return !notes_.empty() && noted();
}

// The JSON library's failures, which no check should meet, cost the row only.
PlantRow PlantCsvReader::checkedRow(const Record& record) const {
    try {
        return rowOf(record);
    } catch (const Json::exception& e) {
        PlantRow row;
        row.line = record.line;
        row.error = lineText(record.line) + ": cannot be read: " + e.what();
        keep(record, row);
        return row;
    }
}

void PlantCsvReader::readPlantCell(PlantRow& row, std::string_view column, const std::string& text) const {
    std::string problem;
    std::string* refused = nullptr;
    if (column == kPlantStartColumn) {
        DateReading date = readDate(text);
        row.start = date.date;
        problem = std::move(date.problem);
        refused = &row.refused.start;
    } else if (column == kPlantTargetColumn) {
        TargetReading target = readTarget(text);
        row.targetHours = target.hours;
        problem = std::move(target.problem);
        refused = &row.refused.target;
    } else if (const std::optional<Medium> medium = mediumFromId(foldedText(text))) {
        row.targetMedium = *medium;
    } else {
        problem = problemText(text) + " is not " + std::string(mediumId(Medium::Internal)) + " or " +
                  std::string(mediumId(Medium::Card));
        refused = &row.refused.medium;
    }
    if (problem.empty()) return;
    row.problems.push_back(lineText(row.line) + ", column " + std::string(column) + ": " + problem);
    *refused = text;
}

void PlantCsvReader::keep(const Record& record, PlantRow& row) const {
    if (!record.problem.empty() || record.fields.size() != columns_.size()) {
        row.kept = record.raw;
        return;
    }
    row.keptCells.assign(plantCsvColumns().size(), {});
    for (std::size_t i = 0; i < record.fields.size(); ++i) row.keptCells[columns_[i]] = record.fields[i];
    row.kept = csvLineIn(row.keptCells, plantColumnsSet(row.keptCells));
}

std::string PlantCsvReader::widthError(const Record& record) const {
    const std::size_t cells = record.fields.size();
    std::string error = lineText(record.line) + ": " + std::to_string(cells) + (cells == 1 ? " cell" : " cells") +
                        " where the header names " + std::to_string(columns_.size());
    if (record.otherSeparator != 0) {
        error += "; it holds " + separatorName(record.otherSeparator) +
                 " outside quotes, and this file separates its cells by " + separatorName(separator_);
    }
    return error;
}

PlantRow PlantCsvReader::rowOf(const Record& record) const {
    PlantRow row;
    row.line = record.line;
    auto refused = [&](std::string error) {
        PlantRow refusal;
        refusal.line = row.line;
        refusal.error = std::move(error);
        keep(record, refusal);
        return refusal;
    };
    if (!record.problem.empty()) return refused(lineText(record.line) + ": " + record.problem);
    if (record.fields.size() != columns_.size()) return refused(widthError(record));
    // The row as a setup object, so that it is judged by the setup file's own rules.
    Json object;
    object["format"] = std::string(kSetupFormat);
    object["version"] = kSetupVersion;
    object["model"] = std::string(kModelName);
    Json groups = Json::array();
    for (int g = 0; g < kGroups; ++g) groups.push_back(Json::object());
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
        const std::string text(spreadsheetCell(record.fields[i]));
        if (text.empty()) continue;  // left to its default
        const std::size_t column = columns_[i];
        if (column == 0) {
            object["name"] = oneLine(text, record.line, row.note);
            continue;
        }
        if (column < kSetupColumnsFrom) {
            readPlantCell(row, plantCsvColumns()[column], text);
            continue;
        }
        const std::string problem = putSetupCell(object, groups, column - kSetupColumnsFrom, text);
        if (!problem.empty())
            return refused(lineText(record.line) + ", column " + plantCsvColumns()[column] + ": " + problem);
    }
    object["groups"] = std::move(groups);
    SetupCheck check = checkSetupObject(object);
    if (!check.setup) {
        return refused(lineText(record.line) + (check.key.empty() ? "" : ", column " + check.key) + ": " +
                       check.problem);
    }
    row.setup = std::move(check.setup);
    return row;
}

std::string spreadsheetText(std::string_view text) {
    std::string cell = needsApostrophe(text) ? "'" : "";
    cell += text;
    return cell;
}

std::string_view spreadsheetCell(std::string_view cell) {
    return cell.size() > 1 && cell.front() == '\'' && needsApostrophe(cell.substr(1)) ? cell.substr(1) : cell;
}

std::string PlantNames::noteFor(const std::string& name, std::size_t line) {
    const auto [first, fresh] = lines_.try_emplace(name, line);
    if (fresh) return {};
    return lineText(line) + ": \"" + problemText(name) + "\" is also the name of " + lineText(first->second) +
           "; both are kept";
}

std::string csvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += ',';
        line += csvField(cells[i]);
    }
    return line + "\n";
}

std::string csvField(std::string_view text) {
    // Quoted also where another file's separator stands, so that a
    // spreadsheet that guesses the separator splits no cell.
    if (text.find_first_of(",;\t\"\r\n") == std::string_view::npos) return std::string(text);
    return quotedField(text);
}

std::string quotedField(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace capacimo
