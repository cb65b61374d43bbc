// One program, compiled natively and to WebAssembly by compare_native.sh, that
// times the core's answer for the heaviest setup: the calculation, and the
// whole result record with its JSON text as the web page receives it.
#include <chrono>
#include <cstdio>
#include <string>

#include "calculator/calculation.h"
#include "calculator/files/result_record.h"

namespace {

// Time per call after a tenth of the rounds as warm-up: Node first runs
// WebAssembly through a quick compiler and swaps in optimized code later.
template <typename F>
double microseconds(F f, int rounds) {
    for (int i = 0; i < rounds / 10; ++i) f();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) f();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / rounds;
}

}  // namespace

int main() {
    using namespace capacimo;
    const CalculatorEntries e = heaviestEntries();
    Calculator calculator;
    volatile std::size_t sink = 0;
    const double calculation = microseconds([&] { sink = sink + calculator.calculate(e).written; }, 2000);
    const double answer =
        microseconds([&] { sink = sink + resultJson(makeResultRecord(calculator, e, {})).size(); }, 2000);
    std::printf("calculation %.1f us, result record and its JSON %.1f us\n", calculation, answer);
}
