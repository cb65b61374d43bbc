#include "calculator/breakdown.h"

#include <algorithm>
#include <memory>

namespace capacimo {

BreakdownKind writerKind(int writer) {
    return writer < CCapacimo::kFirstAnalysisWriter ? BreakdownKind::Group : BreakdownKind::Analysis;
}

std::string writerName(int writer) {
    return writerKind(writer) == BreakdownKind::Group ? groupName(writer)
                                                      : analysisName(writer - CCapacimo::kFirstAnalysisWriter);
}

std::int64_t Breakdown::headerBytes() const { return std::int64_t{CCapacimo::kBlockHeader} * (closedBlocks + 1); }

std::int64_t Breakdown::uncountedBytes() const { return closedBlocks > 0 ? lastBlockFill : 0; }

std::int64_t Breakdown::bytesWritten() const { return written - overheadBytes + headerBytes(); }

namespace {

// What the calculator's last run wrote, writer by writer: W_n and the normal
// replay's tallies (W is the scenario's, which the durations count), with
// the replay in alarm beside them where there was one.
Breakdown lastRunBreakdown(const Calculator& calculator, const CalculationResult& result,
                           const CalculatorEntries& entries) {
    Breakdown b;
    b.written = result.normalWritten;
    const CCapacimo& simulator = calculator.simulator();
    b.closedBlocks = simulator.closedBlocks();
    b.lastBlockFill = simulator.blockFill();
    const auto& alarm = calculator.alarmTallies();
    b.alarms = std::any_of(alarm.begin(), alarm.end(), [](const auto& t) { return t.records > 0; });
    b.alarmWritten = result.alarmWritten;

    std::int64_t recorded = 0;
    b.writers.reserve(CCapacimo::kWriters);
    for (int w = 0; w < CCapacimo::kWriters; ++w) {
        const CCapacimo::WriterTally& tally = simulator.writerTallies()[w];
        if (tally.records == 0 && (!b.alarms || alarm[w].records == 0)) continue;
        WriterBytes& writer = b.writers.emplace_back();
        writer.writer = w;
        writer.name = writerName(w);
        if (writerKind(w) == BreakdownKind::Group) {
            writer.cycle = storageCycleText(calculator.cycleCodes()[w]);
            writer.alarmCycle = storageCycleText(alarmCycleCode(entries, w));
        } else {
            writer.cycle = analysisText(calculator.setup().analysis.codes[w - CCapacimo::kFirstAnalysisWriter]);
            writer.alarmCycle = writer.cycle;
        }
        writer.records = tally.records;
        writer.bytes = tally.bytes;
        if (b.alarms) {
            writer.alarmRecords = alarm[w].records;
            writer.alarmBytes = alarm[w].bytes;
        }
        recorded += tally.bytes;
    }
    b.overheadBytes = b.written - recorded;
    return b;
}

void addDurationsWithout(Breakdown& b, const CalculatorEntries& entries, Calculator& calculator) {
    for (WriterBytes& writer : b.writers) {
        CalculatorEntries without = entries;
        if (writer.writer < CCapacimo::kFirstAnalysisWriter) {
            // Off, in alarm too: its alarm cycle follows its storage cycle.
            without.cycleItems[writer.writer] = 0;
            without.alarmCycleItems[writer.writer] = 0;
        } else {
            without.analysisItems[writer.writer - CCapacimo::kFirstAnalysisWriter] = 0;
        }
        // Where the records alone settle both durations, no replay is needed.
        const ResultRange range = calculator.resultRange(without);
        const CalculationResult r = range.decided() ? range.shortest : calculator.calculate(without);
        writer.withoutInternal = r.internal;
        writer.withoutCard = r.card;
    }
}

}  // namespace

Breakdown bytesBreakdown(Calculator& calculator, const CalculatorEntries& entries) {
    return lastRunBreakdown(calculator, calculator.calculate(entries), entries);
}

Breakdown breakdownOf(Calculator& calculator, const CalculatorEntries& entries) {
    Breakdown b = bytesBreakdown(calculator, entries);
    addDurationsWithout(b, entries, calculator);
    return b;
}

Breakdown breakdownOf(const CalculatorEntries& entries) {
    return breakdownOf(*std::make_unique<Calculator>(), entries);
}

Breakdown breakdownOf(const Calculator& calculator, const CalculationResult& result, const CalculatorEntries& entries) {
    Breakdown b = lastRunBreakdown(calculator, result, entries);
    addDurationsWithout(b, entries, *std::make_unique<Calculator>());
    return b;
}

}  // namespace capacimo
