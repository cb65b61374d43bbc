// The web page's plant calls as the page makes them: the module's one plant
// added to, edited, sorted, emptied and restored, its answers' texts the
// core's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "calculator/entry_values.h"
#include "calculator/plant/plant.h"
#include "calculator/plant/plant_csv.h"
#include "calculator/plant/plant_file.h"
#include "web/web_api.h"

namespace capacimo::web {
namespace {

using Json = nlohmann::json;

Json ask(const std::string& answer) { return Json::parse(answer); }

// The module's plant emptied, judged on 2026-03-14 with the default margin.
class PlantApi : public ::testing::Test {
protected:
    void SetUp() override {
        while (!ask(plantView())["rows"].empty()) ask(plantRemove(0));
        ask(plantMargin(std::to_string(kDefaultMarginDays)));
        ask(plantSort("read_out_by", "ascending"));
        ASSERT_EQ(ask(plantToday("2026-03-14"))["today"], "2026-03-14");
    }
    // The heaviest setup (full within weeks) or the Reset values (years), started on start.
    static CalculatorEntries setup(bool heavy) { return heavy ? heaviestEntries() : defaultEntries(); }
    static Json add(const std::string& name, bool heavy, const std::string& start) {
        return ask(plantAdd(Json{{"values", entryValues(setup(heavy))}, {"name", name}, {"start", start}}.dump()));
    }
    static RecorderRow row(bool heavy, const std::string& start) {
        PlantRecorder r;
        r.entries = setup(heavy);
        r.start = readDate(start).date;
        Calculator calculator;
        return evaluateRecorder(calculator, r, {dateOf({2026, 3, 14}), kDefaultMarginDays});
    }
};

TEST_F(PlantApi, RowsCarryTheCoresTextsAndSortSoonestReadOutFirst) {
    add("Boiler 1", true, "2026-03-01");
    add("Boiler 2", false, "");
    const Json view = add("Boiler 10", true, "2025-12-01");
    EXPECT_EQ(view["index"], 2);
    const RecorderRow expected = row(true, "2025-12-01");
    for (std::size_t c = 0; c < kPlantColumns.size(); ++c) {
        if (kPlantColumns[c] != PlantColumn::Name) {
            EXPECT_EQ(view["rows"][2]["cells"][c], cellText(expected, kPlantColumns[c]));
        }
    }
    EXPECT_EQ(view["rows"][2]["cells"][0], "Boiler 10");
    EXPECT_EQ(view["rows"][2]["start"], "2025-12-01");
    EXPECT_EQ(view["rows"][2]["state"], recorderStateId(expected.dates.state));
    EXPECT_EQ(view["rows"][1]["start"], "");
    EXPECT_EQ(view["order"], Json({2, 0, 1}));  // without a day last
    EXPECT_EQ(view["totals"]["recorders"], 3);

    EXPECT_EQ(ask(plantSort("name", "descending"))["order"], Json({2, 1, 0}));  // 10 after 2
    EXPECT_EQ(ask(plantView())["sort"], Json({{"column", "name"}, {"order", "descending"}}));
    EXPECT_TRUE(ask(plantSort("colour", "ascending")).contains("error"));
    EXPECT_EQ(ask(plantView())["order"], Json({2, 1, 0}));
}

TEST_F(PlantApi, AnEditCalculatesItsRowAndABadOneChangesNothing) {
    add("A", true, "");
    add("B", true, "2026-03-01");
    const Json edited = ask(plantEdit(1, R"({"start": "2025-01-01", "name": "B2"})"));
    EXPECT_EQ(edited["index"], 1);
    EXPECT_EQ(edited["row"]["cells"][0], "B2");
    EXPECT_EQ(edited["row"]["state"], "overdue");
    EXPECT_EQ(edited["order"], Json({1, 0}));
    EXPECT_EQ(edited["totals"]["overdue"], 1);
    const Json recorder = ask(plantRecorder(1));
    EXPECT_EQ(recorder["start"], "2025-01-01");
    EXPECT_EQ(recorder["values"], Json(entryValues(heaviestEntries())));
    EXPECT_EQ(recorder["name"], "B2");

    const Json before = ask(plantView());
    for (const auto& [index, change] : {std::pair{1, R"({"start": "2026-02-30"})"},
                                        {1, R"({"values": [1]})"},
                                        {2, R"({"name": "C"})"},
                                        {-1, "{}"},
                                        {0, "[]"}}) {
        EXPECT_TRUE(ask(plantEdit(index, change)).contains("error")) << change;
    }
    EXPECT_EQ(ask(plantEdit(1, R"({"start": "2026-02-30"})"))["error"],
              "2026-02-30 is not a day: February 2026 has 28 days");
    EXPECT_EQ(ask(plantView()), before);
}

TEST_F(PlantApi, RemoveRestoreDuplicateMarginAndCalendar) {
    add("A", true, "2026-03-01");
    add("B", false, "2026-03-10");  // full in some 36 years
    add("C", true, "");
    const Json full = ask(plantView());
    const Json removed = ask(plantRemove(1));
    EXPECT_EQ(removed["rows"].size(), 2u);
    const Json restored = ask(plantRestore(removed["removed"].dump()));
    EXPECT_EQ(restored["index"], 1);
    Json without = restored;
    without.erase("index");
    EXPECT_EQ(without, full);
    EXPECT_TRUE(ask(plantRestore("{}")).contains("error"));

    const Json copied = ask(plantDuplicate(0));
    EXPECT_EQ(copied["index"], 1);
    EXPECT_EQ(copied["rows"][1], copied["rows"][0]);

    for (const char* bad : {"366", "-1", "", "7.5", "7 d"}) EXPECT_TRUE(ask(plantMargin(bad)).contains("error")) << bad;
    EXPECT_EQ(ask(plantMargin("366"))["error"], "a margin of \"366\" days is not accepted; use " + marginRule());
    EXPECT_EQ(ask(plantMargin(" 7\t"))["margin"], 7);  // as the command line reads it
    EXPECT_EQ(ask(plantMargin("365"))["margin"], 365);
    EXPECT_EQ(ask(plantView())["totals"]["overdue"], 2);  // A and its copy; B a year ahead is not
    EXPECT_TRUE(ask(plantToday("14.03.2026")).contains("rows"));
    EXPECT_TRUE(ask(plantToday("2026 3 14")).contains("error"));

    const std::string calendar = plantCalendarText();
    std::size_t events = 0;
    for (std::size_t at = calendar.find("BEGIN:VEVENT"); at != std::string::npos;
         at = calendar.find("BEGIN:VEVENT", at + 1))
        ++events;
    EXPECT_EQ(events, 3u);  // A, its copy and B; C has no start
}

// Values beyond their fields (as the form holds them while they are typed)
// and the longest target a file holds: the plant keeps what its file writes,
// so the file reads back to the same rows. More than that target is refused.
TEST_F(PlantApi, WhatThePlantHoldsItsFileReadsBack) {
    std::vector<std::int32_t> values = entryValues(defaultEntries());
    const auto place = [](EntryId id) {
        const auto& table = entryTable();
        return static_cast<std::size_t>(
            std::find_if(table.begin(), table.end(), [id](const Entry& e) { return e.id == id; }) - table.begin());
    };
    values[place(EntryId::CardSize)] = 99;
    values[place(EntryId::Analog)] = 500;
    ask(plantAdd(Json{{"values", values}, {"name", "beyond"}, {"start", "2026-03-01"}}.dump()));
    EXPECT_EQ(ask(plantRecorder(0))["values"], Json(entryValues(fittedEntries(*entriesFromValues(values)))));
    const Json removed = ask(plantRemove(0))["removed"];
    for (const std::int64_t hours : {kLargestTargetHours + 1, kLargestTargetHours}) {
        Json restore = removed;
        restore["target_hours"] = hours;
        const Json view = ask(plantRestore(restore.dump()));
        EXPECT_EQ(view.contains("error"), hours > kLargestTargetHours) << hours;
    }
    const Json view = ask(plantView());
    ASSERT_EQ(view["rows"].size(), 1u);
    EXPECT_EQ(ask(plantLoad(plantCsv(), "7"))["rows"], view["rows"]);
}

TEST_F(PlantApi, ALoadedFileShowsItsProblemsAndItsOtherRowsAndARefusedOneChangesNothing) {
    const Json read = ask(plantLoad("name,start,analog\nA,2026-02-30,1\nB,2026-03-01,41\nC,2026-03-01,2\n", "3"));
    EXPECT_EQ(read["fileError"], "");
    EXPECT_EQ(read["problems"], Json({"line 2, column start: 2026-02-30 is not a day: February 2026 has 28 days",
                                      "line 3, column analog: 41 is outside 0..40"}));
    ASSERT_EQ(read["rows"].size(), 2u);
    // The refused start shows as its file held it, marked; the refused row is kept.
    EXPECT_EQ(read["rows"][0]["start"], "2026-02-30");
    EXPECT_EQ(read["rows"][0]["start_refused"], "2026-02-30 is not a day: February 2026 has 28 days");
    EXPECT_EQ(read["rows"][0]["state"], "no_start");
    EXPECT_EQ(read["rows"][1]["cells"][0], "C");
    EXPECT_EQ(read["kept"], Json::parse(R"([{"before":1,"text":"B,2026-03-01,,,,41)" +
                                        std::string(plantFileColumns({}).size() - 6, ',') +
                                        R"(","problem":"line 3, column analog: 41 is outside 0..40"}])"));
    EXPECT_EQ(read["unread"], "1 row and 1 cell that could not be read are written back as they were");
    EXPECT_EQ(read["margin"], 3);

