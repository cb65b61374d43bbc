// From a count typed into the calculator dialog to the refreshed result list,
// for the heaviest setup the dialog allows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include "calculator/dialog.h"

namespace {

void BM_DialogCountChangeHeaviest(benchmark::State& state) {
    QTemporaryDir store;
    qputenv("XDG_CONFIG_HOME", store.path().toUtf8());
    capacimo::unit::Tdlg_Main dialog;
    dialog.show();
    auto spin = [&](const QString& name) { return dialog.findChild<TExtSpinEdit*>(name); };
    spin("spe_CountAnalog")->setValue(40);
    spin("spe_CountDigitalOnOff")->setValue(14);
    for (int g = 0; g < capacimo::kGroups; ++g) {
        const QString hex = QString::number(g, 16).toUpper().rightJustified(2, '0');
        spin("spe_GroupIV" + hex)->setValue(8);
        auto* cycle = dialog.findChild<QComboBox*>("cb_GroupCycle" + hex);
        cycle->setCurrentIndex(1);  // 100 ms in group 1, 1 s in the others
    }
    for (int k = 1; k <= 4; ++k) dialog.findChild<QComboBox*>(QStringLiteral("cb_Analysis%1").arg(k))->setCurrentIndex(1);

    // Alternate between two totalizer counts so that every set changes the text.
    TExtSpinEdit* totalized = spin("spe_CountAnalogIntegr");
    int value = 0;
    for (auto _ : state) {
        value = value == 0 ? 1 : 0;
        totalized->setValue(value);
        QApplication::processEvents();
    }
    // The setup really is the heaviest one: the bytes of two hours it writes.
    state.counters["bytes_per_two_hours"] = capacimo::Calculator().calculate(dialog.currentEntries()).written;
}

// Closing the unit (CloseDll) destroys the dialog, which stores the 45
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
BENCHMARK(BM_DialogDestroyWithSave)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
