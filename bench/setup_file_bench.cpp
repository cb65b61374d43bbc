// Setup files and plant CSVs: one setup saved and opened again, and the rows
// of a plant read from a stream, as the command line reads a large plant.
#include <benchmark/benchmark.h>

#include <sstream>

#include "calculator/files/setup_file.h"
#include "calculator/plant/plant_csv.h"

namespace capacimo {
namespace {

void BM_SetupFileWriteAndRead(benchmark::State& state) {
    const CalculatorEntries entries = defaultEntries();
    for (auto _ : state) {
        const SetupReadResult read = readSetupText(writeSetupText(entries, "Boiler house, recorder 3"));
        benchmark::DoNotOptimize(read.setup);
    }
}

// A thousand recorders, every column given.
void BM_PlantCsvThousandRows(benchmark::State& state) {
    std::string text;
    for (const std::string& column : plantCsvColumns()) text += (text.empty() ? "" : ",") + column;
    text += '\n';
    std::string row = csvField("Boiler house, recorder") + ",256 MB,8,2,0,4,0,0,2,0,0,0,1h,no,no,no";
    for (int g = 0; g < kGroups; ++g) row += g == 0 ? ",1s,8,0" : ",1min,0,0";
    for (int i = 0; i < 1000; ++i) text += row + '\n';
    for (auto _ : state) {
        std::istringstream in(text);
        PlantCsvReader reader(in);
        int good = 0;
        for (PlantRow r; reader.next(r);) good += r.setup ? 1 : 0;
        if (good != 1000) state.SkipWithError("a row was refused");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}

}  // namespace
}  // namespace capacimo

BENCHMARK(capacimo::BM_SetupFileWriteAndRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(capacimo::BM_PlantCsvThousandRows)->Unit(benchmark::kMillisecond);
