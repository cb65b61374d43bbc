// From a count typed into the calculator dialog to the refreshed result list,
// for the heaviest setup the dialog allows; also with the Details window open.
// (plant_window_bench.cpp adds the plant window's, in the same program.)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <memory>

#include "calculator/details/details_window.h"
#include "calculator/dialog.h"

using namespace capacimo::widgets;

namespace {

// A calculator dialog on a private settings store, shown, with the heaviest
// setup it allows entered (heaviestEntries).
struct HeaviestDialog {
    QTemporaryDir store;
    std::unique_ptr<capacimo::unit::Tdlg_Main> dialog;

    explicit HeaviestDialog(const capacimo::CalculatorEntries& heaviest = capacimo::heaviestEntries()) {
        qputenv("XDG_CONFIG_HOME", store.path().toUtf8());
        dialog = std::make_unique<capacimo::unit::Tdlg_Main>();
        dialog->show();
        // Entered field by field, as a user would.
        for (const capacimo::Entry& entry : capacimo::entryTable()) {
            const QString name = QString::fromStdString(entry.control);
            if (auto* list = dialog->findChild<QComboBox*>(name))
                list->setCurrentIndex(entry.field(heaviest));
            else
                dialog->findChild<TExtSpinEdit*>(name)->setValue(entry.field(heaviest));
        }
        dialog->Recalculate();
    }
    // Opens the Details window with a target of four weeks on the 256 MB card.
    capacimo::unit::TDetailsWindow* openDetails() {
        dialog->ShowDetails();
        capacimo::unit::TDetailsWindow* details = dialog->detailsWindow();
        details->targetMedium()->setCurrentIndex(1);
        details->targetWeeks()->setValue(4);
        return details;
    }
};

// Alternates between two totalizer counts so that every set changes the text.
void typeCounts(benchmark::State& state, capacimo::unit::Tdlg_Main& dialog) {
    TExtSpinEdit* totalized = dialog.findChild<TExtSpinEdit*>("spe_CountAnalogIntegr");
    int value = 0;
    const std::uint64_t calculations = capacimo::calculationsRun();
    for (auto _ : state) {
        value = value == 0 ? 1 : 0;
        totalized->setValue(value);
        QApplication::processEvents();
    }
    // Every calculation a change costs: the dialog's and, with the Details
    // window open, the durations without each writer and the planner's.
    state.counters["calculations_per_change"] =
        static_cast<double>(capacimo::calculationsRun() - calculations) / static_cast<double>(state.iterations());
    // The setup really is the heaviest one: the bytes of two hours it writes.
    state.counters["bytes_per_two_hours"] = capacimo::Calculator().calculate(dialog.currentEntries()).written;
}

void BM_DialogCountChangeHeaviest(benchmark::State& state) {
    HeaviestDialog heaviest;
    typeCounts(state, *heaviest.dialog);
}

// The same with the Details window open: each change also runs the breakdown
// with the durations without each writer, and the planner for four weeks on
// the 256 MB card.
void BM_DialogCountChangeHeaviestWithDetails(benchmark::State& state) {
    HeaviestDialog heaviest;
    capacimo::unit::TDetailsWindow* details = heaviest.openDetails();
    const int before = details->planCount();
    typeCounts(state, *heaviest.dialog);
    state.counters["plans_per_change"] =
        static_cast<double>(details->planCount() - before) / static_cast<double>(state.iterations());
}

// The costliest keystroke: fewer analog channels than totalizers and impulse
// counters, so that both dependent counts follow and each change recalculates.
void analogChangeMovingDependents(benchmark::State& state, const capacimo::CalculatorEntries& entries) {
    HeaviestDialog heaviest(entries);
    capacimo::unit::Tdlg_Main& dialog = *heaviest.dialog;
    capacimo::unit::TDetailsWindow* details = heaviest.openDetails();
    auto spin = [&](const char* name) { return dialog.findChild<TExtSpinEdit*>(name); };
    int calculations = 0;
    int plans = 0;
    for (auto _ : state) {
        state.PauseTiming();
        spin("spe_CountAnalog")->setValue(40);
        spin("spe_CountAnalogIntegr")->setValue(20);
        spin("spe_CountAnalogIC")->setValue(20);
        QApplication::processEvents();
        calculations -= dialog.calculationCount();
        plans -= details->planCount();
        state.ResumeTiming();
        spin("spe_CountAnalog")->setValue(10);
        QApplication::processEvents();
        calculations += dialog.calculationCount();
        plans += details->planCount();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["calculations_per_change"] = calculations / n;
    state.counters["plans_per_change"] = plans / n;
}
void BM_DialogAnalogChangeMovingDependentsWithDetails(benchmark::State& state) {
    analogChangeMovingDependents(state, capacimo::heaviestEntries());
}
// The same 5 % of the time in alarm: two replays a calculation.
void BM_DialogAnalogChangeMovingDependentsWithDetailsInAlarm(benchmark::State& state) {
    analogChangeMovingDependents(state, capacimo::heaviestEntriesInAlarm());
}

// Closing the unit (CloseDll) destroys the dialog, which stores the 57
// entries in one save of the settings file.
void BM_DialogDestroyWithSave(benchmark::State& state) {
    QTemporaryDir store;
    qputenv("XDG_CONFIG_HOME", store.path().toUtf8());
    for (auto _ : state) {
        state.PauseTiming();
        auto* dialog = new capacimo::unit::Tdlg_Main;
        state.ResumeTiming();
        delete dialog;
    }
}

}  // namespace

BENCHMARK(BM_DialogCountChangeHeaviest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DialogCountChangeHeaviestWithDetails)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DialogAnalogChangeMovingDependentsWithDetails)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DialogAnalogChangeMovingDependentsWithDetailsInAlarm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DialogDestroyWithSave)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
