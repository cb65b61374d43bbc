// A plant of a thousand recorders as capacimo-calc runs it: the CSV read from
// disk row by row, every recorder calculated, its row formatted.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "calculator/plant/plant_csv.h"
#include "cli/options.h"
#include "cli/plant.h"

namespace capacimo::cli {
namespace {

constexpr int kRecorders = 1000;

// Recorders that differ from row to row: 1 to 40 analog channels, group 1 at
// 1 s or 10 s with up to eight of them, an hourly analysis on every other one.
std::string plantText() {
    std::string text = "name,card,analog,analysis1,group1.cycle,group1.values,group2.cycle,group2.states\n";
    for (int i = 0; i < kRecorders; ++i) {
        const int analog = i % 40 + 1;
        text += csvField("Boiler house, recorder " + std::to_string(i + 1)) + ",1 GB," + std::to_string(analog) +
                (i % 2 ? ",1h" : ",no") + (i % 3 ? ",1s," : ",10s,") + std::to_string(std::min(analog, 8)) +
                ",1min,0\n";
    }
    return text;
}

void runPlantBench(benchmark::State& state, const char* format) {
    QTemporaryDir dir;
    const QString path = dir.filePath("plant.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::fromStdString(plantText())) < 0) {
        state.SkipWithError("cannot write the plant");
        return;
    }
    file.close();
    QStringList args{"capacimo-calc", "--setup", path};
    if (format[0] != '\0') args << format;
    const ParseResult parsed = parseOptions(args, defaultEntries());
    std::size_t bytes = 0;
    const Sink out = [&bytes](std::string_view text) {
        bytes += text.size();
        return true;
    };
    // The columns the header leaves out are said once per run.
    const Say say = [](const std::string&) {};
    for (auto _ : state) {
        const PlantOutcome outcome = runPlant(parsed.options, defaultEntries(), out, say);
        if (outcome.badInput || outcome.cannotWrite) state.SkipWithError("a row failed");
    }
    state.counters["recorders"] = kRecorders;
    state.counters["output_bytes_per_run"] = static_cast<double>(bytes) / static_cast<double>(state.iterations());
}

void BM_PlantThousandRecordersText(benchmark::State& state) { runPlantBench(state, ""); }
void BM_PlantThousandRecordersCsv(benchmark::State& state) { runPlantBench(state, "--csv"); }
void BM_PlantThousandRecordersJson(benchmark::State& state) { runPlantBench(state, "--json"); }

}  // namespace
}  // namespace capacimo::cli

BENCHMARK(capacimo::cli::BM_PlantThousandRecordersText)->Unit(benchmark::kMillisecond);
BENCHMARK(capacimo::cli::BM_PlantThousandRecordersCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(capacimo::cli::BM_PlantThousandRecordersJson)->Unit(benchmark::kMillisecond);
