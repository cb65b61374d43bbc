// The date reader's answers, good and bad, and the last day the program
// names. The day arithmetic itself is held against Python's datetime on
// random days (check_calendar_dates.py).
#include "calculator/plant/calendar_date.h"

#include <gtest/gtest.h>

namespace capacimo {
namespace {

TEST(CalendarDate, ReadsIsoAndGermanDatesAndSaysWhatIsWrongWithOthers) {
    const std::pair<const char*, CivilDate> good[] = {
        {"2026-03-14", {2026, 3, 14}},
        {"14.03.2026", {2026, 3, 14}},
        {" 29.02.2024\t", {2024, 2, 29}},
        {"1970-01-01", {1970, 1, 1}},
        {"9999-12-31", {9999, 12, 31}},
        {"2000-02-29", {2000, 2, 29}},
        // As spreadsheets write them back: slashes, no leading zeros, a German short date.
        {"2026/11/20", {2026, 11, 20}},
        {"2026-1-5", {2026, 1, 5}},
        {"2026/1/05", {2026, 1, 5}},
        {"20.11.26", {2026, 11, 20}},
        {"5.1.2026", {2026, 1, 5}},
        {"1.1.70", {2070, 1, 1}},
        {"31.12.99", {2099, 12, 31}}};
    for (const auto& [text, civil] : good) {
        const DateReading read = readDate(text);
        ASSERT_TRUE(read.date) << text << ": " << read.problem;
        EXPECT_EQ(civilOf(*read.date), civil) << text;
        EXPECT_EQ(read.problem, "");
    }
    const std::string kNotADate = "is not a date such as 2026-03-14, 2026/03/14, 14.03.2026 or 14.03.26";
    const std::pair<const char*, std::string> bad[] = {
        {"2026-02-30", "2026-02-30 is not a day: February 2026 has 28 days"},
        {"29.02.2023", "29.02.2023 is not a day: February 2023 has 28 days"},
        {"2100-02-29", "2100-02-29 is not a day: February 2100 has 28 days"},
        {"2026-04-31", "2026-04-31 is not a day: April 2026 has 30 days"},
        {"2026-01-00", "2026-01-00 is not a day: there is no day 0"},
        {"00.01.2026", "00.01.2026 is not a day: there is no day 0"},
        {"29.02.27", "29.02.27 is not a day: February 2027 has 28 days"},
        {"2026-13-01", "2026-13-01 is not a day: there is no month 13"},
        {"00.00.2026", "00.00.2026 is not a day: there is no month 0"},
        {"1969-12-31", "1969-12-31 is before 1970"},
        {"0000-01-01", "0000-01-01 is before 1970"},
        {"10000-01-01", "10000-01-01 is after 9999"},
        {"01.01.12345", "01.01.12345 is after 9999"},
        {"01/02/27",
         "01/02/27 may be day/month or month/day; write the year first (2026/03/14) or the day "
         "with dots (14.03.2026)"},
        {"11/20/2026",
         "11/20/2026 may be day/month or month/day; write the year first (2026/03/14) or the day "
         "with dots (14.03.2026)"},
        {"02026-01-01", "02026-01-01 " + kNotADate},
        {"2026-03/14", "2026-03/14 " + kNotADate},
        {"14.03.026", "14.03.026 " + kNotADate},
        {"2026-03-1x", "2026-03-1x " + kNotADate},
        {"+2026-03-14", "+2026-03-14 " + kNotADate},
        {"2026-03-14\n1", "2026-03-14\\n1 " + kNotADate},
        {"", "an empty text " + kNotADate},
        {"   ", "an empty text " + kNotADate},
    };
    for (const auto& [text, problem] : bad) {
        const DateReading read = readDate(text);
        EXPECT_FALSE(read.date) << text;
        EXPECT_EQ(read.problem, problem);
    }
    // A long text is cut between characters, so that the problem stays one short line.
    const DateReading long_ = readDate(std::string(36, 'x') + "\xC3\xBC" + std::string(100, 'y'));
    EXPECT_EQ(long_.problem, std::string(36, 'x') + "... " + kNotADate);
}

TEST(CalendarDate, TheLastDayAndTheDaysAfterIt) {
    EXPECT_EQ(kLastDate, dateOf({9999, 12, 31}));
    EXPECT_EQ(kFirstDate, dateOf({1970, 1, 1}));
    EXPECT_EQ(dateText(kLastDate), "9999-12-31");
    EXPECT_EQ(dateText(kAfterLastDate), "after 9999");
    EXPECT_EQ(dateText(kLastDate + 100000), "after 9999");
    EXPECT_EQ(dateText(kFirstDate - 7), "1969-12-25");
    EXPECT_EQ(withinCalendar(kLastDate), kLastDate);
    EXPECT_EQ(withinCalendar(kLastDate + 5), kAfterLastDate);
    EXPECT_EQ(dateOf({2026, 3, 14}) - dateOf({2026, 3, 7}), 7);
}

}  // namespace
}  // namespace capacimo
