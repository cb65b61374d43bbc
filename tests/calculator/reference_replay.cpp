#include "tests/calculator/reference_replay.h"

#include "calculator/duration.h"

namespace capacimo::reference {
namespace {

struct Memory {
    Run run;
    std::int32_t previousTime = 0;

    void writeRecord(int writer, std::int32_t t, std::int32_t payload) {
        if (payload <= 0) return;
        const std::int32_t delta = t - previousTime;
        previousTime = t;
        const std::int32_t width = delta < 128 ? 1 : delta < 16384 ? 2 : 5;
        std::int32_t length = (width + payload + 1) % 65536;
        std::int32_t size = length < 256 ? length + 2 : length + 6;
        if (run.blockFill + size > 8192) {
            run.closedTotal += run.blockFill;
            ++run.closedBlocks;
            run.blockFill = 41;
            length = (payload + 2) % 65536;
            size = length < 256 ? length + 2 : length + 6;
        }
        run.blockFill += size;
        ++run.records[writer];
        run.bytes[writer] += size;
    }
};

}  // namespace

Run replay(const RecorderSetup& setup, const StorageCycleCodes& codes) {
    std::int32_t groupPayload[kGroups];
    int groupPeriod[kGroups];
    for (int g = 0; g < kGroups; ++g) {
        groupPayload[g] = CCapacimo::groupPayload(setup, g, codes[g] == 1);
        groupPeriod[g] = storageCyclePeriod(codes[g]);
    }
    const std::int32_t analysisPayload = CCapacimo::analysisPayload(setup);
    std::int32_t analysisPeriods[kAnalyses];
    for (int k = 0; k < kAnalyses; ++k) analysisPeriods[k] = analysisPeriod(setup.analysis.codes[k] & 0xFF);
    std::uint32_t groupDue[kGroups] = {};
    std::uint32_t analysisDue[kAnalyses] = {};

    Memory m;
    m.run.blockFill = 41;
    for (std::int32_t t = 1; t <= 7200; ++t) {
        for (int g = 0; g < kGroups; ++g) {
            const int period = groupPeriod[g];
            if (period < 0 || groupDue[g] > static_cast<std::uint32_t>(t)) continue;
            if (period == 0) {
                for (int r = 0; r < 10; ++r) m.writeRecord(g, t, groupPayload[g]);
                groupDue[g] += 1;
            } else {
                m.writeRecord(g, t, groupPayload[g]);
                groupDue[g] += static_cast<std::uint32_t>(period);
            }
        }
        for (int k = 0; k < kAnalyses; ++k) {
            const std::int32_t period = analysisPeriods[k];
            if (period == 0 || analysisDue[k] > static_cast<std::uint32_t>(t)) continue;
            m.writeRecord(kGroups + k, t, analysisPayload);
            analysisDue[k] += static_cast<std::uint32_t>(period);
        }
    }
    m.run.written = m.run.closedTotal != 0 ? m.run.closedTotal : m.run.blockFill;
    return m.run;
}

void randomSetup(std::mt19937& rng, RecorderSetup& setup, StorageCycleCodes& codes) {
    auto number = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    const int density = number(0, 100);  // percent of channels switched on
    auto on = [&] { return number(1, 100) <= density; };
    auto byte = [&](int high) { return static_cast<std::uint8_t>(number(0, high)); };

    initRecorderSetup(setup);
    for (AnalogChannel& c : setup.analog) {
        c.kind = on() ? (number(0, 3) == 0 ? byte(255) : number(0, 1) ? 1 : 36) : 0;
        c.subKind = byte(7);
        c.totalize = byte(1);
    }
    for (DigitalChannel& c : setup.digital) c.kind = on() ? byte(7) : 0;
    for (MathChannel& c : setup.math) {
        c.kind = on() ? byte(9) : 0;
        c.totalize = byte(1);
    }
    const int filled = number(0, 100);  // percent of group slots holding an index
    for (ChannelGroup& g : setup.groups) {
        for (std::int16_t& slot : g.channels) {
            slot = number(1, 100) <= filled ? static_cast<std::int16_t>(number(-3, 65)) : kEmptySlot;
        }
    }

    // An analysis record of 252 to 256 bytes: its frame grows from 2 to 6
    // bytes when its time needs two bytes instead of one.
    if (number(0, 4) == 0) {
        // Plain and totalized analog channels, digital counters: 21 + 30a + 47t + 18c.
        constexpr int kEdge[][3] = {{3, 3, 0}, {1, 2, 6}, {5, 1, 2}, {3, 0, 8}, {0, 5, 0}};
        const auto& [plain, totalized, counters] = kEdge[number(0, 4)];
        for (AnalogChannel& c : setup.analog) c.kind = 0;
        for (DigitalChannel& c : setup.digital) c.kind = 0;
        for (MathChannel& c : setup.math) c.kind = 0;
        for (int i = 0; i < plain + totalized; ++i) {
            setup.analog[i].kind = analog_kind::kMeasured;
            setup.analog[i].totalize = i < totalized ? 1 : 0;
        }
        for (int i = 0; i < counters; ++i) setup.digital[i].kind = digital_kind::kCounter;
    }

    // Cycles: any code; slow ones only, so that gaps of 128 s and more come
    // up; or mostly fast ones.
    const int style = number(0, 2);
    for (std::uint8_t& code : codes) {
        switch (style) {
        case 0: code = byte(18); break;
        case 1: code = number(0, 2) == 0 ? 0 : static_cast<std::uint8_t>(number(13, 18)); break;
        default: code = number(0, 3) == 0 ? byte(18) : static_cast<std::uint8_t>(number(1, 3)); break;
        }
    }
    // Analyses apart, or all four at one period so that their records pile up in one second.
    auto analysisCode = [&] {
        if (number(0, 2) == 0) return 0;
        return style == 1 ? number(4, 20) : number(0, 20);
    };
    const bool together = number(0, 3) == 0;
    const int shared = analysisCode();
    for (std::uint16_t& code : setup.analysis.codes) {
        code = static_cast<std::uint16_t>(together ? shared : analysisCode());
        if (number(0, 7) == 0) code = static_cast<std::uint16_t>(code | (number(1, 255) << 8));
    }
}

CalculatorEntries randomEntries(std::mt19937& rng) {
    auto number = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    CalculatorEntries e;
    ChannelCounts& c = e.counts;
    c.analog = number(0, 44);
    c.analogTotalized = number(0, c.analog);
    c.analogImpulse = number(0, c.analog / 2);
    c.digitalEvents = number(0, 14);
    c.digitalEventsOpTime = number(0, 4);
    c.digitalCounters = number(0, 4);
    c.mathValues = number(0, 8);
    c.mathValuesTotalized = number(0, c.mathValues);
    c.mathStates = number(0, 4);
    c.mathCounters = number(0, 3);
    for (int g = 0; g < kGroups; ++g) {
        c.groupValues[g] = number(0, 9);
        c.groupStates[g] = number(0, 3);
    }
    const bool slow = number(0, 1) == 0;
    for (int g = 0; g < kGroups; ++g) {
        const int last = cycleItemCount(g) - 1;
        e.cycleItems[g] = number(0, 3) == 0 ? 0 : slow ? number(last - 7, last) : number(1, last);
    }
    for (int k = 0; k < kAnalyses; ++k) e.analysisItems[k] = number(0, analysisItemCount(k) - 1);
    e.cardItem = number(0, static_cast<int>(kCardSizes.size()) - 1);
    return e;
}

}  // namespace capacimo::reference
