// A plant as CSV: the quoting and line forms spreadsheets write, bad rows
// reported with their line and column without stopping the others, and a
// file read as a stream.
#include "calculator/plant/plant_csv.h"

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
        "\"Say \"\"hi\"\"\",12\r\n"
        "Too wide,1,256 MB,1s,0,extra\r\n"
        "Bad count,41,256 MB\r\n"
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
    // Every column the header leaves out is reported as defaulted.
    EXPECT_EQ(rows[0].setup->defaultedKeys.size(), plantCsvColumns().size() - 8);

    ASSERT_TRUE(rows[1].setup) << rows[1].error;
    EXPECT_EQ(rows[1].line, 4u);
    EXPECT_EQ(rows[1].setup->name, "Say \"hi\"");
    EXPECT_EQ(rows[1].setup->entries.counts.analog, 12);

    EXPECT_EQ(rows[2].error, "line 5: 6 fields, the header names 5");
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
        "B,,-0\n"
        "C,,4,,99999999999999999999\n"
        "D,,1e400\n"
        "E,,NaN\n"
        "F,3 GB\n"
        "G,,-1\n");
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
    const std::string names[] = {"plain", "a, b", "say \"hi\"", "\"", ",", " padded "};
    std::string text = "analog,name\n";
    for (const std::string& name : names) text += "1," + csvField(name) + "\n";
    const std::vector<PlantRow> rows = readAll(text);
    ASSERT_EQ(rows.size(), std::size(names));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_TRUE(rows[i].setup) << rows[i].error;
        EXPECT_EQ(rows[i].setup->name, names[i]);
    }
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(readAll("name\n\"\xFF\"\n").at(0).error, "line 2, column name: is not UTF-8 text");
}

// What a spreadsheet would run as a formula is kept as text, anything else as it is.
TEST(PlantCsv, SpreadsheetTextKeepsFormulasAsText) {
    for (const std::string formula : {"=1+2", "+1", "-2+3", "@SUM(A1)", "\t=1", "\r=1"}) {
        EXPECT_EQ(spreadsheetText(formula), "'" + formula);
    }
    for (const std::string text : {"", "Boiler 1", "a=b", " =1", "'=1"}) EXPECT_EQ(spreadsheetText(text), text);
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
