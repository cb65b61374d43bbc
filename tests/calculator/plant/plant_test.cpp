// A plant's days at the edges of its rules, its sorting and totals, and that
// an edit calculates the edited recorder alone.
#include "calculator/plant/plant.h"
#include "calculator/plant/plant_calendar.h"

#include <gtest/gtest.h>

namespace capacimo {
namespace {

const CalendarDate kToday = dateOf({2026, 3, 14});

// Durations in whole days (-1: none).
CalculationResult lasting(std::int32_t internalDays, std::int32_t cardDays) {
    const auto duration = [](std::int32_t days) {
        return days < 0 ? kNoDuration : StorageDuration{days / 7, days % 7, 0};
    };
    CalculationResult result;
    result.internal = duration(internalDays);
    result.card = duration(cardDays);
    return result;
}

PlantRecorder startedOn(std::optional<CalendarDate> start) {
    PlantRecorder recorder;
    recorder.start = start;
    return recorder;
}

TEST(Plant, FullOnReadOutAndStateAtTheEdgesOfTheRules) {
    const PlantTerms terms{kToday, 7};
    const auto judge = [&](std::optional<CalendarDate> start, CalculationResult result) {
        return recorderDates(result, startedOn(start), terms);
    };
    // Read out on the day the internal memory is full less 7: emptied
    // today - 10 days, full 17 days later, so read out today.
    RecorderDates d = judge(kToday - 10, lasting(17, 30));
    EXPECT_EQ(d.internalFullOn, kToday + 7);
    EXPECT_EQ(d.sdFullOn, kToday + 20);
    EXPECT_EQ(d.readOutBy, kToday);
    EXPECT_EQ(d.fullFirst, Medium::Internal);
    EXPECT_EQ(d.state, RecorderState::Overdue);
    EXPECT_EQ(judge(kToday - 10, lasting(18, 30)).state, RecorderState::Due);  // tomorrow
    d = judge(kToday, lasting(30, 14));  // the card is full first, read out today + 7
    EXPECT_EQ(d.fullFirst, Medium::Card);
    EXPECT_EQ(d.readOutBy, kToday + 7);
    EXPECT_EQ(d.state, RecorderState::Due);
    EXPECT_EQ(judge(kToday, lasting(30, 15)).state, RecorderState::Ok);     // today + margin + 1
    EXPECT_EQ(judge(kToday, lasting(15, 15)).fullFirst, Medium::Internal);  // a tie names the internal memory

    // The hours count from the start day's 00:00: 47 hours end on the next day.
    CalculationResult hours = lasting(0, -1);
    hours.internal = {0, 1, 23};
    EXPECT_EQ(judge(kToday, hours).internalFullOn, kToday + 1);
    hours.internal = {0, 2, 0};
    EXPECT_EQ(judge(kToday, hours).internalFullOn, kToday + 2);

    // Without a start there are no days, and a state of its own; a planned start is judged alike.
    RecorderDates none;
    none.state = RecorderState::NoStart;
    EXPECT_EQ(judge(std::nullopt, lasting(3, 3)), none);
    d = judge(kToday + 400, lasting(30, 30));
    EXPECT_EQ(d.readOutBy, kToday + 423);
    EXPECT_EQ(d.state, RecorderState::Ok);

    // No duration (a card of no known size): never full.
    d = judge(kToday, lasting(30, -1));
    EXPECT_EQ(d.sdFullOn, std::nullopt);
    EXPECT_EQ(d.readOutBy, kToday + 23);
    EXPECT_EQ(judge(kToday, lasting(-1, -1)).readOutBy, std::nullopt);

    // Days after 9999-12-31; a read-out day still within 9999 is named.
    d = judge(kLastDate - 3, lasting(5, 100000));
    EXPECT_EQ(d.internalFullOn, kAfterLastDate);
    EXPECT_EQ(d.sdFullOn, kAfterLastDate);
    EXPECT_EQ(d.readOutBy, kLastDate - 5);
    EXPECT_EQ(datesObject(d).dump(),
              R"({"internal_full_on":"after 9999","sd_full_on":"after 9999","read_out_by":"9999-12-26","state":"ok"})");
    d = judge(kLastDate, lasting(8, 9));
    EXPECT_EQ(d.readOutBy, kAfterLastDate);
    EXPECT_EQ(d.state, RecorderState::Ok);
    EXPECT_EQ(datesObject(judge(std::nullopt, lasting(1, 1))).dump(),
              R"({"internal_full_on":null,"sd_full_on":null,"read_out_by":null,"state":"no_start"})");

    // A margin of 0: read out on the day itself.
    EXPECT_EQ(recorderDates(lasting(5, 9), startedOn(kToday - 5), {kToday, 0}).state, RecorderState::Overdue);
    EXPECT_EQ(recorderDates(lasting(6, 9), startedOn(kToday - 5), {kToday, 0}).state, RecorderState::Ok);
}

TEST(Plant, ShortWhenTheTargetsMediumLastsLessUnlessTheDayComesFirst) {
    const PlantTerms terms{kToday, 7};
    PlantRecorder r = startedOn(std::nullopt);
    r.targetHours = 26 * kHoursPerWeek;
    r.targetMedium = Medium::Card;
    EXPECT_EQ(recorderDates(lasting(10, 26 * 7 - 1), r, terms).state, RecorderState::Short);
    EXPECT_EQ(recorderDates(lasting(10, 26 * 7), r, terms).state, RecorderState::NoStart);
    EXPECT_EQ(recorderDates(lasting(500, -1), r, terms).state, RecorderState::Short);  // no duration never reaches
    r.start = kToday - 10;
    EXPECT_EQ(recorderDates(lasting(17, 26 * 7 - 1), r, terms).state, RecorderState::Overdue);
    EXPECT_EQ(recorderDates(lasting(20, 26 * 7 - 1), r, terms).state, RecorderState::Due);
    EXPECT_EQ(recorderDates(lasting(40, 26 * 7 - 1), r, terms).state, RecorderState::Short);

    EXPECT_EQ(readTarget("26w").hours, 26 * kHoursPerWeek);
    EXPECT_EQ(readTarget("0w").problem, "0w keeps nothing; a target is at least 1h");
    EXPECT_EQ(readTarget("26x").problem, "26x is not a retention such as 26w, 3w4d, 180d or 12h");
}

TEST(Plant, SortsByAnyColumnStablyWithMissingValuesLast) {
    std::vector<RecorderRow> rows(6);
    const char* names[] = {"boiler 10", "Boiler 2", "Kiln", "boiler 2", "Boiler 02a", "Press"};
    const std::optional<CalendarDate> readOut[] = {kToday + 3, std::nullopt, kToday, kToday + 3, std::nullopt, kToday};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].name = names[i];
        rows[i].dates.readOutBy = readOut[i];
        rows[i].result = lasting(static_cast<std::int32_t>(i) - 1, 5);
    }
    using Order = std::vector<std::size_t>;
    EXPECT_EQ(sortedRows(rows), (Order{2, 5, 0, 3, 1, 4}));
    EXPECT_EQ(sortedRows(rows, PlantColumn::ReadOutBy, SortOrder::Descending), (Order{0, 3, 2, 5, 1, 4}));
    EXPECT_EQ(sortedRows(rows, PlantColumn::Name), (Order{1, 3, 4, 0, 2, 5}));
    EXPECT_EQ(sortedRows(rows, PlantColumn::Name, SortOrder::Descending), (Order{5, 2, 0, 4, 1, 3}));
    EXPECT_EQ(sortedRows(rows, PlantColumn::Internal, SortOrder::Descending), (Order{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(sortedRows(rows, PlantColumn::Sd), (Order{0, 1, 2, 3, 4, 5}));
}

TEST(Plant, AnEditCalculatesTheEditedRecorderAloneAndADayChangeNone) {
    FixedClock clock(kToday);
    Plant plant(clock);
    PlantRecorder heavy;
    heavy.name = "Heavy";
    heavy.entries.counts.analog = 40;
    heavy.entries.counts.groupValues[0] = 8;
    heavy.entries.cycleItems[0] = 1;  // 100ms
    heavy.start = kToday - 50;
    for (int i = 0; i < 3; ++i) plant.append(heavy);
    PlantRecorder light = startedOn(kToday);
    light.name = "Light";
    plant.insert(1, light);
    ASSERT_EQ(plant.size(), 4u);
    EXPECT_EQ(plant.rows()[1].name, "Light");
    EXPECT_EQ(plant.totals().recorders, 4u);
    EXPECT_EQ(plant.totals().of(RecorderState::Overdue), 3u);
    EXPECT_EQ(plant.totals().of(RecorderState::Ok), 1u);

    const std::uint64_t before = calculationsRun();
    light.start = kToday - 20000;
    plant.replace(1, light);
    EXPECT_EQ(calculationsRun(), before + 1);
    EXPECT_EQ(plant.rows()[1].dates.state, RecorderState::Overdue);
    const RecorderRow expected = plant.rows()[1];

    // The margin and the day judge every row again without calculating.
    plant.setMarginDays(kLargestMarginDays);
    EXPECT_EQ(plant.rows()[1].dates.readOutBy, *expected.dates.readOutBy + 7 - kLargestMarginDays);
    EXPECT_FALSE(plant.refresh());
    clock.setToday(kToday - 30000);  // every start still to come
    EXPECT_TRUE(plant.refresh());
    EXPECT_EQ(plant.totals().of(RecorderState::Overdue), 0u);
    EXPECT_EQ(calculationsRun(), before + 1);

    // Removed and put back, for an undo.
    const PlantRecorder removed = plant.remove(1);
    EXPECT_EQ(removed, light);
    EXPECT_EQ(plant.size(), 3u);
    plant.insert(1, removed);
    EXPECT_EQ(plant.recorders()[1], light);
    EXPECT_THROW(plant.setMarginDays(-1), std::out_of_range);
    EXPECT_THROW(plant.setMarginDays(kLargestMarginDays + 1), std::out_of_range);
    EXPECT_THROW(plant.replace(4, light), std::out_of_range);
    EXPECT_EQ(plant.marginDays(), kLargestMarginDays);
}

// A recorder's event keeps its UID when another of its name leaves the
// plant: recorders that share a name are told apart by their start.
TEST(Plant, ACalendarEventKeepsItsUidWhenAnotherOfItsNameGoes) {
    FixedClock clock(kToday);
    Plant plant(clock);
    const auto add = [&plant](std::size_t at, const char* name, int daysAgo) {
        PlantRecorder r = startedOn(kToday - daysAgo);
        r.name = name;
        plant.insert(at, r);
    };
    const auto uids = [&plant] {
        std::vector<std::string> found;
        const std::string ics = plantCalendar(plant.rows(), plant.terms());
        for (std::size_t at = ics.find("UID:"); at != std::string::npos; at = ics.find("UID:", at + 1))
            found.push_back(ics.substr(at + 4, ics.find('\r', at) - at - 4));
        return found;
    };
    add(0, "Boiler 1", 400);
    add(1, "Boiler 1", 30);
    add(2, "Kiln", 10);
    const std::vector<std::string> before = uids();
    ASSERT_EQ(before.size(), 3u);
    EXPECT_EQ(before[2], readOutEventUid("Kiln", 1));  // a name of its own: as ever
    plant.remove(0);
    EXPECT_NE(uids()[0], before[0]);
    EXPECT_NE(uids()[0], before[1]);  // alone with its name now, never another's
    add(0, "Boiler 1", 5);
    EXPECT_EQ(uids()[1], before[1]);  // sharing its name again: its own UID
    EXPECT_EQ(uids()[2], before[2]);
}

}  // namespace
}  // namespace capacimo
