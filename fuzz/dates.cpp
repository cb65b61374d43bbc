// A date or a retention target as a plant's cell or a field hands it over.
// A refused text is fine; its problem is one line. An accepted date lies in
// 1970..9999 and reads again from its text as the same day; an accepted
// target is at least an hour.
#include <string>

#include "calculator/plant/plant.h"
#include "fuzz/fuzz_check.h"

using capacimo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const capacimo::DateReading date = capacimo::readDate(text);
    check(date.date.has_value() == date.problem.empty(), "a date reads as a day or as a problem");
    check(date.problem.find_first_of("\r\n") == std::string::npos, "a date's problem is one line");
    if (date.date) {
        check(*date.date >= capacimo::kFirstDate && *date.date <= capacimo::kLastDate,
              "a date read lies in 1970..9999");
        check(capacimo::readDate(capacimo::dateText(*date.date)).date == date.date, "a date read reads again");
    }
    const capacimo::TargetReading target = capacimo::readTarget(text);
    check(target.hours.has_value() == target.problem.empty(), "a target reads as hours or as a problem");
    check(target.problem.find_first_of("\r\n") == std::string::npos, "a target's problem is one line");
    check(!target.hours || *target.hours >= 1, "a target read keeps at least an hour");
    return 0;
}
