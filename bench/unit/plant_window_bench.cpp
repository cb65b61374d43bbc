// The plant window with a plant of 1000 recorders, shown: one change in the
// calculator dialog reaching the recorder open there, to the repainted
// window. Only that recorder is calculated again. (Built with the dialog's
// benchmarks, whose main() starts the application.)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "calculator/plant/plant_file.h"
#include "calculator/plant_window/plant_model.h"
#include "calculator/plant_window/plant_window.h"

using namespace capacimo;

namespace {

// 1000 recorders of the heaviest setup, started on days a week apart, in a
// plant file opened by the window on a private settings store.
struct ThousandRecorders {
    QTemporaryDir store;
    FixedClock clock{dateOf({2026, 3, 1})};
    std::unique_ptr<unit::TPlantWindow> window;

    ThousandRecorders() {
        qputenv("XDG_CONFIG_HOME", store.path().toUtf8());
        std::vector<PlantRecorder> recorders;
        for (int i = 0; i < 1000; ++i) {
            PlantRecorder r;
            r.name = "Recorder " + std::to_string(i + 1);
            r.entries = heaviestEntries();
            entryOf(EntryId::Analog).field(r.entries) = 1 + i % 40;
            r.start = dateOf({2025, 1, 1}) + (i % 60) * 7;
            recorders.push_back(r);
        }
        const QString path = store.filePath("plant.csv");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::fromStdString(plantCsvText(recorders))) < 0)
            throw std::runtime_error("cannot write the plant");
        file.close();
        window = std::make_unique<unit::TPlantWindow>(nullptr, clock);
        window->resize(1000, 700);
        window->show();
        if (!window->OpenPlant(path) || window->model().rowCount() != 1000)
            throw std::runtime_error("cannot open the plant");
        window->table()->selectRow(500);
        window->OpenInDialog();
        QApplication::processEvents();
    }
};

// The dialog's entries alternate between two setups of the recorder open
// there; each reaches its row (one calculation) and the window repaints.
void editOpenRecorder(benchmark::State& state, bool repaint) {
    ThousandRecorders plant;
    const std::size_t open = *plant.window->linkedRecorder();
    CalculatorEntries a = plant.window->model().plant().recorders()[open].entries;
    CalculatorEntries b = a;
    std::int32_t& values = entryOf(EntryId::GroupValues, 0).field(b);
    values = values == 1 ? 2 : 1;
    const std::uint64_t calculations = calculationsRun();
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        plant.window->followDialog(flip ? b : a);
        if (!repaint) continue;
        plant.window->table()->viewport()->repaint();
        QApplication::processEvents();
    }
    state.counters["calculations_per_edit"] =
        static_cast<double>(calculationsRun() - calculations) / static_cast<double>(state.iterations());
}

void BM_PlantWindowOneEditOf1000(benchmark::State& state) { editOpenRecorder(state, true); }
// The same without the repaint: the recorder calculated, its row and the
// totals told, the order checked.
void BM_PlantWindowOneEditOf1000NoRepaint(benchmark::State& state) { editOpenRecorder(state, false); }

}  // namespace

BENCHMARK(BM_PlantWindowOneEditOf1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlantWindowOneEditOf1000NoRepaint)->Unit(benchmark::kMillisecond);
