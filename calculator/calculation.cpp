#include "calculator/calculation.h"

#include "calculator/channel_assignment.h"

#include <atomic>

namespace capacimo {
namespace {

std::atomic<std::uint64_t> g_calculations{0};

// The image has the same length for every setup, so it is encoded once.
std::int32_t setupImageLength(CConfigBlock& encoder) {
    if (encoder.imageLength() == 0) encoder.encodeSetupImage(encoder.workingSetup());
    return encoder.imageLength();
}

}  // namespace

std::uint64_t calculationsRun() { return g_calculations.load(); }

CalculationResult resultFor(std::int32_t written, std::int32_t setupImageLength, std::int32_t cardItem) {
    CalculationResult result;
    result.written = written;
    result.setupImageLength = setupImageLength;
    result.internal = storageDuration(freeBytes(kInternalCapacity, setupImageLength, kInternalSetupImages), written);
    result.card = cardDuration(cardItem, written, setupImageLength);
    return result;
}

CalculationResult runCalculation(const CalculatorEntries& entries, RecorderSetup& setup, StorageCycleCodes& codes,
                                 CConfigBlock& encoder, CCapacimo& simulator) {
    applyEntries(entries, setup, codes);
    simulator.setGroupCycles(&encoder, codes);
    encoder.setWorkingSetup(setup);

    ++g_calculations;
    const std::int32_t written = simulator.simulate();
    return resultFor(written, setupImageLength(encoder), entries.cardItem);
}

Calculator::Calculator() {
    initRecorderSetup(setup_);
    initRecorderSetup(rangeSetup_);
}

CalculationResult Calculator::calculate(const CalculatorEntries& entries) {
    return runCalculation(entries, setup_, codes_, encoder_, simulator_);
}

// Why the bracket holds: a medium's duration never grows as W grows. Its
// hours are free / (W / 2), one correctly rounded division in extended
// precision, then rounded to single precision; rounding keeps order, so these
// hours, h, never grow with W. Weeks, days and hours are the whole hours of h,
// split without error: h is below 2^27 (free is below 2^31, W at least 41),
// so where h / 168 is not a whole number it lies at least 2^-27 of itself
// from the nearest one, far more than extended precision's 2^-64 can blur,
// and truncating it gives the whole weeks; the rest, below 168 and a whole
// number of h's last bits, fits single precision exactly, and the days follow
// the same way. So a duration (and its hours, as durationHours counts them)
// follows from the whole hours of h alone, which never grow with W: the same
// at both ends of a range of W, it is the same all through it.
ResultRange Calculator::resultRange(const CalculatorEntries& entries) {
    // The storage cycles change no payload, so trials that differ from the
    // last one only in cycles (or card) keep its records. The setup is one of
    // its own, so that setup() and cycleCodes() stay those of the last
    // calculation, whose replay simulator() holds.
    StorageCycleCodes codes{};
    CalculatorEntries key = entries;
    key.cycleItems = {};
    key.cardItem = 0;
    if (key != rangeKey_) {
        applyEntries(entries, rangeSetup_, codes);
        rangeRecords_ = CCapacimo::recordsOf(rangeSetup_);
        rangeKey_ = key;
    }
    for (int g = 0; g < kGroups; ++g) codes[g] = storageCycleCodeForItem(g, entries.cycleItems[g]);  // as applyEntries
    const CCapacimo::WrittenRange written = CCapacimo::writtenRange(rangeRecords_, codes);
    const std::int32_t imageLength = setupImageLength(encoder_);
    return {resultFor(written.most, imageLength, entries.cardItem),
            resultFor(written.least, imageLength, entries.cardItem)};
}

}  // namespace capacimo
