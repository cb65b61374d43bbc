#include "calculator/plant/plant_csv.h"

#include <algorithm>
#include <istream>
#include <limits>

#include "calculator/files/json_text.h"
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

// A file's stream. istream::ignore looks for a line break in the stream's
// buffer at once, where taking each byte on its own would be slow: a row of
// gigabytes is skipped in the time the disk gives it.
class StreamSource final : public PlantByteSource {
public:
    explicit StreamSource(std::istream& in) : stream_(in), buffer_(*in.rdbuf()) {}
    int peek() override { return buffer_.sgetc(); }
    int take() override { return buffer_.sbumpc(); }
    bool skipLine() override {
        stream_.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        return !stream_.eof();
    }

private:
    std::istream& stream_;
    std::streambuf& buffer_;
};

class TextSource final : public PlantByteSource {
public:
    explicit TextSource(std::string_view text) : text_(text) {}
    int peek() override { return at_ < text_.size() ? static_cast<unsigned char>(text_[at_]) : kEnd; }
    int take() override { return at_ < text_.size() ? static_cast<unsigned char>(text_[at_++]) : kEnd; }
    bool skipLine() override {
        const std::size_t lineBreak = text_.find('\n', at_);
        at_ = lineBreak == std::string_view::npos ? text_.size() : lineBreak + 1;
        return lineBreak != std::string_view::npos;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

// An empty line reads as one empty field.
bool PlantCsvReader::isBlank(const Record& record) {
    return record.problem.empty() && record.fields.size() == 1 && record.fields[0].empty();
}

// A row of commas alone, as a spreadsheet writes a blank row.
bool PlantCsvReader::hasOnlyEmptyCells(const Record& record) {
    return record.problem.empty() &&
           std::all_of(record.fields.begin(), record.fields.end(), [](const std::string& f) { return f.empty(); });
}

const std::vector<std::string>& plantCsvColumns() {
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> list{kNameColumn, std::string(kPlantStartColumn), std::string(kPlantTargetColumn),
                                      std::string(kPlantMediumColumn)};
        for (const Entry* entry : topLevelEntries()) list.push_back(entry->option);
        for (int g = 0; g < kGroups; ++g) {
            for (const Entry* entry : groupEntries(g)) list.push_back(groupKey(g, *entry));
        }
        return list;
    }();
    return columns;
}

PlantCsvReader::PlantCsvReader(std::istream& in) : in_(std::make_unique<StreamSource>(in)) { readHeader(); }

PlantCsvReader::PlantCsvReader(std::string_view text) : in_(std::make_unique<TextSource>(text)) { readHeader(); }

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
}

std::string PlantCsvReader::takeSeparator(const Record& header) {
    // The header was split at either; its names hold neither.
    if (header.commas && header.semicolons) {
        return lineText(header.line) + ", header: both , and ; separate its names; a plant CSV uses one of them";
    }
    separator_ = header.semicolons ? ';' : ',';
    return {};
}

void PlantCsvReader::skipLine() {
    if (in_->skipLine()) ++linesRead_;
}

std::string PlantCsvReader::skipByteOrderMark() {
    const std::string bom = "\xEF\xBB\xBF";
    std::size_t matched = 0;
    while (matched < bom.size() && in_->peek() == static_cast<unsigned char>(bom[matched])) {
        in_->take();
        ++matched;
    }
    return matched < bom.size() ? bom.substr(0, matched) : std::string();
}

bool PlantCsvReader::readRecord(Record& record, bool header) {
    record = Record{};
    record.line = linesRead_ + 1;
    std::string field;
    bool inQuotes = false;
    bool quoted = false;  // the field began with a quote
    std::size_t bytes = 0;
    auto problem = [&record](std::string text) {
        if (record.problem.empty()) record.problem = std::move(text);
    };
    auto fieldProblem = [&](const char* text) { problem("field " + std::to_string(record.fields.size() + 1) + text); };
    if (atStart_) {
        atStart_ = false;
        field = skipByteOrderMark();
    }
    for (int c = in_->take(); c != PlantByteSource::kEnd; c = in_->take()) {
        record.empty = false;
        if (c == '\r' && in_->peek() == '\n') continue;  // CRLF: the LF ends the line
        if (c == '\n') {
            ++linesRead_;
            // No value holds a line break, so a quote still open here was
            // left open by mistake: it costs this line only.
            if (inQuotes) fieldProblem(": the quote is not closed on its line");
            record.fields.push_back(std::move(field));
            return true;
        }
        if (++bytes > kPlantRowLimit) {
            problem("the row is longer than " + std::to_string(kPlantRowLimit) + " bytes");
            record.fields.clear();
            if (!header) skipLine();
            return true;
        }
        if (inQuotes) {
            if (c != '"') {
                field += static_cast<char>(c);
            } else if (in_->peek() == '"') {
                field += static_cast<char>(in_->take());
            } else {
                inQuotes = false;
            }
        } else if (c == separator_ || (header && (c == ',' || c == ';'))) {
            (c == ';' ? record.semicolons : record.commas) = true;
            record.fields.push_back(std::move(field));
            field.clear();
            quoted = false;
        } else if (c == '"' && field.empty() && !quoted) {
            inQuotes = quoted = true;
        } else {
            if (c == '"' || quoted)
                fieldProblem(": a quote inside a field; quote the whole field, doubling its quotes");
            field += static_cast<char>(c);
        }
    }
    // The end of the input ends the last line.
    if (record.empty && field.empty()) return false;
    record.empty = false;
    if (inQuotes) fieldProblem(": the quote is not closed on its line");
    record.fields.push_back(std::move(field));
    return true;
}

