// One full calculation, from the entries to both durations, as the calculator
// dialog runs it after every change.
#include <benchmark/benchmark.h>

#include "calculator/calculation.h"

namespace {

using namespace capacimo;

CalculatorEntries heaviestEntries() {
    CalculatorEntries e;
    e.counts.analog = kAnalogChannels;
    e.counts.digitalEvents = kDigitalChannels;
    e.counts.groupValues.fill(kSlotsPerGroup);
    e.cycleItems[0] = 1;                                            // group 1 at 100 ms
    for (int g = 1; g < kGroups; ++g) e.cycleItems[g] = cycleItemForCode(g, 2);  // 1 s
    e.analysisItems = {1, 1, 1, 1};  // 1 min, then daily three times
    return e;
}

void run(benchmark::State& state, const CalculatorEntries& entries) {
    Calculator calculator;
    CalculationResult r;
    for (auto _ : state) {
        r = calculator.calculate(entries);
        benchmark::DoNotOptimize(r);
    }
    state.counters["bytes_per_two_hours"] = r.written;
}

void BM_CalculationDefaults(benchmark::State& state) { run(state, defaultEntries()); }
void BM_CalculationHeaviest(benchmark::State& state) { run(state, heaviestEntries()); }

}  // namespace

BENCHMARK(BM_CalculationDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalculationHeaviest)->Unit(benchmark::kMicrosecond);
