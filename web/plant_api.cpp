// The plant the web page shows (web/web_api.h): one plant per module, held
// here between calls, since a plant of a thousand recorders is calculated once
// and then edited one recorder at a time. Every answer carries the texts the
// page shows (cellText), so that the page holds no rule of dates, sorting or
// states.
#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>

#include "calculator/files/setup_file.h"
#include "calculator/plant/clock.h"
#include "calculator/plant/plant.h"
#include "calculator/plant/plant_calendar.h"
#include "calculator/plant/plant_csv.h"
#include "calculator/plant/plant_file.h"
#include "calculator/plant/problem_text.h"
#include "web/values_json.h"
#include "web/web_api.h"

namespace capacimo::web {
namespace {

// The page's one plant: the recorders, the day the page says it is and the
// table's order.
struct PlantSession {
    FixedClock clock{kFirstDate};
    Plant plant{clock};
    PlantColumn column = PlantColumn::ReadOutBy;
    SortOrder order = SortOrder::Ascending;
};

PlantSession& session() {
    static PlantSession s;
    return s;
}

// The most recorders the page's plant holds; a plant file of the page is at
// most kPlantFileLimit bytes. Both are checked before the plant is read, so
// that the module's memory (web/CMakeLists.txt) always holds what it takes.
constexpr std::size_t kLargestPlant = 10000;

// Refusals inside a call; the call answers them as {"error": ...}.
struct Refusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string_view orderId(SortOrder order) { return order == SortOrder::Descending ? "descending" : "ascending"; }

Json rowObject(const RecorderRow& row, const PlantRecorder& recorder) {
    Json cells = Json::array();
    for (const PlantColumn column : kPlantColumns) cells.push_back(cellText(row, column));
    const StartCell start = startCell(recorder);
    Json o = {{"cells", cells}, {"state", recorderStateId(row.dates.state)}, {"start", start.text}};
    if (!start.refusal.empty()) o["start_refused"] = start.refusal;
    return o;
}

// The header row of a row's own columns, when they are not those of a plant
// that sets no entry written only when set: the browser's store keeps it
// beside the row, which is read under it again.
Json columnsOf(const std::vector<std::size_t>& columns) {
    return columns == plantFileColumns({}) ? Json() : Json(plantHeaderText(columns));
}

Json keptObject(const std::vector<KeptRow>& kept) {
    Json rows = Json::array();
    for (const KeptRow& row : kept) {
        Json o = {{"before", row.before}, {"text", row.text}, {"problem", row.problem}};
        if (!row.cells.empty()) {
            if (Json columns = columnsOf(plantColumnsSet(row.cells)); !columns.is_null()) o["columns"] = columns;
        }
        rows.push_back(std::move(o));
    }
    return rows;
}

// A stored row read under its columns' header (the base plant's without one).
PlantFileReading readStoredRow(const std::string& row, const std::string& columns) {
    return readPlantText((columns.empty() ? plantHeaderText(plantFileColumns({})) : columns) + "\n" + row + "\n");
}

Json orderObject() {
    const PlantSession& s = session();
    return Json(s.plant.sorted(s.column, s.order));
}

Json totalsObject() {
    const PlantTotals totals = session().plant.totals();
    Json o = {{"recorders", totals.recorders}, {"scenarios", totals.scenarios}};
    for (const RecorderState state : kRecorderStates) {
        if (state != RecorderState::Ok) o[std::string(recorderStateId(state))] = totals.of(state);
    }
    return o;
}

Json viewObject() {
    const PlantSession& s = session();
    Json rows = Json::array();
    for (std::size_t i = 0; i < s.plant.size(); ++i)
        rows.push_back(rowObject(s.plant.rows()[i], s.plant.recorders()[i]));
    return {{"today", dateText(s.plant.today())},
            {"margin", s.plant.marginDays()},
            {"sort", {{"column", plantColumnId(s.column)}, {"order", orderId(s.order)}}},
            {"rows", rows},
            {"order", orderObject()},
            {"totals", totalsObject()},
            {"kept", keptObject(s.plant.kept())},
            {"unread", unreadSummary(s.plant.recorders(), s.plant.kept())}};
}

// Refuses a plant that would grow beyond kLargestPlant by one more.
void roomForOneMore(const Plant& plant) {
    if (plant.size() >= kLargestPlant) {
        throw Refusal("the plant has " + groupedNumber(kLargestPlant) + " recorders, the most this page holds");
    }
}

std::size_t indexIn(int index, std::size_t size) {
    if (index < 0 || static_cast<std::size_t>(index) >= size) {
        throw Refusal("there is no recorder " + std::to_string(index) + " in the plant");
    }
    return static_cast<std::size_t>(index);
}

// A start as the page's date field gives it: empty for none.
std::optional<CalendarDate> startOf(const std::string& text) {
    if (text.empty()) return std::nullopt;
    const DateReading reading = readDate(text);
    if (!reading.date) throw Refusal(reading.problem);
    return reading.date;
}

// The recorder with a change {"values", "name", "start"} applied.
PlantRecorder changed(PlantRecorder recorder, const std::string& changeJson) {
    const Json change = Json::parse(changeJson, nullptr, false);
    if (!change.is_object()) throw Refusal("the change is not a JSON object");
    if (change.contains("values")) {
        const std::optional<CalculatorEntries> entries = entriesFromJson(change["values"]);
        if (!entries) throw Refusal("the values are not one whole number per entry");
        // The form may hold a value beyond its field while it is typed; the
        // plant keeps what the field makes of it, which is what its file
        // writes and reads back.
        recorder.entries = fittedEntries(*entries);
    }
    if (change.contains("name")) {
        if (!change["name"].is_string()) throw Refusal("the name is not a text");
        std::string name = change["name"].get<std::string>();
        // The name as every reader of names takes it, so that what the page
        // holds its file and the command line read back.
        if (const auto problem = nameProblem(name)) throw Refusal("the name: " + *problem);
        recorder.name = std::move(name);
    }
    if (change.contains("start")) {
        if (!change["start"].is_string()) throw Refusal("the start is not a text");
        recorder.start = startOf(change["start"].get<std::string>());
        recorder.refused.start.clear();  // the user's day in place of the one not read
    }
    return recorder;
}

// The answer of fn(), or the refusal that stopped it. A failure of the core
// (a margin out of range, a place not in the plant) is a refusal too.
template <typename Fn>
std::string answered(Fn&& fn) {
    try {
        return jsonText(fn());
    } catch (const std::exception& e) {
        return errorText(e.what());
    }
}

// A stored margin, or the default with a problem that says so: a margin
// out of range costs the margin alone, never the stored rows.
int storedMargin(const std::string& days, std::vector<std::string>& problems) {
    if (const std::optional<int> n = readMarginDays(days)) return *n;
    problems.push_back("a margin of \"" + problemText(days) + "\" days is not " + marginRule() + "; the default " +
                       std::to_string(kDefaultMarginDays) + " days is taken");
    return kDefaultMarginDays;
}

// A margin as typed, or the refusal that says what it must be.
int marginOf(const std::string& days) {
    const std::optional<int> n = readMarginDays(days);
    if (!n) throw Refusal("a margin of \"" + problemText(days) + "\" days is not accepted; use " + marginRule());
    return *n;
}

Json viewWith(const char* key, Json value) {
    Json view = viewObject();
    view[key] = std::move(value);
    return view;
}

}  // namespace

std::string plantToday(const std::string& date) {
    return answered([&] {
        const DateReading reading = readDate(date);
        if (!reading.date) throw Refusal(reading.problem);
        session().clock.setToday(*reading.date);
        session().plant.refresh();
        return viewObject();
    });
}

std::string plantView() {
    return answered([] { return viewObject(); });
}

std::string plantAdd(const std::string& changeJson) {
    return answered([&] {
        Plant& plant = session().plant;
        roomForOneMore(plant);
        plant.append(changed(PlantRecorder{}, changeJson));
        return viewWith("index", plant.size() - 1);
    });
}

std::string plantEdit(int index, const std::string& changeJson) {
    return answered([&] {
        Plant& plant = session().plant;
        const std::size_t i = indexIn(index, plant.size());
        plant.replace(i, changed(plant.recorders()[i], changeJson));
        return Json{{"index", i},
                    {"row", rowObject(plant.rows()[i], plant.recorders()[i])},
                    {"order", orderObject()},
                    {"totals", totalsObject()}};
    });
}

std::string plantRecorder(int index) {
    return answered([&] {
        const Plant& plant = session().plant;
        const PlantRecorder& r = plant.recorders()[indexIn(index, plant.size())];
        Json o{{"values", entryValues(r.entries)}, {"name", r.name}, {"start", dateText(r.start)}};
        // Its target as the Details' weeks and medium, so that their plan answers it.
        if (const auto weeks = targetWeeks(r)) o["target"] = {{"weeks", *weeks}, {"medium", mediumId(r.targetMedium)}};
        return o;
    });
}

std::string plantDuplicate(int index) {
    return answered([&] {
        Plant& plant = session().plant;
        const std::size_t i = indexIn(index, plant.size());
        roomForOneMore(plant);
        plant.insert(i + 1, plant.recorders()[i]);
        return viewWith("index", i + 1);
    });
}

std::string plantRemove(int index) {
    return answered([&] {
        Plant& plant = session().plant;
        const std::size_t i = indexIn(index, plant.size());
        const PlantRecorder r = plant.remove(i);
        Json removed = {{"index", i},
                        {"values", entryValues(r.entries)},
                        {"name", r.name},
                        {"start", dateText(r.start)},
                        {"target_hours", r.targetHours ? Json(*r.targetHours) : Json(nullptr)},
                        {"medium", mediumId(r.targetMedium)}};
        return viewWith("removed", std::move(removed));
    });
}

std::string plantRestore(const std::string& removedJson) {
    return answered([&] {
        const Json removed = Json::parse(removedJson, nullptr, false);
        if (!removed.is_object() || !removed.value("index", Json()).is_number_unsigned()) {
            throw Refusal("the removed recorder is not one plantRemove gave");
        }
        PlantRecorder r = changed(PlantRecorder{}, removedJson);
        const Json& given = removed.value("target_hours", Json());
        const std::int64_t hours = given.is_number_integer() ? given.get<std::int64_t>() : 0;
        // plantRemove gives what a file's cell held; more would not read back.
        if (hours > kLargestTargetHours) throw Refusal("the removed recorder's target is too long");
        if (hours > 0) r.targetHours = hours;
        r.targetMedium = mediumFromId(removed.value("medium", std::string())).value_or(Medium::Internal);
        Plant& plant = session().plant;
        roomForOneMore(plant);
        const std::size_t at = std::min<std::size_t>(removed["index"].get<std::size_t>(), plant.size());
        plant.insert(at, std::move(r));
        return viewWith("index", at);
    });
}

std::string plantMargin(const std::string& days) {
    return answered([&] {
        session().plant.setMarginDays(marginOf(days));
        return viewObject();
    });
}

std::string plantLoad(const std::string& bytes, const std::string& margin) {
    return answered([&] {
        std::vector<std::string> problems;
        const int days = storedMargin(margin, problems);
        PlantFileReading reading;
        if (bytes.size() > kPlantFileLimit) {
            reading.fileError = "the file has " + groupedNumber(static_cast<std::int64_t>(bytes.size())) +
                                " bytes; this page reads " + groupedNumber(kPlantFileLimit) + " at the most";
        } else {
            reading = readPlantText(bytes, {kLargestPlant});
            if (reading.fileError.empty() && reading.tooMany) {
                reading.fileError = "the file has more than " + groupedNumber(kLargestPlant) +
                                    " recorders; this page holds " + groupedNumber(kLargestPlant) + " at the most";
            }
        }
        if (reading.fileError.empty()) {
            PlantSession& s = session();
            Plant plant(s.clock, days);
            for (PlantRecorder& recorder : reading.recorders) plant.append(std::move(recorder));
            plant.setKept(std::move(reading.kept));
            s.plant = std::move(plant);
        }
        problems.insert(problems.end(), reading.problems.begin(), reading.problems.end());
        Json view = viewObject();
        view["problems"] = problems;
        view["notes"] = reading.notes;
        view["fileError"] = reading.fileError;
        return view;
    });
}

std::string plantLoadRows(const std::string& rowsJson, const std::string& margin) {
    return answered([&] {
        const Json given = Json::parse(rowsJson, nullptr, false);
        // Each a row's text, or {"row", "columns"}: the text and the header of its columns.
        const auto isRow = [](const Json& r) {
            return r.is_string() || (r.is_object() && r.contains("row") && r["row"].is_string() &&
                                     (!r.contains("columns") || r["columns"].is_string()));
        };
        if (!given.is_array() || !std::all_of(given.begin(), given.end(), isRow)) {
            throw Refusal("the rows are not a list of texts");
        }
        std::vector<std::string> problems;
        std::vector<std::string> notes;
        PlantSession& s = session();
        Plant plant(s.clock, storedMargin(margin, problems));
        // Each row on its own, so that the page knows what became of each.
        Json sources = Json::array();
        std::size_t unread = 0;
        for (const Json& row : given) {
            const std::string& text = (row.is_string() ? row : row["row"]).get_ref<const std::string&>();
            const std::string columns = row.is_object() ? row.value("columns", std::string()) : std::string();
            // Each row read as the second line of a file: named by its place in the store instead.
            const auto stored = [n = sources.size() + 1](std::string line) {
                const std::string_view read = "line 2";
                return line.starts_with(read) ? "stored row " + std::to_string(n) + line.substr(read.size()) : line;
            };
            if (plant.size() == kLargestPlant || text.size() > kPlantRowLimit || columns.size() > kPlantRowLimit) {
                ++unread;
                sources.push_back(Json::object());
                continue;
            }
            PlantFileReading reading = readStoredRow(text, columns);
            for (std::string& line : reading.problems) problems.push_back(stored(std::move(line)));
            for (std::string& line : reading.notes) notes.push_back(stored(std::move(line)));
            if (!reading.recorders.empty()) {
                sources.push_back({{"recorder", plant.size()}});
                plant.append(std::move(reading.recorders.front()));
            } else if (!reading.kept.empty()) {
                std::vector<KeptRow> kept = plant.kept();
                sources.push_back({{"kept", kept.size()}});
                kept.push_back({plant.size(), text, stored(reading.kept.front().problem), reading.kept.front().cells});
                plant.setKept(std::move(kept));
            } else {
                sources.push_back(Json::object());
            }
        }
        if (unread > 0) {
            problems.push_back(groupedNumber(static_cast<std::int64_t>(unread)) +
                               " stored recorders are not shown: this page holds " + groupedNumber(kLargestPlant) +
                               " at the most, each row within " + groupedNumber(kPlantRowLimit) + " bytes");
        }
        s.plant = std::move(plant);
        Json view = viewObject();
        view["sources"] = std::move(sources);
        view["problems"] = problems;
        view["notes"] = notes;
        return view;
    });
}

std::string plantRowText(int index) {
    return answered([&] {
        const Plant& plant = session().plant;
        const PlantRecorder& recorder = plant.recorders()[indexIn(index, plant.size())];
        Json o = {{"row", capacimo::plantRowText(recorder)}};
        if (Json columns = columnsOf(plantColumnsSet(plantRowCells(recorder))); !columns.is_null())
            o["columns"] = columns;
        return o;
    });
}

std::string plantSetRow(int index, const std::string& row, const std::string& columns, bool insert) {
    return answered([&] {
        Plant& plant = session().plant;
        const auto at = static_cast<std::size_t>(std::max(index, 0));
        if (insert) {
            roomForOneMore(plant);
            if (at > plant.size()) throw Refusal("there is no place " + std::to_string(index) + " in the plant");
        } else {
            indexIn(index, plant.size());
        }
        if (row.size() > kPlantRowLimit || columns.size() > kPlantRowLimit) throw Refusal("the row is too long");
        PlantFileReading reading = readStoredRow(row, columns);
        if (reading.recorders.empty()) {
            throw Refusal(reading.problems.empty() ? "the row holds no recorder" : reading.problems.front());
        }
        if (insert) {
            plant.insert(at, std::move(reading.recorders.front()));
        } else {
            plant.replace(at, std::move(reading.recorders.front()));
        }
        return Json{{"index", at},
                    {"row", rowObject(plant.rows()[at], plant.recorders()[at])},
                    {"order", orderObject()},
                    {"totals", totalsObject()}};
    });
}

std::string plantCsv() { return plantCsvText(session().plant.recorders(), session().plant.kept()); }

std::string plantSort(const std::string& column, const std::string& order) {
    return answered([&] {
        const std::optional<PlantColumn> c = plantColumnFromId(column);
        if (!c || (order != "ascending" && order != "descending")) {
            throw Refusal("\"" + column + "\", \"" + order + "\" is no column and order of the plant's table");
        }
        PlantSession& s = session();
        s.column = *c;
        s.order = order == "descending" ? SortOrder::Descending : SortOrder::Ascending;
        return Json{{"sort", {{"column", column}, {"order", order}}}, {"order", orderObject()}};
    });
}

std::string plantCalendarText() {
    const Plant& plant = session().plant;
    return plantCalendar(plant.rows(), plant.terms());
}

}  // namespace capacimo::web
