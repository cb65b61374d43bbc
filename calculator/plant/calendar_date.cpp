#include "calculator/plant/calendar_date.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

#include "calculator/plant/plant_words.h"
#include "calculator/plant/problem_text.h"

namespace capacimo {
namespace {

namespace chrono = std::chrono;

constexpr int kFirstYear = 1970;
// Two-digit years, as a German short date writes them, are of this century.
constexpr int kTwoDigitCentury = 2000;
constexpr std::string_view kDateForms = "2026-03-14, 2026/03/14, 14.03.2026 or 14.03.26";
constexpr std::array<std::string_view, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                          "May",       "June",     "July",     "August",
                                                          "September", "October",  "November", "December"};

bool isDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int number(std::string_view digits) {
    int n = 0;
    for (const char c : digits) n = n * 10 + (c - '0');
    return n;
}

// The digits of a date's year, month and day, as the forms people and
// spreadsheets write put them:
//   year first, with dashes or slashes: 2026-03-14, 2026-3-4, 2026/03/14;
//   day first, with dots: 14.03.2026, 4.3.2026, 14.03.26.
// A year of more than four digits (but no leading zero) is taken too, so
// that it is named as after 9999 rather than as a text of the wrong form.
// With slashes and the year last (01/02/27) the day and the month cannot be
// told apart: US spreadsheets write 02/01/27 for the same day.
struct DateParts {
    std::string_view year, month, day;
};
enum class DateForm { Read, NotADate, DayOrMonth };
DateForm dateParts(std::string_view text, DateParts& parts) {
    const std::size_t first = text.find_first_of("-/.");
    if (first == std::string_view::npos) return DateForm::NotADate;
    const char separator = text[first];
    const std::size_t second = text.find(separator, first + 1);
    if (second == std::string_view::npos || text.find(separator, second + 1) != std::string_view::npos) {
        return DateForm::NotADate;
    }
    const std::string_view a = text.substr(0, first);
    const std::string_view b = text.substr(first + 1, second - first - 1);
    const std::string_view c = text.substr(second + 1);
    if (!isDigits(a) || !isDigits(b) || !isDigits(c)) return DateForm::NotADate;
    const auto isYear = [](std::string_view y, bool twoDigits) {
        return y.size() == 4 || (y.size() > 4 && y[0] != '0') || (twoDigits && y.size() == 2);
    };
    const auto isDayOrMonth = [](std::string_view d) { return d.size() <= 2; };
    if (separator == '.') {
        if (!isDayOrMonth(a) || !isDayOrMonth(b) || !isYear(c, true)) return DateForm::NotADate;
        parts = {c, b, a};
        return DateForm::Read;
    }
    if (isYear(a, false) && isDayOrMonth(b) && isDayOrMonth(c)) {
        parts = {a, b, c};
        return DateForm::Read;
    }
    if (separator == '/' && isDayOrMonth(a) && isDayOrMonth(b) && isYear(c, true)) return DateForm::DayOrMonth;
    return DateForm::NotADate;
}

DateReading problem(std::string_view text, std::string_view why) {
    return {std::nullopt, problemText(text) + ' ' + std::string(why)};
}

}  // namespace

CalendarDate dateOf(const CivilDate& c) {
    const chrono::year_month_day ymd{chrono::year{c.year}, chrono::month{static_cast<unsigned>(c.month)},
                                     chrono::day{static_cast<unsigned>(c.day)}};
    return CalendarDate(chrono::sys_days{ymd}.time_since_epoch().count());
}

CivilDate civilOf(CalendarDate date) {
    const chrono::year_month_day ymd{chrono::sys_days{chrono::days{date.daysSince1970()}}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int daysInMonth(int year, int month) {
    const chrono::year_month_day_last last{chrono::year{year} / chrono::month{static_cast<unsigned>(month)} /
                                           chrono::last};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

std::string dateText(CalendarDate date) {
    if (date > kLastDate) return std::string(kAfterLastYear);
    const CivilDate c = civilOf(date);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", c.year, c.month, c.day);
    return text;
}

std::string dateText(const std::optional<CalendarDate>& date) { return date ? dateText(*date) : std::string(); }

DateReading readDate(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    text = first == std::string_view::npos ? std::string_view()
                                           : text.substr(first, text.find_last_not_of(" \t") - first + 1);
    const std::string forms = "a date such as " + std::string(kDateForms);
    if (text.empty()) return {std::nullopt, "an empty text is not " + forms};
    DateParts parts;
    switch (dateParts(text, parts)) {
    case DateForm::Read: break;
    case DateForm::NotADate: return problem(text, "is not " + forms);
    case DateForm::DayOrMonth:
        return problem(text,
                       "may be day/month or month/day; write the year first (2026/03/14) or the day with "
                       "dots (14.03.2026)");
    }
    if (parts.year.size() > 4) return problem(text, "is " + std::string(kAfterLastYear));
    const int year = number(parts.year) + (parts.year.size() == 2 ? kTwoDigitCentury : 0);
    const int month = number(parts.month);
    const int day = number(parts.day);
    if (month < 1 || month > 12) return problem(text, "is not a day: there is no month " + std::to_string(month));
    if (day < 1) return problem(text, "is not a day: there is no day 0");
    const int days = daysInMonth(year, month);
    if (day > days) {
        char yearText[8];
        std::snprintf(yearText, sizeof yearText, "%04d", year);
        return problem(text, "is not a day: " + std::string(kMonthNames[static_cast<std::size_t>(month - 1)]) + ' ' +
                                 yearText + " has " + std::to_string(days) + " days");
    }
    if (year < kFirstYear) return problem(text, "is before " + std::to_string(kFirstYear));
    return {dateOf({year, month, day}), {}};
}

}  // namespace capacimo
