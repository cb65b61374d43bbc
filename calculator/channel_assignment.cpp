#include "calculator/channel_assignment.h"

namespace capacimo {
namespace {

// Counts arrive unclamped from the entry fields (any 32-bit value), so every
// "how many remain" is kept in 64 bits.
using Wide = std::int64_t;

void assignAnalog(const ChannelCounts& c, RecorderSetup& setup) {
    int i = 0;
    Wide totalizers = c.analogTotalized;
    for (Wide plain = Wide{c.analog} - c.analogImpulse; plain > 0 && i < kAnalogChannels; --plain, ++i) {
        AnalogChannel& ch = setup.analog[i];
        ch.kind = analog_kind::kMeasured;
        ch.subKind = analog_kind::kSubKindPlain;
        ch.totalize = totalizers > 0 ? 1 : 0;
        --totalizers;
    }
    for (Wide impulse = c.analogImpulse; impulse > 0 && i < kAnalogChannels; --impulse, ++i) {
        AnalogChannel& ch = setup.analog[i];
        ch.kind = analog_kind::kImpulseCounter;
        ch.subKind = analog_kind::kSubKindImpulse;
        ch.totalize = 1;
    }
    for (; i < kAnalogChannels; ++i) {
        AnalogChannel& ch = setup.analog[i];
        ch.kind = analog_kind::kOff;
        ch.subKind = analog_kind::kSubKindPlain;
        ch.totalize = 0;
    }
}

void assignDigital(const ChannelCounts& c, RecorderSetup& setup) {
    int i = 0;
    const std::pair<std::int32_t, std::uint8_t> runs[] = {{c.digitalEvents, digital_kind::kEvent},
                                                          {c.digitalEventsOpTime, digital_kind::kEventWithOpTime},
                                                          {c.digitalCounters, digital_kind::kCounter}};
    for (const auto& [count, kind] : runs) {
        for (Wide n = count; n > 0 && i < kDigitalChannels; --n, ++i) setup.digital[i].kind = kind;
    }
    for (; i < kDigitalChannels; ++i) setup.digital[i].kind = digital_kind::kOff;
}

void assignMath(const ChannelCounts& c, RecorderSetup& setup) {
    int i = 0;
    Wide totalizers = c.mathValuesTotalized;
    for (Wide n = c.mathValues; n > 0 && i < kMathChannels; --n, ++i) {
        setup.math[i].kind = math_kind::kInstantValue;
        setup.math[i].totalize = totalizers > 0 ? 1 : 0;
        --totalizers;
    }
    for (Wide n = c.mathStates; n > 0 && i < kMathChannels; --n, ++i) {
        setup.math[i].kind = math_kind::kState;
        setup.math[i].totalize = 0;
    }
    for (Wide n = c.mathCounters; n > 0 && i < kMathChannels; --n, ++i) {
        setup.math[i].kind = math_kind::kCounter;
        setup.math[i].totalize = 0;
    }
    for (; i < kMathChannels; ++i) {
        setup.math[i].kind = math_kind::kOff;
        setup.math[i].totalize = 0;
    }
}

// Fills the slots of one group. Every group searches from channel 0, so groups
// share channels; counters never enter a group. A request that finds no channel
// still uses up its slot.
void assignGroup(const ChannelCounts& c, int g, RecorderSetup& setup) {
    std::int16_t* slots = setup.groups[g].channels;
    int s = 0;
    int analog = 0;
    int digital = 0;
    int math = 0;

    auto findMath = [&](std::uint8_t kind) -> std::int16_t {
        for (; math < kMathChannels; ++math) {
            if (setup.math[math].kind == kind) return static_cast<std::int16_t>(kFirstMathIndex + math++);
        }
        return kEmptySlot;
    };

    for (Wide n = c.groupValues[g]; n > 0 && s < kSlotsPerGroup; --n, ++s) {
        slots[s] = kEmptySlot;
        for (; analog < kAnalogChannels; ++analog) {
            const AnalogChannel& ch = setup.analog[analog];
            if (ch.kind == analog_kind::kMeasured && ch.subKind == analog_kind::kSubKindPlain) {
                slots[s] = static_cast<std::int16_t>(kFirstAnalogIndex + analog++);
                break;
            }
        }
        if (slots[s] == kEmptySlot) slots[s] = findMath(math_kind::kInstantValue);
    }
    for (Wide n = c.groupStates[g]; n > 0 && s < kSlotsPerGroup; --n, ++s) {
        slots[s] = kEmptySlot;
        for (; digital < kDigitalChannels; ++digital) {
            const std::uint8_t kind = setup.digital[digital].kind;
            if (kind == digital_kind::kEvent || kind == digital_kind::kEventWithOpTime) {
                slots[s] = static_cast<std::int16_t>(kFirstDigitalIndex + digital++);
                break;
            }
        }
        if (slots[s] == kEmptySlot) slots[s] = findMath(math_kind::kState);
    }
    for (; s < kSlotsPerGroup; ++s) slots[s] = kEmptySlot;
}

}  // namespace

void applyEntries(const CalculatorEntries& entries, RecorderSetup& setup, StorageCycleCodes& codes) {
    const ChannelCounts& c = entries.counts;
    setup.device.hasMath = (Wide{c.mathValues} + c.mathStates + c.mathCounters > 0) ? 1 : 0;

    assignAnalog(c, setup);
    assignDigital(c, setup);
    assignMath(c, setup);

    for (int k = 0; k < kAnalyses; ++k) {
        setup.analysis.codes[k] = analysisCodeForItem(k, entries.analysisItems[k]);
        setup.analysis.flags[k] = 0;
    }
    for (int g = 0; g < kGroups; ++g) {
        codes[g] = storageCycleCodeForItem(g, entries.cycleItems[g]);
        assignGroup(c, g, setup);
    }
    for (LimitRecord& limit : setup.limits) limit.mode = 0;
}

}  // namespace capacimo
