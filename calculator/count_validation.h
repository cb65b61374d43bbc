// The checks the calculator runs after every change of a channel count. They
// never refuse an entry: they name the first problem found, or point out that
// a large configuration needs a fieldbus option, and the calculation runs on.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "calculator/recorder_setup.h"

namespace capacimo {

// The channel counts as the user entered them. Entry fields deliver typed
// numbers unclamped until they lose the focus, so any 32-bit value can appear.
struct ChannelCounts {
    std::int32_t analog = 0;                          // A
    std::int32_t analogTotalized = 0;                 // At
    std::int32_t analogImpulse = 0;                   // Ai
    std::int32_t digitalEvents = 0;                   // D1
    std::int32_t digitalEventsOpTime = 0;             // D2
    std::int32_t digitalCounters = 0;                 // D3
    std::int32_t mathValues = 0;                      // M1
    std::int32_t mathValuesTotalized = 0;             // Mt
    std::int32_t mathStates = 0;                      // M2
    std::int32_t mathCounters = 0;                    // M3
    std::array<std::int32_t, kGroups> groupValues{};  // Gv(g), instantaneous values per group
    std::array<std::int32_t, kGroups> groupStates{};  // Gs(g), on/off states per group
    bool operator==(const ChannelCounts&) const = default;
};

enum class StatusLevel { None, Error, Information };

struct ValidationOutcome {
    StatusLevel level = StatusLevel::None;
    std::string text;
    bool operator==(const ValidationOutcome&) const = default;
};

// Largest counts the recorder takes: digital and math channels together.
inline constexpr int kMaxDigitalTotal = 14;
inline constexpr int kMaxMathTotal = 8;

// Runs the checks in their order of precedence; the first failing one wins.
ValidationOutcome validateCounts(const ChannelCounts& counts);

// The dependent analog counts after "Number of analog channels" changed: with no
// analog channel nothing is totalized or counted; totalizers shrink to the plain
// channels left beside the impulse counters; impulse counters to the channels.
// Says which of At and Ai to set, and to what (in that order); a count that is
// set is set even when it holds that number already (its text may be "00").
// Negative values are left for the entry field to raise to 0.
struct AnalogDependents {
    std::optional<std::int32_t> totalized;
    std::optional<std::int32_t> impulse;
};
AnalogDependents adjustAnalogDependents(std::int32_t analog, std::int32_t totalized, std::int32_t impulse);

// The math totalizers to set after "Number of instantaneous values" changed, if any.
std::optional<std::int32_t> adjustMathTotalized(std::int32_t mathValues, std::int32_t totalized);

}  // namespace capacimo
