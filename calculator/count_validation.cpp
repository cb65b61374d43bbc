#include "calculator/count_validation.h"

#include <cstdio>
#include <limits>

namespace capacimo {
namespace {

// Sums are formed in 64 bits: a typed 2147483647 plus one more channel must not
// wrap around into a small or negative number.
using Wide = std::int64_t;

ValidationOutcome error(std::string text) { return {StatusLevel::Error, std::move(text)}; }

std::string format(const char* pattern, int a) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, pattern, a);
    return buffer;
}

std::string format(const char* pattern, int a, int b) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, pattern, a, b);
    return buffer;
}

std::int32_t narrow(Wide v) {
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

}  // namespace

ValidationOutcome validateCounts(const ChannelCounts& c) {
    const Wide a = c.analog;
    const Wide at = c.analogTotalized;
    const Wide ai = c.analogImpulse;
    const Wide digital = Wide{c.digitalEvents} + c.digitalEventsOpTime + c.digitalCounters;
    const Wide math = Wide{c.mathValues} + c.mathStates + c.mathCounters;
    const Wide total = a + digital;

    if (total == 0) return error("Error: There must be at least 1 active analog or digital channel!");

    if (at > a || ai > a || ai + at > a) {
        return error(at > 0 ? "Error: To many analog totalizer!" : "Error: To many analog channels selected!");
    }
    if (digital > kMaxDigitalTotal) {
        return error(format("Error: To many digital channels (maximum = %d)!", kMaxDigitalTotal));
    }
    if (math > kMaxMathTotal) {
        return error(format("Error: To many math channels (maximum = %d)!", kMaxMathTotal));
    }
    if (c.mathValuesTotalized > c.mathValues) return error("Error: To many math totalizer!");
    for (int g = 0; g < kGroups; ++g) {
        if (Wide{c.groupValues[g]} + c.groupStates[g] > kSlotsPerGroup) {
            return error(format("Error in group %d: maximum %d channels per group!", g + 1, kSlotsPerGroup));
        }
    }
    // Beyond 20 analog channels (or 16 with more than 6 digital) the recorder's
    // bus load needs a fieldbus card.
    if (a > 20 || (a > 16 && digital > 6)) {
        return {StatusLevel::Information,
                "Information: this configuration is only possible if your unit has the option "
                "Profibus DP or Modbus."};
    }
    return {};
}

AnalogDependents adjustAnalogDependents(std::int32_t analog, std::int32_t totalized, std::int32_t impulse) {
    if (analog == 0) return {0, 0};
    AnalogDependents set;
    const Wide plain = Wide{analog} - impulse;
    if (plain < totalized) set.totalized = narrow(plain);
    if (analog < impulse) set.impulse = analog;
    return set;
}

std::optional<std::int32_t> adjustMathTotalized(std::int32_t mathValues, std::int32_t totalized) {
    if (mathValues == 0) return 0;
    if (mathValues < totalized) return mathValues;
    return std::nullopt;
}

}  // namespace capacimo
