// One complete calculation: from the user's entries to the bytes two hours of
// recording occupy and the storage duration of both media. The calculator
// dialog and capacimo-calc both run it.
#pragma once

#include <cstdint>
#include <optional>

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

// Both durations for W, the bytes two hours occupy: the result a calculation
// gives once it has replayed the two hours.
CalculationResult resultFor(std::int32_t written, std::int32_t setupImageLength, std::int32_t cardItem);

// What a calculation gives, bracketed from the entries' records alone, without
// replaying two hours (CCapacimo::writtenRange): `shortest` is the result for
// W at its most, `longest` for W at its least. The calculation's durations lie
// between theirs on each medium, in hours as in weeks, days and hours.
struct ResultRange {
    CalculationResult shortest;
    CalculationResult longest;
    // Both ends give both media the same durations, which are then the
    // calculation's own.
    bool decided() const { return shortest.internal == longest.internal && shortest.card == longest.card; }
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
    // calculate(entries) bracketed without its replay; calculationsRun() does
    // not count it, and setup(), cycleCodes() and simulator() stay as they were.
    ResultRange resultRange(const CalculatorEntries& entries);
    const RecorderSetup& setup() const { return setup_; }
    const StorageCycleCodes& cycleCodes() const { return codes_; }
    // The replay of the last calculation: its blocks and what each writer wrote.
    const CCapacimo& simulator() const { return simulator_; }

private:
    RecorderSetup setup_;
    StorageCycleCodes codes_{};
    CConfigBlock encoder_;
    CCapacimo simulator_;
    // resultRange()'s: its setup, the entries it was made from (their cycles
    // and card left out) and what it says about the records.
    RecorderSetup rangeSetup_;
    std::optional<CalculatorEntries> rangeKey_;
    CCapacimo::Records rangeRecords_;
};

}  // namespace capacimo
