// Saves of the settings file from several processes at once. Each run forks
// the savers, lets them loose together and counts the saves the store
// refused; the time is the run's wall time, until the last saver is done.
// Beside a busy neighbour (a process that takes the lock for 150 ms with
// 20 ms pauses), the time is how long one save takes to get its turn.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

#include "common/settings_store.h"
#include "common/store_lock.h"

namespace {

// A private store with some sections in it, as a user's would be.
class ScratchStore {
public:
    ScratchStore() {
        qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
        capacimo::SettingsStore store;
        for (int i = 0; i < 45; ++i) store.setValue("ScribentS/Settings/Value" + QString::number(i), "1");
        store.save();
    }

private:
    QTemporaryDir dir_;
};

bool saveOne(int id) {
    capacimo::SettingsStore store;
    store.setValue("Crowd/Saver" + QString::number(id), QString::number(id));
    try {
        store.save();
    } catch (const capacimo::SettingsWriteError&) {
        return false;
    }
    return true;
}

void BM_SavesAtOnce(benchmark::State& state) {
    const int savers = static_cast<int>(state.range(0));
    double refused = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ScratchStore scratch;
        int gate[2];
        if (pipe(gate) != 0) state.SkipWithError("pipe");
        std::vector<pid_t> children;
        for (int i = 0; i < savers; ++i) {
            const pid_t child = fork();
            if (child == 0) {
                close(gate[1]);
                char c;
                if (read(gate[0], &c, 1) != 0) _exit(3);
                _exit(saveOne(i) ? 0 : 1);
            }
            children.push_back(child);
        }
        close(gate[0]);
        state.ResumeTiming();
        close(gate[1]);
        for (const pid_t child : children) {
            int status = 0;
            waitpid(child, &status, 0);
            refused += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
    }
    state.counters["refused"] = benchmark::Counter(refused, benchmark::Counter::kAvgIterations);
    state.counters["savers"] = savers;
}
BENCHMARK(BM_SavesAtOnce)->Arg(10)->Arg(20)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_SaveBesideBusyNeighbour(benchmark::State& state) {
    double refused = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ScratchStore scratch;
        const QString lock = capacimo::SettingsStore::filePath() + ".lock";
        const pid_t neighbour = fork();
        if (neighbour == 0) {
            for (;;) {
                QString problem;
                if (auto held = capacimo::StoreLock::take(lock, problem)) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(150));
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        state.ResumeTiming();
        refused += !saveOne(0);
        state.PauseTiming();
        kill(neighbour, SIGKILL);
        waitpid(neighbour, nullptr, 0);
        state.ResumeTiming();
    }
    state.counters["refused"] = benchmark::Counter(refused, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SaveBesideBusyNeighbour)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
