#include "calculator/calculation.h"

#include "calculator/channel_assignment.h"

#include <atomic>

namespace capacimo {
namespace {

std::atomic<std::uint64_t> g_calculations{0};

}  // namespace

std::uint64_t calculationsRun() { return g_calculations.load(); }

CalculationResult runCalculation(const CalculatorEntries& entries, RecorderSetup& setup, StorageCycleCodes& codes,
                                 CConfigBlock& encoder, CCapacimo& simulator) {
    applyEntries(entries, setup, codes);
    simulator.setGroupCycles(&encoder, codes);
    encoder.setWorkingSetup(setup);

    ++g_calculations;
    CalculationResult result;
    result.written = simulator.simulate();
    // The image has the same length for every setup, so it is encoded once.
    if (encoder.imageLength() == 0) encoder.encodeSetupImage(encoder.workingSetup());
    result.setupImageLength = encoder.imageLength();

    result.internal =
        storageDuration(freeBytes(kInternalCapacity, result.setupImageLength, kInternalSetupImages), result.written);
    result.card = cardDuration(entries.cardItem, result.written, result.setupImageLength);
    return result;
}

Calculator::Calculator() { initRecorderSetup(setup_); }

CalculationResult Calculator::calculate(const CalculatorEntries& entries) {
    return runCalculation(entries, setup_, codes_, encoder_, simulator_);
}

}  // namespace capacimo
