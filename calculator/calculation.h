// One complete calculation: from the user's entries to the bytes two hours of
// recording occupy and the storage duration of both media. The calculator
// dialog and capacimo-calc both run it.
#pragma once

#include <cstdint>

#include "calculator/config_block.h"
#include "calculator/duration.h"
#include "calculator/entries.h"
#include "calculator/recorder_setup.h"
#include "calculator/simulation.h"

namespace capacimo {

struct CalculationResult {
    std::int32_t written = 0;           // W: bytes two hours of recording occupy
    std::int32_t setupImageLength = 0;  // S
    StorageDuration internal;
    StorageDuration card;  // kNoDuration when the card item is not a known size
};

// One complete calculation on the caller's objects, as the calculator dialog
// runs it: fills the setup and the cycle codes from the entries, hands them to
// the simulator and encoder, replays two hours and converts the result.
CalculationResult runCalculation(const CalculatorEntries& entries, RecorderSetup& setup, StorageCycleCodes& codes,
                                 CConfigBlock& encoder, CCapacimo& simulator);

// How many complete calculations this process has run; lets tests and
// benchmarks count the calculations an action costs.
std::uint64_t calculationsRun();

// Owns everything one calculation needs.
class Calculator {
public:
    Calculator();
    CalculationResult calculate(const CalculatorEntries& entries);
    const RecorderSetup& setup() const { return setup_; }
    const StorageCycleCodes& cycleCodes() const { return codes_; }
    // The replay of the last calculation: its blocks and what each writer wrote.
    const CCapacimo& simulator() const { return simulator_; }

private:
    RecorderSetup setup_;
    StorageCycleCodes codes_{};
    CConfigBlock encoder_;
    CCapacimo simulator_;
};

}  // namespace capacimo
