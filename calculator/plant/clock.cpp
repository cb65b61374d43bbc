#include "calculator/plant/clock.h"

#include <ctime>

namespace capacimo {

// The local date: the C library's localtime_r, since std::chrono's time zones
// are not in the standard library of Debian 12's compiler nor in emscripten's.
CalendarDate SystemClock::today() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return dateOf({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday});
}

}  // namespace capacimo
