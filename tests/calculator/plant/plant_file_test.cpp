// A plant file read whole and written: a bad day, target or medium costs only
// that cell, a spreadsheet's file reads, and what is written reads back to
// the same plant and the same bytes.
#include "calculator/plant/plant_file.h"

#include <gtest/gtest.h>

#include <random>

#include "calculator/plant/clock.h"
#include "calculator/plant/plant_csv.h"
#include "tests/calculator/random_entries.h"

namespace capacimo {
namespace {

TEST(PlantFile, ABadStartTargetOrMediumCostsThatCellAndABadSetupCellTheRow) {
    const PlantFileReading read = readPlantText(
        "name,start,target,medium,analog\n"
        "A,2026-02-30,26w,sd,1\n"
        "B,2026-13-01,0w,,1\n"
        "C,1969-12-31,,tape,1\n"
        "D,10000-01-01,,,1\n"
        "E,01/02/27,,,1\n"
        "F,5.1.2026,,,1\n"
        "G,,,,1\n"
        "H,14.03.2999,3w4d,SD,1\n"
        "I,2026-03-14,,,41\n"
        "A,2026-03-14,,,2\n");
    EXPECT_EQ(read.fileError, "");
    EXPECT_EQ(read.problems, (std::vector<std::string>{
                                 "line 2, column start: 2026-02-30 is not a day: February 2026 has 28 days",
                                 "line 3, column start: 2026-13-01 is not a day: there is no month 13",
                                 "line 3, column target: 0w keeps nothing; a target is at least 1h",
                                 "line 4, column start: 1969-12-31 is before 1970",
                                 "line 4, column medium: tape is not internal or sd",
                                 "line 5, column start: 10000-01-01 is after 9999",
                                 "line 6, column start: 01/02/27 may be day/month or month/day; write the year "
                                 "first (2026/03/14) or the day with dots (14.03.2026)",
                                 "line 10, column analog: 41 is outside 0..40",
                             }));
    // Every row but the one with a bad setup cell is kept; two named alike both.
    ASSERT_EQ(read.recorders.size(), 9u);
    EXPECT_EQ(read.notes, (std::vector<std::string>{"line 11: \"A\" is also the name of line 2; both are kept"}));
    const PlantRecorder& a = read.recorders[0];
    EXPECT_FALSE(a.start);
    EXPECT_EQ(a.targetHours, 26 * 168);
    EXPECT_EQ(a.targetMedium, Medium::Card);
    EXPECT_FALSE(read.recorders[1].targetHours);
    EXPECT_EQ(read.recorders[4].refused.start, "01/02/27");  // kept to be written back
    EXPECT_EQ(read.recorders[5].start, dateOf({2026, 1, 5}));
    EXPECT_FALSE(read.recorders[6].start);  // an empty start: no days, no problem
    EXPECT_EQ(read.recorders[6].refused, RefusedCells{});
    const PlantRecorder& h = read.recorders[7];  // a start in the future: planned
    EXPECT_EQ(h.start, dateOf({2999, 3, 14}));
    EXPECT_EQ(h.targetHours, 25 * 24);
    EXPECT_EQ(read.recorders[8].name, "A");
    EXPECT_EQ(read.recorders[8].entries.counts.analog, 2);
}

TEST(PlantFile, ReadsASpreadsheetsFileWithBomCrlfAndSemicolons) {
    const PlantFileReading read = readPlantText(
        "\xEF\xBB\xBF"
        "name;start;card;group1.cycle\r\n"
        "\"Boiler; house, 1\";14.03.2026;1 GB;1s\r\n"
        ";;;\r\n"
        "Boiler 2;;;\r\n");
    ASSERT_EQ(read.fileError, "");
    EXPECT_TRUE(read.problems.empty()) << read.problems.front();
    ASSERT_EQ(read.recorders.size(), 2u);
    EXPECT_EQ(read.recorders[0].name, "Boiler; house, 1");
    EXPECT_EQ(read.recorders[0].start, dateOf({2026, 3, 14}));
    EXPECT_EQ(read.recorders[0].entries.cardItem, 2);
    EXPECT_EQ(read.recorders[1].name, "Boiler 2");
    EXPECT_EQ(read.notes, (std::vector<std::string>{"line 3: every cell is empty; skipped"}));

    // A comma-separated file's rows keep their semicolons as text.
    EXPECT_EQ(readPlantText("name,analog\na;b,3\n").recorders.at(0).name, "a;b");
    EXPECT_EQ(readPlantText("name;analog,card\n").fileError,
              "line 1, header: \",\" and \";\" separate its names; a plant CSV uses one of them");
}

TEST(PlantFile, WhatIsWrittenReadsBackToTheSamePlantAndTheSameBytes) {
    std::mt19937 random(22);
    std::vector<PlantRecorder> plant;
    const char* const names[] = {"Boiler 1", "a, \"quoted\"; name", "", "=1+2", "Boiler 1"};
    for (const char* name : names) {
        PlantRecorder recorder;
        recorder.name = name;
        recorder.entries = test::randomEntries(random);
        if (plant.size() % 2 == 0) recorder.start = kFirstDate + random() % 2932897;
        if (plant.size() % 3 != 2) recorder.targetHours = 1 + random() % 999999 * 193;
        if (plant.size() == 2) recorder.targetMedium = Medium::Card;  // without a target too
        plant.push_back(recorder);
    }
    const std::string text = plantCsvText(plant);
    EXPECT_EQ(text.substr(0, 36), "name,start,target,medium,card,analog");
    const std::string firstRow = "Boiler 1," + dateText(plant[0].start) + ",";
    EXPECT_EQ(text.substr(text.find('\n') + 1, firstRow.size()), firstRow);
    const PlantFileReading read = readPlantText(text);
    EXPECT_TRUE(read.problems.empty()) << read.problems.front();
    EXPECT_EQ(read.recorders, plant);
    EXPECT_EQ(plantCsvText(read.recorders), text);
    EXPECT_EQ(plantCsvText({}), plantHeaderText(plantFileColumns({})) + "\n");
    EXPECT_EQ(plantFileColumns({}).size(), plantCsvColumns().size() - 12);  // the alarm columns only when set
    for (const std::int64_t hours : {1, 12, 24, 168, 25 * 24, 999'999 * 193}) {
        EXPECT_EQ(readTarget(targetCellText(hours)).hours, hours) << hours;
    }
    EXPECT_EQ(targetCellText(26 * 168), "26w");
    EXPECT_EQ(targetCellText(3 * 168 + 4 * 24), "3w4d");
}

// What could not be read survives an open and a save without an edit: the
// same recorders, the same refusals, the same texts; edits around a kept row
// keep it in its place.
TEST(PlantFile, WhatCouldNotBeReadIsWrittenBackInItsPlace) {
    const std::string text =
        "name,start,analog\n"
        "A,01/02/27,1\n"
        "\"Open,2026-01-05,1\n"
        "B,2026-01-05,41\n"
        "C,2026-01-05,1\n";
    const PlantFileReading first = readPlantText(text);
    ASSERT_EQ(first.recorders.size(), 2u);
    ASSERT_EQ(first.kept.size(), 2u);
    EXPECT_EQ(first.kept[0].before, 1u);
    EXPECT_EQ(first.kept[0].text, "\"Open,2026-01-05,1");
    EXPECT_EQ(unreadSummary(first.recorders, first.kept),
              "2 rows and 1 cell that could not be read are written back as they were");
    const std::string saved = plantCsvText(first.recorders, first.kept);
    const PlantFileReading again = readPlantText(saved);
    EXPECT_EQ(again.recorders, first.recorders);
    EXPECT_EQ(again.kept.size(), 2u);
    EXPECT_EQ(again.problems.size(), first.problems.size());
    for (std::size_t i = 0; i < again.problems.size(); ++i) {
        // The same refusal, on the line the saved file gives it.
        const auto reason = [](const std::string& p) { return p.substr(p.find(':')); };
        EXPECT_EQ(reason(again.problems[i]), reason(first.problems[i])) << again.problems[i];
    }
    EXPECT_EQ(plantCsvText(again.recorders, again.kept), saved);

    // A recorder taken out before a kept row, and one put in, move it along.
    FixedClock clock(dateOf({2026, 3, 1}));
    Plant plant(clock);
    for (const PlantRecorder& r : first.recorders) plant.append(r);
    plant.setKept(first.kept);
    plant.insert(0, first.recorders[1]);
    EXPECT_EQ(plant.kept()[0].before, 2u);
    EXPECT_EQ(plant.kept()[1].before, 2u);
    plant.remove(1);
    EXPECT_EQ(plant.kept()[0].before, 1u);
    plant.insert(1, first.recorders[0]);  // where kept rows stand, after them
    EXPECT_EQ(plant.kept()[1].before, 1u);
    // A start given anew takes the refused text's place.
    const PlantRecorder& a = plant.recorders()[1];
    EXPECT_EQ(startCell(a).text, "01/02/27");
    EXPECT_EQ(startCell(a).refusal.substr(0, 35), "01/02/27 may be day/month or month/");
    EXPECT_EQ(plant.rows()[1].dates.state, RecorderState::NoStart);
}

}  // namespace
}  // namespace capacimo
