// Writes the fuzz targets' starting inputs that capacimo-calc does not write
// itself, from the setup files it saved (scripts/fuzz_corpus.sh runs both):
// plant CSVs of those setups, the settings files the dialog and the host
// save, the web page's calls of the module with their texts, and dates and
// targets as a plant's cells hold them.
// Usage: capacimo_fuzz_inputs CORPUS_DIR, with the setups in CORPUS_DIR/setup.
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "calculator/entry_values.h"
#include "calculator/plant/calendar_date.h"
#include "calculator/plant/plant_csv.h"
#include "calculator/settings.h"
#include "common/settings_store.h"
#include "fuzz/web_calls.h"
#include "web/web_api.h"

namespace {

using namespace std::string_literals;

namespace fs = std::filesystem;
using capacimo::fuzz::webCallText;

struct Setup {
    std::string stem;  // the file's name without its extension
    std::string text;
    capacimo::SetupFile file;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A plant's own cell of its row-th recorder: a start day on every row, a
// target on every other, the target's medium in turn.
std::string plantCell(const std::string& column, std::size_t row) {
    const int n = static_cast<int>(row);
    if (column == capacimo::kPlantStartColumn)
        return capacimo::dateText(capacimo::dateOf({2026, 1 + n % 12, 1 + n % 28}));
    if (column == capacimo::kPlantTargetColumn) return n % 2 ? "" : "26w";
    return n % 4 ? "internal" : "sd";
}

bool isPlantCell(const std::string& column) {
    return column == capacimo::kPlantStartColumn || column == capacimo::kPlantTargetColumn ||
           column == capacimo::kPlantMediumColumn;
}

// A plant of these setups, with the given columns (all when empty); each
// row's name is its setup's, after the name of the plant's part when there is one.
std::string plantCsv(const std::vector<Setup>& setups, std::vector<std::string> columns, const char* lineEnd,
                     const std::string& part = {}, const char* separator = ",") {
    if (columns.empty()) columns = capacimo::plantCsvColumns();
    std::string csv;
    for (const std::string& column : columns) csv += (csv.empty() ? "" : separator) + column;
    csv += lineEnd;
    for (std::size_t r = 0; r < setups.size(); ++r) {
        const nlohmann::ordered_json object = capacimo::setupObject(setups[r].file.entries, part + setups[r].stem);
        std::string row;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string& column = columns[c];
            const std::size_t dot = column.find('.');
            // A setup file leaves out an entry written only when set: an empty cell.
            const nlohmann::ordered_json& holder =
                dot == std::string::npos ? object : object["groups"][std::stoul(column.substr(5, dot - 5)) - 1];
            const std::string key = dot == std::string::npos ? column : column.substr(dot + 1);
            const nlohmann::ordered_json value = isPlantCell(column)    ? nlohmann::ordered_json(plantCell(column, r))
                                                 : holder.contains(key) ? holder[key]
                                                                        : nlohmann::ordered_json("");
            row +=
                (c ? separator : "") + capacimo::csvField(value.is_string() ? value.get<std::string>() : value.dump());
        }
        csv += row + lineEnd;
    }
    return csv;
}

// The settings file after the host remembered its unit and the dialog closed
// with these entries.
std::string savedSettings(const capacimo::CalculatorEntries& entries) {
    QFile::remove(capacimo::SettingsStore::filePath());
    capacimo::SettingsKey host{QString()};
    host.write(QStringLiteral("Settings"), QStringLiteral("Last"), QStringLiteral("Scribent S"));
    host.close();
    capacimo::unit::storeEntries(entries);
    QFile file(capacimo::SettingsStore::filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// What the page stores: each entry's stored name with its value as text.
std::string storedTexts(const capacimo::CalculatorEntries& entries) {
    nlohmann::ordered_json stored = nlohmann::ordered_json::object();
    for (const capacimo::Entry& entry : capacimo::entryTable()) {
        stored[capacimo::storedName(entry)] = std::to_string(entry.field(entries));
    }
    return stored.dump();
}

void writeWebCalls(const fs::path& dir, const Setup& setup) {
    // The values as the page holds them after opening the file.
    const std::string values = nlohmann::json::parse(capacimo::web::readSetup(setup.text))["values"].dump();
    const std::vector<std::pair<std::string, std::string>> options{
        {"plain", "{}"},
        {"details", R"({"breakdown":true,"target":"26w","medium":"sd","words":true})"},
        {"all_cards", R"({"all_cards":true,"target":"3w4d"})"}};
    writeFile(dir / ("readSetup_" + setup.stem), webCallText("readSetup", {setup.text}));
    for (const auto& [name, json] : options) {
        writeFile(dir / ("calculate_" + setup.stem + "_" + name), webCallText("calculate", {setup.text, json}));
        writeFile(dir / ("calculateValues_" + setup.stem + "_" + name), webCallText("calculateValues", {values, json}));
    }
    writeFile(dir / ("setupText_" + setup.stem),
              webCallText("setupText", {values, "Kessel \xC3\xBC \xE2\x80\xAE" + setup.stem}));
    writeFile(dir / ("adjust_" + setup.stem), webCallText("adjust", {values, "spe_CountAnalog"}));
    writeFile(dir / ("fromStore_" + setup.stem), webCallText("fromStore", {storedTexts(setup.file.entries)}));
    // The Plant view's calls with this setup: added, edited, removed and put back.
    const std::string change = R"({"values":)" + values + R"(,"name":")" + setup.stem + R"(","start":"2026-03-01"})";
    writeFile(dir / ("plantAdd_" + setup.stem), webCallText("plantAdd", {change}));
    writeFile(dir / ("plantEdit_" + setup.stem), webCallText("plantEdit", {"0", change}));
    writeFile(dir / ("plantRestore_" + setup.stem),
              webCallText("plantRestore", {R"({"index":0,"target_hours":4368,"medium":"sd",)" + change.substr(1)}));
}

// The Plant view's calls that take no setup.
void writePlantCalls(const fs::path& dir) {
    writeFile(dir / "plantLoad",
              webCallText("plantLoad", {"name;start;target;medium;analog\r\nA;14.03.2026;26w;sd;4\r\n"
                                        "B;2026-02-30;0w;;41\r\n",
                                        "7"}));
    writeFile(dir / "plantToday", webCallText("plantToday", {"2026-03-14"}));
    writeFile(dir / "plantLoadRows",
              webCallText("plantLoadRows", {R"(["A,2026-03-14,26w,sd,256 MB,4","B,01/02/27","Bad \"row"])", "400"}));
    writeFile(dir / "plantSetRow", webCallText("plantSetRow", {"0", "C,2026-03-01,,,1 GB,8", "", "1"}));
    writeFile(dir / "plantSetRowAlarm", webCallText("plantSetRow", {"0", "D,2026-03-01,,,1 GB,8,5,100",
                                                                    "name,start,target,medium,card,analog,"
                                                                    "alarm-share,card-reserve",
                                                                    "1"}));
    writeFile(dir / "plantRowText", webCallText("plantRowText", {"0"}));
    writeFile(dir / "plantMargin", webCallText("plantMargin", {"365"}));
    writeFile(dir / "plantSort", webCallText("plantSort", {"read_out_by", "descending"}));
    for (const char* name :
         {"plantView", "plantCsv", "plantCalendarText", "plantRecorder", "plantDuplicate", "plantRemove"})
        writeFile(dir / name, webCallText(name, {"0"}));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " CORPUS_DIR\n";
        return 2;
    }
    const fs::path corpus(argv[1]);
    std::vector<Setup> setups;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus / "setup")) {
        Setup setup{entry.path().stem().string(), readFile(entry.path()), {}};
        capacimo::SetupReadResult read = capacimo::readSetupText(setup.text);
        if (!read.setup) {
            std::cerr << entry.path().string() << ": " << read.error << '\n';
            return 1;
        }
        setup.file = std::move(*read.setup);
        setups.push_back(std::move(setup));
    }
    std::sort(setups.begin(), setups.end(), [](const Setup& a, const Setup& b) { return a.stem < b.stem; });

    writeFile(corpus / "plant" / "all_columns.csv", plantCsv(setups, {}, "\n", "Boiler house \"north\", "));
    const std::vector<std::string> some{"name",         "card",          "analog",       "digital-events", "analysis1",
                                        "group1.cycle", "group1.values", "group2.cycle", "group2.states"};
    writeFile(corpus / "plant" / "some_columns.csv", plantCsv(setups, some, "\n"));
    writeFile(corpus / "plant" / "some_columns_crlf_bom.csv", "\xEF\xBB\xBF" + plantCsv(setups, some, "\r\n"));
    // As a spreadsheet in a German locale saves a plant with its days.
    const std::vector<std::string> dated{"name", "start", "target", "medium", "card", "analog", "group1.cycle"};
    writeFile(corpus / "plant" / "dated_semicolons_crlf_bom.csv",
              "\xEF\xBB\xBF" + plantCsv(setups, dated, "\r\n", {}, ";"));
    // Cells a person gets wrong, each costing its own value or row.
    writeFile(corpus / "plant" / "bad_cells.csv",
              "name,start,target,medium,analog\n"
              "A,2026-02-30,0w,tape,1\nB,2026-13-01,26x,,1\nC,1969-12-31,,,1\nD,10000-01-01,,,1\n"
              "E,2026-1-5,,,1\nF,5.1.2026,,,41\nA,,52w,sd,2\n");
    // As spreadsheets save a plant: "Unicode text" (UTF-16 with tabs),
    // Windows-1252 with CR line ends, a cell with a line break, a quote left
    // open, a formula guarded.
    writeFile(corpus / "plant" / "utf16_tabs.txt",
              "\xFF\xFEn\0a\0m\0e\0\t\0s\0t\0a\0r\0t\0\r\0\n\0K\0\xF6\0l\0n\0\t\0"
              "0\0\x31\0/\0\x30\0\x32\0/\0\x32\0\x37\0\r\0\n\0\x3D\xD8\x00\xDE\n\0"s);
    writeFile(corpus / "plant" / "windows1252_cr.csv",
              "name;start;analog\rK\xF6ln 1;5.1.2026;3\r\x80-Kessel;20.11.26;41\r");
    writeFile(
        corpus / "plant" / "quoted_lines.csv",
        "name,start,analog\n\"Boiler\r\nhouse\",2026/1/5,1\n\"Open,2026-01-05,2\nNext,,3\n\"'=1+1\",01/02/27,4\n");

    QTemporaryDir home;  // the store is written here, never into the user's
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    for (const Setup& setup : setups) {
        writeFile(corpus / "settings" / (setup.stem + ".conf"), savedSettings(setup.file.entries));
        writeWebCalls(corpus / "web", setup);
    }
    for (const char* call : {"entries", "defaults"}) writeFile(corpus / "web" / call, webCallText(call, {}));
    writePlantCalls(corpus / "web");
    const std::string day = capacimo::dateText(capacimo::dateOf({2026, 3, 14}));
    for (const std::string& cell :
         {day, std::string("14.03.2026"), std::string("29.02.2024"), std::string("26w"), std::string("3w4d"),
          std::string("2026/11/20"), std::string("20.11.26"), std::string("01/02/27"), std::string("5.1.2026")}) {
        std::string file = cell;
        std::replace(file.begin(), file.end(), '/', '_');
        writeFile(corpus / "dates" / file, cell);
    }
    return 0;
}
