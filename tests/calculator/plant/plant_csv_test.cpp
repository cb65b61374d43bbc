// A plant as CSV: the quoting and line forms spreadsheets write, bad rows
// reported with their line and column without stopping the others, and a
// file read as a stream.
#include "calculator/plant/plant_csv.h"
#include "calculator/plant/plant_file.h"

#include <gtest/gtest.h>

#include <sstream>

namespace capacimo {
namespace {

std::vector<PlantRow> readAll(const std::string& text, std::string* fileError = nullptr) {
    std::istringstream in(text);
    PlantCsvReader reader(in);
    if (fileError) *fileError = reader.fileError();
    std::vector<PlantRow> rows;
    for (PlantRow row; reader.next(row);) rows.push_back(row);
    return rows;
}

TEST(PlantCsv, ReadsWhatSpreadsheetsWriteAndReportsBadRowsByLineAndColumn) {
    const std::string text =
        "\xEF\xBB\xBF"
        "name,analog,card,group1.cycle,group2.values\r\n"
        "\"Boiler house, recorder 3\",4,1 GB,1s,2\r\n"
        "\r\n"
        "\"Say \"\"hi\"\"\",12,,,\r\n"
        "Too wide,1,256 MB,1s,0,extra\r\n"
        "Bad count,41,256 MB,,\r\n"
        "Bad cycle,1,256 MB,1min,\"x\"\r\n"
        "\"Open quote,1\r\n"
        "Last,2,,,";
    const std::vector<PlantRow> rows = readAll(text);
    ASSERT_EQ(rows.size(), 7u);

    ASSERT_TRUE(rows[0].setup) << rows[0].error;
    EXPECT_EQ(rows[0].line, 2u);
    EXPECT_EQ(rows[0].setup->name, "Boiler house, recorder 3");
    CalculatorEntries first = defaultEntries();
    first.counts.analog = 4;
    first.cardItem = 2;
    first.cycleItems[0] = 2;  // 1s, after Off and 100ms
    first.counts.groupValues[1] = 2;
    EXPECT_EQ(rows[0].setup->entries, first);
    // Every column the header leaves out is reported as defaulted, but for
    // those a plant names only where a recorder sets them.
    EXPECT_EQ(rows[0].setup->defaultedKeys.size(), plantFileColumns({}).size() - 8);

    ASSERT_TRUE(rows[1].setup) << rows[1].error;
    EXPECT_EQ(rows[1].line, 4u);
    EXPECT_EQ(rows[1].setup->name, "Say \"hi\"");
    EXPECT_EQ(rows[1].setup->entries.counts.analog, 12);

    EXPECT_EQ(rows[2].error, "line 5: 6 cells where the header names 5");
    EXPECT_EQ(rows[3].error, "line 6, column analog: 41 is outside 0..40");
    EXPECT_EQ(rows[4].error.substr(0, 35), "line 7, column group2.values: \"x\" i");
    EXPECT_EQ(rows[5].line, 8u);
    EXPECT_EQ(rows[5].error, "line 8: field 1: the quote is not closed on its line");
    EXPECT_FALSE(rows[5].setup);
    ASSERT_TRUE(rows[6].setup) << rows[6].error;  // the open quote cost its own line only
    EXPECT_EQ(rows[6].setup->entries.counts.analog, 2);
}

// A cell takes what the option takes; a count beyond any range is named as such.
TEST(PlantCsv, ACellIsReadAsTheOptionReadsIt) {
    const std::vector<PlantRow> rows = readAll(
        "name,card,analog,analysis2,group1.values\n"
        "A,1GB, 7 ,daily,+3\n"
        "B,,-0,,\n"
        "C,,4,,99999999999999999999\n"
        "D,,1e400,,\n"
        "E,,NaN,,\n"
        "F,3 GB,,,\n"
        "G,,-1,,\n");
    ASSERT_EQ(rows.size(), 7u);
    ASSERT_TRUE(rows[0].setup) << rows[0].error;
    EXPECT_EQ(rows[0].setup->entries.cardItem, 2);
    EXPECT_EQ(rows[0].setup->entries.counts.analog, 7);
    EXPECT_EQ(rows[0].setup->entries.analysisItems[1], 1);
    EXPECT_EQ(rows[0].setup->entries.counts.groupValues[0], 3);
    ASSERT_TRUE(rows[1].setup) << rows[1].error;
    EXPECT_EQ(rows[1].setup->entries.counts.analog, 0);
    EXPECT_EQ(rows[2].error, "line 4, column group1.values: 99999999999999999999 is outside 0..8");
    EXPECT_EQ(rows[3].error, "line 5, column analog: \"1e400\" is not a whole number in 0..40");
    EXPECT_EQ(rows[4].error, "line 6, column analog: \"NaN\" is not a whole number in 0..40");
    EXPECT_EQ(rows[5].error, "line 7, column card: \"3 GB\" is not one of \"256 MB\", \"512 MB\", \"1 GB\", \"2 GB\"");
    EXPECT_EQ(rows[6].error, "line 8, column analog: -1 is outside 0..40");
}

// A spreadsheet's blank rows are commas alone: skipped with a note, a run of them in one.
TEST(PlantCsv, RowsOfEmptyCellsAreSkippedWithANote) {
    const std::vector<PlantRow> rows = readAll("name,analog\n,\nA,1\n,\n\n\"\",\nB,2\n,,,");
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].note, "line 2: every cell is empty; skipped");
    EXPECT_FALSE(rows[0].setup);
    EXPECT_EQ(rows[1].setup->name, "A");
    EXPECT_EQ(rows[2].note, "lines 4 .. 6: every cell is empty; skipped");
    EXPECT_EQ(rows[3].setup->name, "B");
    EXPECT_EQ(rows[4].note, "line 8: every cell is empty; skipped");
}

