#include "calculator/breakdown.h"

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

// What the calculator's last run wrote, writer by writer.
Breakdown lastRunBreakdown(const Calculator& calculator, std::int32_t written) {
    Breakdown b;
    b.written = written;
    const CCapacimo& simulator = calculator.simulator();
    b.closedBlocks = simulator.closedBlocks();
    b.lastBlockFill = simulator.blockFill();

    std::int64_t recorded = 0;
    b.writers.reserve(CCapacimo::kWriters);
    for (int w = 0; w < CCapacimo::kWriters; ++w) {
        const CCapacimo::WriterTally& tally = simulator.writerTallies()[w];
        if (tally.records == 0) continue;
        WriterBytes& writer = b.writers.emplace_back();
        writer.writer = w;
        writer.name = writerName(w);
        if (writerKind(w) == BreakdownKind::Group) {
            writer.cycle = storageCycleText(calculator.cycleCodes()[w]);
        } else {
            writer.cycle = analysisText(calculator.setup().analysis.codes[w - CCapacimo::kFirstAnalysisWriter]);
        }
        writer.records = tally.records;
        writer.bytes = tally.bytes;
        recorded += tally.bytes;
    }
    b.overheadBytes = b.written - recorded;
    return b;
}

void addDurationsWithout(Breakdown& b, const CalculatorEntries& entries, Calculator& calculator) {
    for (WriterBytes& writer : b.writers) {
        CalculatorEntries without = entries;
        if (writer.writer < CCapacimo::kFirstAnalysisWriter) {
            without.cycleItems[writer.writer] = 0;
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
    return lastRunBreakdown(calculator, calculator.calculate(entries).written);
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
    Breakdown b = lastRunBreakdown(calculator, result.written);
    addDurationsWithout(b, entries, *std::make_unique<Calculator>());
    return b;
}

}  // namespace capacimo
