// One full calculation, from the entries to both durations, as the calculator
// dialog runs it after every change; its breakdown by writer; the planner's
// whole answer; and the whole answer with Details, as the web page asks for it.
#include <benchmark/benchmark.h>

#include "calculator/breakdown.h"
#include "calculator/calculation.h"
#include "calculator/files/result_record.h"
#include "calculator/planner.h"

namespace {

using namespace capacimo;

void run(benchmark::State& state, const CalculatorEntries& entries) {
    Calculator calculator;
    CalculationResult r;
    for (auto _ : state) {
        r = calculator.calculate(entries);
        benchmark::DoNotOptimize(r);
    }
    state.counters["bytes_per_two_hours"] = r.written;
}

// The calculation with its breakdown, the durations without each writer left out.
void breakdown(benchmark::State& state, const CalculatorEntries& entries) {
    Calculator calculator;
    Breakdown b;
    for (auto _ : state) {
        b = bytesBreakdown(calculator, entries);
        benchmark::DoNotOptimize(b);
    }
    state.counters["writers"] = static_cast<double>(b.writers.size());
}

void BM_CalculationDefaults(benchmark::State& state) { run(state, defaultEntries()); }
void BM_CalculationHeaviest(benchmark::State& state) { run(state, heaviestEntries()); }
void BM_CalculationHeaviestInAlarm(benchmark::State& state) { run(state, heaviestEntriesInAlarm()); }
void BM_BreakdownDefaults(benchmark::State& state) { breakdown(state, defaultEntries()); }
void BM_BreakdownHeaviest(benchmark::State& state) { breakdown(state, heaviestEntries()); }

// Four weeks on the 256 MB card: no card and no single group reaches it, so
// every list is searched to its end.
void BM_PlannerHeaviest(benchmark::State& state) {
    const CalculatorEntries entries = heaviestEntries();
    Plan plan;
    for (auto _ : state) {
        plan = planFor(entries, Medium::Card, 4 * 168);
        benchmark::DoNotOptimize(plan);
    }
    state.counters["common_cycle_code"] = plan.commonCycle.value_or(0);
}

// The result with its breakdown, the durations without each writer and the
// plan for four weeks on the 256 MB card, on one calculator: what a keystroke
// with Details open costs the web module, natively.
void detailsAnswer(benchmark::State& state, const CalculatorEntries& entries) {
    ResultOptions options;
    options.breakdown = true;
    options.target = Target{Medium::Card, 4 * 168};
    Calculator calculator;
    const std::uint64_t calculations = calculationsRun();
    for (auto _ : state) {
        ResultRecord r = makeResultRecord(calculator, entries, options);
        benchmark::DoNotOptimize(r);
    }
    state.counters["calculations"] =
        static_cast<double>(calculationsRun() - calculations) / static_cast<double>(state.iterations());
}
void BM_DetailsAnswerHeaviest(benchmark::State& state) { detailsAnswer(state, heaviestEntries()); }
// With a share in alarm, the answer also gives the largest share that keeps the target.
void BM_DetailsAnswerHeaviestInAlarm(benchmark::State& state) { detailsAnswer(state, heaviestEntriesInAlarm()); }

}  // namespace

BENCHMARK(BM_CalculationDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalculationHeaviest)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalculationHeaviestInAlarm)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BreakdownDefaults)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BreakdownHeaviest)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlannerHeaviest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailsAnswerHeaviest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetailsAnswerHeaviestInAlarm)->Unit(benchmark::kMillisecond);
