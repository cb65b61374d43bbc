// A plant of a thousand recorders as capacimo-calc runs it: the CSV read from
// disk row by row, every recorder calculated, its days judged, its row
// formatted; sorted by read-out day with its calendar file; and the PDF
// report of a hundred recorders.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <string>

#include "calculator/plant/plant_csv.h"
#include "cli/options.h"
#include "cli/plant.h"

namespace capacimo::cli {
namespace {

constexpr int kRecorders = 1000;
constexpr int kReportRecorders = 100;

// Recorders that differ from row to row: 1 to 40 analog channels, group 1 at
// 1 s or 10 s with up to eight of them, an hourly analysis on every other one;
// each emptied on a day of 2026, every third with a target of 26 weeks.
std::string plantText(int recorders) {
    std::string text =
        "name,start,target,card,analog,analysis1,group1.cycle,group1.values,group2.cycle,group2.states\n";
    for (int i = 0; i < recorders; ++i) {
        const int analog = i % 40 + 1;
        const std::string start = "2026-" + std::to_string(10 + i % 3) + "-" + std::to_string(10 + i % 19);
        text += csvField("Boiler house, recorder " + std::to_string(i + 1)) + "," + start + (i % 3 ? ",," : ",26w,") +
                "1 GB," + std::to_string(analog) + (i % 2 ? ",1h" : ",no") + (i % 3 ? ",1s," : ",10s,") +
                std::to_string(std::min(analog, 8)) + ",1min,0\n";
    }
    return text;
}

// Runs capacimo-calc's plant on a plant CSV of that many recorders, with the options.
void runPlantBench(benchmark::State& state, int recorders, const QStringList& options) {
    QTemporaryDir dir;
    const QString path = dir.filePath("plant.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::fromStdString(plantText(recorders))) < 0) {
        state.SkipWithError("cannot write the plant");
        return;
    }
    file.close();
    QStringList args{"capacimo-calc", "--setup", path, "--today", "2026-12-08"};
    for (const QString& option : options) args << (option.startsWith("--") ? option : dir.filePath(option));
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
        if (outcome.badInput || outcome.cannotWrite || !outcome.fileError.isEmpty()) {
            state.SkipWithError("a row or file failed");
        }
    }
    state.counters["recorders"] = recorders;
    state.counters["output_bytes_per_run"] = static_cast<double>(bytes) / static_cast<double>(state.iterations());
    for (const QString& written : {parsed.options.calendarPath, parsed.options.reportPath}) {
        if (!written.isEmpty()) state.counters["file_bytes"] = static_cast<double>(QFileInfo(written).size());
    }
}

void BM_PlantThousandRecordersText(benchmark::State& state) { runPlantBench(state, kRecorders, {}); }
void BM_PlantThousandRecordersCsv(benchmark::State& state) { runPlantBench(state, kRecorders, {"--csv"}); }
void BM_PlantThousandRecordersJson(benchmark::State& state) { runPlantBench(state, kRecorders, {"--json"}); }
// Every row kept to be sorted, and the calendar written through the safe file writer.
void BM_PlantThousandRecordersSortedCsvAndCalendar(benchmark::State& state) {
    runPlantBench(state, kRecorders, {"--csv", "--sort", "read-out", "--ics", "plant.ics"});
}
void BM_PlantReportHundredRecorders(benchmark::State& state) {
    runPlantBench(state, kReportRecorders, {"--csv", "--report", "plant.pdf"});
}

}  // namespace
}  // namespace capacimo::cli

BENCHMARK(capacimo::cli::BM_PlantThousandRecordersText)->Unit(benchmark::kMillisecond);
BENCHMARK(capacimo::cli::BM_PlantThousandRecordersCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(capacimo::cli::BM_PlantThousandRecordersJson)->Unit(benchmark::kMillisecond);
BENCHMARK(capacimo::cli::BM_PlantThousandRecordersSortedCsvAndCalendar)->Unit(benchmark::kMillisecond);
BENCHMARK(capacimo::cli::BM_PlantReportHundredRecorders)->Unit(benchmark::kMillisecond);

// The report draws with Qt Gui's fonts, on the offscreen platform.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