TEST(PlantCsv, ABadHeaderRefusesTheWholeFile) {
    for (const char* text : {"name,analog,speed\nx,1,2\n", "name,analog,analog\nx,1,2\n", "\n\n", ""}) {
        std::string error;
        EXPECT_TRUE(readAll(text, &error).empty()) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    std::string error;
    readAll("\n\nname,analog,speed\n", &error);
    EXPECT_EQ(error.substr(0, 32), "line 3, column 3 \"speed\": unknow");
}

TEST(PlantCsv, AFieldWrittenByCsvFieldReadsBack) {
    const std::string names[] = {"plain", "a, b",    "say \"hi\"", "\"", ",",       " padded ", "=1+1",
                                 " =1",   "'quoted", "''",         "'",  "-5 east", "@home",    "a;b"};
    std::string text = "analog,name\n";
    for (const std::string& name : names) text += "1," + csvField(spreadsheetText(name)) + "\n";
    const std::vector<PlantRow> rows = readAll(text);
    ASSERT_EQ(rows.size(), std::size(names));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_TRUE(rows[i].setup) << rows[i].error;
        EXPECT_EQ(rows[i].setup->name, names[i]);
    }
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
}

// What a spreadsheet would run as a formula is kept as text, anything else
// as it is; the reader takes the apostrophe off again.
TEST(PlantCsv, SpreadsheetTextKeepsFormulasAsText) {
    for (const std::string formula :
         {"=1+2", "+1", "-2+3", "@SUM(A1)", "\t=1", "\r=1", " =1", "  -x", "'=1", "'x", "\"quoted\""}) {
        EXPECT_EQ(spreadsheetText(formula), "'" + formula);
        EXPECT_EQ(spreadsheetCell(spreadsheetText(formula)), formula);
    }
    for (const std::string text : {"", "Boiler 1", "a=b", " ", "x'"}) {
        EXPECT_EQ(spreadsheetText(text), text);
        EXPECT_EQ(spreadsheetCell(text), text);
    }
    // What a spreadsheet makes of a guarded cell reads back the same: one
    // that keeps the apostrophe (LibreOffice) and one that drops it (gnumeric).
    EXPECT_EQ(spreadsheetCell("=1+1"), "=1+1");
    EXPECT_EQ(spreadsheetCell("'quoted"), "'quoted");
}