bool PlantCsvReader::next(PlantRow& row) {
    if (!fileError_.empty()) return false;
    // A run of rows with only empty cells is one note, given before the row after it.
    std::size_t emptyFrom = 0;
    std::size_t emptyTo = 0;
    Record record;
    auto skipped = [&] {
        row = PlantRow{};
        row.line = emptyFrom;
        row.note = linesText(emptyFrom, emptyTo) + ": every cell is empty; skipped";
        return true;
    };
    while (pending_ || readRecord(record)) {
        if (pending_) {
            record = std::move(*pending_);
            pending_.reset();
        }
        if (isBlank(record)) continue;
        if (hasOnlyEmptyCells(record)) {
            if (emptyFrom == 0) emptyFrom = record.line;
            emptyTo = record.line;
            continue;
        }
        if (emptyFrom != 0) {
            pending_ = std::move(record);
            return skipped();
        }
        row = checkedRow(record);
        return true;
    }
    return emptyFrom != 0 && skipped();
}

// The JSON library's failures, which no check should meet, cost the row only.
PlantRow PlantCsvReader::checkedRow(const Record& record) const {
    try {
        return rowOf(record);
    } catch (const Json::exception& e) {
        PlantRow row;
        row.line = record.line;
        row.error = lineText(record.line) + ": cannot be read: " + e.what();
        return row;
    }
}

void PlantCsvReader::readPlantCell(PlantRow& row, std::string_view column, const std::string& text) const {
    std::string problem;
    if (column == kPlantStartColumn) {
        DateReading date = readDate(text);
        row.start = date.date;
        problem = std::move(date.problem);
    } else if (column == kPlantTargetColumn) {
        TargetReading target = readTarget(text);
        row.targetHours = target.hours;
        problem = std::move(target.problem);
    } else if (const std::optional<Medium> medium = mediumFromId(foldedText(text))) {
        row.targetMedium = *medium;
    } else {
        problem = problemText(text) + " is not " + std::string(mediumId(Medium::Internal)) + " or " +
                  std::string(mediumId(Medium::Card));
    }
    if (!problem.empty())
        row.problems.push_back(lineText(row.line) + ", column " + std::string(column) + ": " + problem);
}

PlantRow PlantCsvReader::rowOf(const Record& record) const {
    PlantRow row;
    row.line = record.line;
    auto refused = [&row](std::string error) {
        PlantRow refusal;
        refusal.line = row.line;
        refusal.error = std::move(error);
        return refusal;
    };
    if (!record.problem.empty()) return refused(lineText(record.line) + ": " + record.problem);
    if (record.fields.size() > columns_.size()) {
        return refused(lineText(record.line) + ": " + std::to_string(record.fields.size()) +
                       " fields, the header names " + std::to_string(columns_.size()));
    }
    // The row as a setup object, so that it is judged by the setup file's own rules.
    Json object;
    object["format"] = std::string(kSetupFormat);
    object["version"] = kSetupVersion;
    object["model"] = std::string(kModelName);
    Json groups = Json::array();
    for (int g = 0; g < kGroups; ++g) groups.push_back(Json::object());
    const auto& top = topLevelEntries();
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
        const std::string& text = record.fields[i];
        if (text.empty()) continue;  // left to its default
        const std::size_t column = columns_[i];
        if (column == 0) {
            object["name"] = text;
            continue;
        }
        if (column < kSetupColumnsFrom) {
            readPlantCell(row, plantCsvColumns()[column], text);
            continue;
        }
        // The setup's columns: the top-level entries, then three per group.
        const std::size_t place = column - kSetupColumnsFrom;
        const bool topLevel = place < top.size();
        const std::size_t perGroup = groupEntries(0).size();
        const int g = topLevel ? -1 : static_cast<int>((place - top.size()) / perGroup);
        const Entry* entry = topLevel ? top[place] : groupEntries(g)[(place - top.size()) % perGroup];
        // The cell as the option takes it, then into the object as the file would hold it.
        const TypedValue typed = typedValue(*entry, text);
        if (!typed.value)
            return refused(lineText(record.line) + ", column " + plantCsvColumns()[column] + ": " + typed.problem);
        Json value = entry->isList() ? Json(entry->items[static_cast<std::size_t>(*typed.value)]) : Json(*typed.value);
        (topLevel ? object : groups[static_cast<std::size_t>(g)])[entry->option] = std::move(value);
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
    const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    std::string cell = formula ? "'" : "";
    cell += text;
    return cell;
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
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (const char c : text) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace capacimo
