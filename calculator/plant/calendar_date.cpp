#include "calculator/plant/calendar_date.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

#include "calculator/plant/problem_text.h"
#include "calculator/text/vocabulary.h"

namespace capacimo {
namespace {

namespace chrono = std::chrono;

constexpr int kFirstYear = 1970;
constexpr std::string_view kDateExamples = "a date such as 2026-03-14 or 14.03.2026";
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

// The digits of a date's year, month and day, in either form. The year may
// have more than four digits (but no leading zero then), so that a year
// after 9999 is named as such rather than as a text of the wrong form.
struct DateParts {
    std::string_view year, month, day;
};
std::optional<DateParts> dateParts(std::string_view text) {
    constexpr std::size_t kShortest = 10;  // "2026-03-14", "14.03.2026"
    if (text.size() < kShortest) return std::nullopt;
    DateParts parts;
    const std::size_t n = text.size();
    if (text[n - 3] == '-' && text[n - 6] == '-') {
        parts = {text.substr(0, n - 6), text.substr(n - 5, 2), text.substr(n - 2)};
    } else if (text[2] == '.' && text[5] == '.') {
        parts = {text.substr(6), text.substr(3, 2), text.substr(0, 2)};
    } else {
        return std::nullopt;
    }
    const bool yearForm = parts.year.size() == 4 || (parts.year.size() > 4 && parts.year[0] != '0');
    if (!yearForm || !isDigits(parts.year) || !isDigits(parts.month) || !isDigits(parts.day)) return std::nullopt;
    return parts;
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
    if (text.empty()) return {std::nullopt, "an empty text is not " + std::string(kDateExamples)};
    const std::optional<DateParts> parts = dateParts(text);
    if (!parts) return problem(text, "is not " + std::string(kDateExamples));
    if (parts->year.size() > 4) return problem(text, "is " + std::string(kAfterLastYear));
    const int year = number(parts->year);
    const int month = number(parts->month);
    const int day = number(parts->day);
    if (month < 1 || month > 12) return problem(text, "is not a day: there is no month " + std::to_string(month));
    const int days = daysInMonth(year, month);
    if (day < 1 || day > days) {
        return problem(text, "is not a day: " + std::string(kMonthNames[static_cast<std::size_t>(month - 1)]) + ' ' +
                                 std::string(parts->year) + " has " + std::to_string(days) + " days");
    }
    if (year < kFirstYear) return problem(text, "is before " + std::to_string(kFirstYear));
    return {dateOf({year, month, day}), {}};
}

}  // namespace capacimo
