// A plant of a thousand recorders with start days, as the plant library
// answers it: every recorder calculated and judged, its calendar file, its
// rows sorted by read-out day, one recorder edited and the margin changed.
// (The whole command line, CSV to results, is capacimo_bench_plant's.)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "calculator/plant/plant_calendar.h"

namespace {

using namespace capacimo;

constexpr int kRecorders = 1000;
const CalendarDate kToday = dateOf({2026, 3, 14});

std::int32_t itemOf(const Entry& entry, std::string_view text) {
    return static_cast<std::int32_t>(std::find(entry.items.begin(), entry.items.end(), text) - entry.items.begin());
}

// Recorders that differ from row to row, as in capacimo_bench_plant: 1 to 40
// analog channels, group 1 at 1 s or 10 s with up to eight of them, an
// hourly analysis on every other one; emptied on one of the last 400 days,
// a target on every third.
std::vector<PlantRecorder> recorders() {
    std::vector<PlantRecorder> list(kRecorders);
    for (int i = 0; i < kRecorders; ++i) {
        PlantRecorder& r = list[static_cast<std::size_t>(i)];
        r.name = "Boiler house, recorder " + std::to_string(i + 1);
        r.entries.cardItem = itemOf(entryOf(EntryId::CardSize), "1 GB");
        r.entries.counts.analog = i % 40 + 1;
        r.entries.analysisItems[0] = itemOf(entryOf(EntryId::Analysis, 0), i % 2 ? "1h" : "no");
        r.entries.cycleItems[0] = itemOf(entryOf(EntryId::GroupCycle, 0), i % 3 ? "1s" : "10s");
        r.entries.counts.groupValues[0] = std::min(r.entries.counts.analog, 8);
        r.start = kToday - (i * 7919) % 400;
        if (i % 3 == 0) r.targetHours = 26 * 168;
    }
    return list;
}

Plant plantOf(const Clock& clock, const std::vector<PlantRecorder>& list) {
    Plant plant(clock);
    for (const PlantRecorder& r : list) plant.append(r);
    return plant;
}

void BM_PlantEvaluateThousand(benchmark::State& state) {
    const FixedClock clock(kToday);
    const std::vector<PlantRecorder> list = recorders();
    for (auto _ : state) {
        Plant plant = plantOf(clock, list);
        benchmark::DoNotOptimize(plant.rows().data());
    }
    const Plant plant = plantOf(clock, list);
    for (const RecorderState s : kRecorderStates) {
        state.counters[std::string(recorderStateId(s))] = static_cast<double>(plant.totals().of(s));
    }
}

void BM_PlantCalendarThousand(benchmark::State& state) {
    const FixedClock clock(kToday);
    const Plant plant = plantOf(clock, recorders());
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = plantCalendar(plant.rows(), plant.terms());
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_PlantSortThousandByReadOut(benchmark::State& state) {
    const FixedClock clock(kToday);
    const Plant plant = plantOf(clock, recorders());
    for (auto _ : state) benchmark::DoNotOptimize(plant.sorted().data());
}

// One recorder's start edited: what a table's edit costs the library.
void BM_PlantEditOneOfThousand(benchmark::State& state) {
    const FixedClock clock(kToday);
    Plant plant = plantOf(clock, recorders());
    PlantRecorder edited = plant.recorders()[500];
    const std::uint64_t calculations = calculationsRun();
    for (auto _ : state) {
        edited.start = *edited.start + 1;
        plant.replace(500, edited);
    }
    state.counters["calculations"] =
        static_cast<double>(calculationsRun() - calculations) / static_cast<double>(state.iterations());
}

void BM_PlantMarginOfThousand(benchmark::State& state) {
    const FixedClock clock(kToday);
    Plant plant = plantOf(clock, recorders());
    int margin = 0;
    for (auto _ : state) plant.setMarginDays(margin++ % kLargestMarginDays);
}

}  // namespace

BENCHMARK(BM_PlantEvaluateThousand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlantCalendarThousand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlantSortThousandByReadOut)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlantEditOneOfThousand)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlantMarginOfThousand)->Unit(benchmark::kMicrosecond);
