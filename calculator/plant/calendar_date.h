// Calendar days for a plant's dates: the day a recorder's memory was last
// emptied, the day a medium is full, the day to read it out by. A day is a
// plain calendar date without a time of day or a time zone, in the Gregorian
// calendar; the program names days from 1970-01-01 to 9999-12-31 and writes
// them as ISO 8601 "2027-03-14". Standard library only.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace capacimo {

// A day, as the number of days since 1970-01-01 (which is day 0). Any number
// is a day, also outside the years the program names, so that day arithmetic
// never fails: a medium that lasts 5000 years is full on a day too, which
// results then show as "after 9999" (see kAfterLastDate). Ordered like the
// days themselves.
class CalendarDate {
public:
    constexpr CalendarDate() = default;
    constexpr explicit CalendarDate(std::int64_t daysSince1970) : days_(daysSince1970) {}
    constexpr std::int64_t daysSince1970() const { return days_; }

    // The day n days later (earlier for a negative n).
    constexpr CalendarDate operator+(std::int64_t n) const { return CalendarDate(days_ + n); }
    constexpr CalendarDate operator-(std::int64_t n) const { return CalendarDate(days_ - n); }
    // Days from other to this day: 2026-03-14 - 2026-03-07 is 7.
    constexpr std::int64_t operator-(CalendarDate other) const { return days_ - other.days_; }
    constexpr auto operator<=>(const CalendarDate&) const = default;

private:
    std::int64_t days_ = 0;
};

// A day as year, month (1..12) and day of the month (1..31).
struct CivilDate {
    int year = 1970;
    int month = 1;
    int day = 1;
    bool operator==(const CivilDate&) const = default;
};

// The conversions between days and years, months and days are the standard
// library's (std::chrono's civil calendar: no time zones, no leap seconds),
// for the years it names, -32767 to 32767; the program needs 1969 to 9999.
//
// The day a year, month and day name; the month and day must name a day of
// that year (see daysInMonth).
CalendarDate dateOf(const CivilDate& civil);
// The year, month and day of a day.
CivilDate civilOf(CalendarDate date);
// 28 to 31: the days of a month (1..12) of a year, leap years counted.
int daysInMonth(int year, int month);

// The first and last day the program names.
inline constexpr CalendarDate kFirstDate{0};       // 1970-01-01
inline constexpr CalendarDate kLastDate{2932896};  // 9999-12-31
// Every day after kLastDate, as results give it: one value that sorts after
// every date and that dateText() writes "after 9999". Results never hold a
// later day; withinCalendar() brings one to this.
inline constexpr CalendarDate kAfterLastDate = kLastDate + 1;
// The day itself, or kAfterLastDate for any day after kLastDate.
constexpr CalendarDate withinCalendar(CalendarDate date) { return date > kLastDate ? kAfterLastDate : date; }

// "2027-03-14"; "after 9999" for any day after kLastDate. Days before 1970
// are written alike ("1969-12-25"): a read-out day may lie before the start.
std::string dateText(CalendarDate date);
// The same, or an empty text for no day: a table's or a CSV file's cell.
std::string dateText(const std::optional<CalendarDate>& date);

// The date a text names, or why it names none, in one line that begins with
// the text (shortened, control characters as escapes), so that every reader
// of dates words a bad one alike. The forms people and spreadsheets write:
//   "2026-03-14", "2026-3-4", "2026/03/14"  year first, dashes or slashes
//   "14.03.2026", "4.3.2026", "14.03.26"    day first, dots; a two-digit
//                                           year is 2000..2099
//   blanks around are ignored; the problems:
//   "2026-02-30"   -> "2026-02-30 is not a day: February 2026 has 28 days"
//   "2026-13-01"   -> "2026-13-01 is not a day: there is no month 13"
//   "00.01.2026"   -> "00.01.2026 is not a day: there is no day 0"
//   "1969-12-31"   -> "1969-12-31 is before 1970"
//   "10000-01-01"  -> "10000-01-01 is after 9999"
//   "01/02/27"     -> "01/02/27 may be day/month or month/day; write ..."
//   "2026 03 14"   -> "2026 03 14 is not a date such as 2026-03-14, ..."
// Only years 1970 to 9999 are read; dates are always written as ISO 8601.
// An empty text is no date either; a caller for which an empty cell means
// "no date" asks for it before.
struct DateReading {
    std::optional<CalendarDate> date;
    std::string problem;  // empty when there is a date
};
DateReading readDate(std::string_view text);

}  // namespace capacimo