    // What the page exports is the plant file's one writer's text, which reads back to the same plant.
    const PlantFileReading again = readPlantText(plantCsv());
    EXPECT_EQ(plantCsvText(again.recorders, again.kept), plantCsv());
    EXPECT_EQ(ask(plantLoad(plantCsv(), "3"))["rows"], read["rows"]);

    std::string large = "name\n";
    for (int i = 0; i <= 10000; ++i) large += "R" + std::to_string(i) + "\n";
    EXPECT_EQ(ask(plantLoad(large, "3"))["fileError"],
              "the file has more than 10,000 recorders; this page holds 10,000 at the most");
    const Json refused = ask(plantLoad("nose,start\nA,\n", "3"));
    EXPECT_NE(refused["fileError"], "");
    EXPECT_EQ(ask(plantView())["rows"], read["rows"]);
    // A margin out of range costs the margin alone.
    const Json margin = ask(plantLoad("name\nA\n", "400"));
    EXPECT_EQ(margin["problems"], Json({"a margin of \"400\" days is not a whole number of days from 0 to 365; the "
                                        "default 7 days is taken"}));
    EXPECT_EQ(margin["margin"], 7);
    EXPECT_EQ(margin["rows"].size(), 1u);
}

TEST_F(PlantApi, BytesThatAreNoTextAnswerJsonAndLoseNothing) {
    // A refusal that quotes them, and a file's problem that quotes them: each
    // answer is JSON, those bytes written as U+FFFD.
    EXPECT_EQ(ask(plantMargin("2026-\xff"))["error"],
              "a margin of \"2026-\xEF\xBF\xBD\" days is not accepted; use " + marginRule());
    EXPECT_TRUE(ask(plantSort("\xff", "ascending")).contains("error"));
    const Json read = ask(plantLoad("name,start\nBoiler 1,2026-\xfe\n", "7"));
    ASSERT_EQ(read["rows"].size(), 1u);
    EXPECT_EQ(read["problems"], Json({"line 2, column start: 2026-\xC3\xBE is not a date such as 2026-03-14, "
                                      "2026/03/14, 14.03.2026 or 14.03.26"}));
    EXPECT_EQ(read["notes"][0],
              "line 2: the bytes are not UTF-8; read as Windows-1252, as is every later row that "
              "is not UTF-8");
    EXPECT_EQ(ask(plantView())["rows"], read["rows"]);
}

}  // namespace
}  // namespace capacimo::web