// The same plant in the forms spreadsheets save: UTF-16 "Unicode text" with
// tabs, Windows-1252, CR line ends; each read alike, with a note of the encoding.
TEST(PlantCsv, ReadsEveryEncodingAndLineEndSpreadsheetsWrite) {
    const std::string utf8 =
        "name,start\nK\xC3\xB6ln 1,2026-01-05\n\"Stra\xC3\x9F"
        "e\",05.01.26\n";
    const auto utf16 = [](const std::string& ascii, bool little) {
        std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const char c : ascii) {
            // "ö" and "ß" as their code units, every other character ASCII.
            const char16_t unit = c == '\x01' ? u'\u00F6' : c == '\x02' ? u'\u00DF' : static_cast<char16_t>(c);
            const char low = static_cast<char>(unit & 0xFF);
            const char high = static_cast<char>(unit >> 8);
            out += little ? std::string{low, high} : std::string{high, low};
        }
        return out;
    };
    const std::string tabs =
        "name\tstart\r\nK\x01ln 1\t2026-01-05\r\n\"Stra\x02"
        "e\"\t05.01.26\r\n";
    const std::pair<std::string, std::string> files[] = {
        {utf8, ""},
        {"\xEF\xBB\xBF" + utf8, ""},
        {utf16(tabs, true), "read as UTF-16 (little-endian), as the byte order mark at its start says"},
        {utf16(tabs, false), "read as UTF-16 (big-endian), as the byte order mark at its start says"},
        {"name;start\rK\xF6ln 1;2026-01-05\r\"Stra\xDF"
         "e\";05.01.26\r",
         "line 2: the bytes are not UTF-8; read as Windows-1252, as is every later row that is not UTF-8"},
    };
    for (const auto& [text, note] : files) {
        const std::vector<PlantRow> rows = readAll(text);
        std::vector<std::string> names;
        std::string notes;
        for (const PlantRow& row : rows) {
            if (row.setup) names.push_back(row.setup->name);
            EXPECT_EQ(row.error, "");
            notes += row.note;
            if (row.setup) {
                EXPECT_EQ(row.start, dateOf({2026, 1, 5}));
            }
        }
        EXPECT_EQ(names, (std::vector<std::string>{"K\xC3\xB6ln 1",
                                                   "Stra\xC3\x9F"
                                                   "e"}))
            << text;
        EXPECT_EQ(notes, note);
    }
    // Half a surrogate pair is no character: U+FFFD in its place, with a note.
    const std::vector<PlantRow> rows = readAll(utf16("name\na\nb\n", true).insert(12, std::string("\x00\xD8", 2)));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].note, "line 2: holds text that is not UTF-16; U+FFFD stands in its place");
    EXPECT_EQ(rows[2].setup->name,
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(rows[3].setup->name, "b");
}

// A cell written with Alt+Enter, a tab in a name, a quote left open, a row
// of another file's separator, a character that hides or turns text.
TEST(PlantCsv, WhatSpreadsheetsAndPeopleLeaveInCellsCostsNoRecorder) {
    const std::vector<PlantRow> rows = readAll(
        "name,analog\n"
        "\"Boiler\r\nhouse\",2\n"
        "\"Kiln\t1\",3\n"
        "\"Open,4\n"
        "Next,5\n"
        "Boiler 1;2026-01-05;4\n"
        "A,1,2\n"
        "\"e\xE2\x80\xAEvil\",1\n"
        "\"x\xEF\xBB\xBFy\",1\n");
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].setup->name, "Boiler house");
    EXPECT_EQ(rows[0].note, "line 2: the line breaks and tabs in the name are read as blanks");
    EXPECT_EQ(rows[1].setup->name, "Kiln 1");
    EXPECT_EQ(rows[1].line, 4u);
    EXPECT_EQ(rows[2].error, "line 5: field 1: the quote is not closed on its line");
    EXPECT_EQ(rows[2].kept, "\"Open,4");
    EXPECT_EQ(rows[3].setup->name, "Next");  // read again after the open quote
    EXPECT_EQ(rows[4].error,
              "line 7: 1 cell where the header names 2; it holds \";\" outside quotes, and this file "
              "separates its cells by \",\"");
    EXPECT_EQ(rows[4].kept, "Boiler 1;2026-01-05;4");
    EXPECT_EQ(rows[5].error, "line 8: 3 cells where the header names 2");
    EXPECT_EQ(rows[6].error,
              "line 9, column name: holds U+202E, an invisible character that changes how the text "
              "around it shows");
    EXPECT_EQ(rows[7].error.substr(0, 34), "line 10, column name: holds U+FEFF");
    // A refused row whose cells can be told apart is kept in the columns a plant file writes.
    EXPECT_EQ(rows[6].kept, "e\xE2\x80\xAEvil,,,,,1" + std::string(plantFileColumns({}).size() - 6, ','));
}

