#include "calculator/plant_csv.h"

#include <algorithm>
#include <charconv>

namespace capacimo {
namespace {

using Json = nlohmann::ordered_json;

const std::string kNameColumn = "name";

std::string lineText(std::size_t line) { return "line " + std::to_string(line); }

// A count's cell as the setup check expects it: a whole decimal number as a
// number, anything else as text, which the check then names in its refusal.
Json countValue(const std::string& text) {
    std::int64_t n = 0;
    const char* end = text.data() + text.size();
    const bool digits = !text.empty() && text.find_first_not_of("-0123456789") == std::string::npos;
    if (digits && std::from_chars(text.data(), end, n).ptr == end) return n;
    return text;
}

}  // namespace

// An empty line reads as one empty field.
bool PlantCsvReader::isBlank(const Record& record) {
    return record.problem.empty() && record.fields.size() == 1 && record.fields[0].empty();
}

const std::vector<std::string>& plantCsvColumns() {
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> list{kNameColumn};
        for (const Entry* entry : topLevelEntries()) list.push_back(entry->option);
        for (int g = 0; g < kGroups; ++g) {
            for (const Entry* entry : groupEntries(g)) list.push_back(groupKey(g, *entry));
        }
        return list;
    }();
    return columns;
}

PlantCsvReader::PlantCsvReader(std::istream& in) : in_(in.rdbuf()) {
    Record header;
    bool haveHeader = false;
    while (!haveHeader && readRecord(header)) haveHeader = !isBlank(header);
    if (!haveHeader) {
        fileError_ = "no header row; it names the columns, such as " + kNameColumn + "," + plantCsvColumns()[1];
        return;
    }
    if (!header.problem.empty()) {
        fileError_ = lineText(header.line) + ", header: " + header.problem;
        return;
    }
    const auto& known = plantCsvColumns();
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string& name = header.fields[i];
        const auto found = std::find(known.begin(), known.end(), name);
        const std::string column = lineText(header.line) + ", column " + std::to_string(i + 1) + " " +
                                   Json(name).dump(-1, ' ', false, Json::error_handler_t::replace);
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

bool PlantCsvReader::readRecord(Record& record) {
    record = Record{};
    record.line = linesRead_ + 1;
    std::string field;
    bool inQuotes = false;
    bool quoted = false;   // the field began with a quote
    bool tooLong = false;  // past the limit: the rest of the line is skipped
    std::size_t bytes = 0;
    auto problem = [&record](std::string text) {
        if (record.problem.empty()) record.problem = std::move(text);
    };
    auto fieldProblem = [&](const char* text) { problem("field " + std::to_string(record.fields.size() + 1) + text); };
    if (atStart_) {
        atStart_ = false;
        // A byte order mark some editors put before the text.
        const std::string bom = "\xEF\xBB\xBF";
        std::size_t matched = 0;
        while (matched < bom.size() && in_->sgetc() == static_cast<unsigned char>(bom[matched])) {
            in_->sbumpc();
            ++matched;
        }
        if (matched < bom.size()) field = bom.substr(0, matched);
    }
    for (int c = in_->sbumpc(); c != std::char_traits<char>::eof(); c = in_->sbumpc()) {
        record.empty = false;
        if (c == '\r' && in_->sgetc() == '\n') continue;  // CRLF: the LF ends the line
        if (c == '\n') {
            ++linesRead_;
            // No value holds a line break, so a quote still open here was
            // left open by mistake: it costs this line only.
            if (inQuotes) fieldProblem(": the quote is not closed on its line");
            record.fields.push_back(std::move(field));
            return true;
        }
        if (tooLong) continue;
        if (++bytes > kPlantRowLimit) {
            tooLong = true;
            problem("the row is longer than " + std::to_string(kPlantRowLimit) + " bytes");
            record.fields.clear();
            field.clear();
        } else if (inQuotes) {
            if (c != '"') {
                field += static_cast<char>(c);
            } else if (in_->sgetc() == '"') {
                field += static_cast<char>(in_->sbumpc());
            } else {
                inQuotes = false;
            }
        } else if (c == ',') {
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
    Record record;
    while (readRecord(record)) {
        if (isBlank(record)) continue;
        row = rowOf(record);
        return true;
    }
    return false;
}

PlantRow PlantCsvReader::rowOf(const Record& record) const {
    PlantRow row;
    row.line = record.line;
    if (!record.problem.empty()) {
        row.error = lineText(record.line) + ": " + record.problem;
        return row;
    }
    if (record.fields.size() > columns_.size()) {
        row.error = lineText(record.line) + ": " + std::to_string(record.fields.size()) + " fields, the header names " +
                    std::to_string(columns_.size());
        return row;
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
        // The columns after the name: the top-level entries, then three per group.
        const std::size_t place = column - 1;
        if (place < top.size()) {
            object[top[place]->option] = top[place]->isList() ? Json(text) : countValue(text);
            continue;
        }
        const std::size_t perGroup = groupEntries(0).size();
        const auto g = static_cast<int>((place - top.size()) / perGroup);
        const Entry* entry = groupEntries(g)[(place - top.size()) % perGroup];
        groups[static_cast<std::size_t>(g)][entry->option] = entry->isList() ? Json(text) : countValue(text);
    }
    object["groups"] = std::move(groups);
    SetupCheck check = checkSetupObject(object);
    if (!check.setup) {
        row.error = lineText(record.line) + ", column " + check.key + ": " + check.problem;
        return row;
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