// Rows made while they are read, as many as a 30 MB file holds; counts what
// the reader has taken from it.
class GeneratedPlant : public std::streambuf {
public:
    static constexpr int kRows = 1'000'000;
    std::size_t handedOut = 0;

protected:
    int_type underflow() override {
        if (row_ > kRows) return traits_type::eof();
        chunk_ = row_ == 0 ? "name,analog,card,group1.cycle,group1.values\n"
                           : "Recorder " + std::to_string(row_) + ",8,2 GB,10s,8\n";
        ++row_;
        handedOut += chunk_.size();
        setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
        return traits_type::to_int_type(chunk_[0]);
    }

private:
    int row_ = 0;
    std::string chunk_;
};

// One line of 2 GB without a line break, made while it is read.
class EndlessLine : public std::streambuf {
public:
    std::size_t handedOut = 0;

protected:
    int_type underflow() override {
        if (handedOut >= (std::size_t{2} << 30)) return traits_type::eof();
        handedOut += chunk_.size();
        setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
        return traits_type::to_int_type(chunk_[0]);
    }

private:
    std::string chunk_ = std::string(4096, 'x');
};

TEST(PlantCsv, AHeaderBeyondTheRowLimitRefusesTheFileUnreadBeyondIt) {
    EndlessLine line;
    std::istream in(&line);
    PlantCsvReader reader(in);
    EXPECT_EQ(reader.fileError(), "line 1, header: the row is longer than 65536 bytes");
    EXPECT_LE(line.handedOut, kPlantRowLimit + 4096);
}

TEST(PlantCsv, ALargeFileIsReadAsAStreamAndOneHugeRowCostsOnlyItself) {
    GeneratedPlant plant;
    std::istream in(&plant);
    PlantCsvReader reader(in);
    PlantRow row;
    for (int i = 1; i <= 2000; ++i) {
        ASSERT_TRUE(reader.next(row));
        ASSERT_EQ(row.line, static_cast<std::size_t>(i + 1));
    }
    // The reader keeps step with the rows it gave out: it took one row ahead at most.
    EXPECT_LE(plant.handedOut, 2002 * std::size_t{40});
    ASSERT_TRUE(row.setup) << row.error;
    EXPECT_EQ(row.setup->name, "Recorder 2000");

    const std::string huge = "name,analog\n\"" + std::string(10 * kPlantRowLimit, 'x') + "\n" + "Next,3\n";
    const std::vector<PlantRow> rows = readAll(huge);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].error, "line 2: the row is longer than 65536 bytes");
    ASSERT_TRUE(rows[1].setup) << rows[1].error;
    EXPECT_EQ(rows[1].line, 3u);
}

}  // namespace
}  // namespace capacimo

// The alarm columns refuse what their options refuse, naming the rule, and
// the row is kept to be written back.
TEST(PlantCsv, AlarmCellsOutOfRangeAreRefusedByTheirRule) {
    using namespace capacimo;
    const std::vector<PlantRow> rows = readAll(
        "name,alarm-share,card-reserve,group1.alarm,group2.alarm\n"
        "A,-1,,,\nB,101,,,\nC,7.5,,,\nD, 5,,,\nE,,2049,,\nF,,-1,,\nG,,,Off,\nH,,,,100ms\nI,5,64,100ms,1s\n");
    ASSERT_EQ(rows.size(), 9u);
    const char* rules[] = {"-1 is outside 0..100",
                           "101 is outside 0..100",
                           "\"7.5\" is not a whole number in 0..100",
                           "\" 5\" is not a whole number in 0..100",
                           "2049 is outside 0..2048",
                           "-1 is outside 0..2048",
                           "\"Off\" is not one of \"same\", \"100ms\"",
                           "\"100ms\" is not one of \"same\", \"1s\""};
    for (std::size_t i = 0; i < std::size(rules); ++i) {
        EXPECT_FALSE(rows[i].setup) << i;
        EXPECT_FALSE(rows[i].kept.empty()) << i;
        EXPECT_NE(rows[i].error.find(rules[i]), std::string::npos) << rows[i].error;
    }
    ASSERT_TRUE(rows[8].setup) << rows[8].error;
    EXPECT_EQ(rows[8].setup->entries.alarmShare, 5);
    EXPECT_EQ(rows[8].setup->entries.cardReserve, 64);
    EXPECT_EQ(rows[8].setup->entries.alarmCycleItems[0], 1);  // 100ms
    EXPECT_EQ(rows[8].setup->entries.alarmCycleItems[1], 1);  // 1s
}
