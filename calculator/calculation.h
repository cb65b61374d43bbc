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

// A recorder that spends a share of its time in alarm, where its groups save
// at their alarm cycles, writes in two hours
//
//     W = W_n + ceil(p * (W_a - W_n) / 100)
//
// bytes for a share of p %: W_n is the replay of two hours at the storage
// cycles, W_a the same replay with every group at its alarm cycle (the
// analyses unchanged). Both durations follow from W as from any W, the SD
// card's with the megabytes kept free for other files taken from its room.
// With no share and no reserve (the defaults) W is W_n and nothing changes.
struct CalculationResult {
    std::int32_t written = 0;           // W: bytes two hours of recording occupy, alarms counted
    std::int32_t setupImageLength = 0;  // S
    StorageDuration internal;
    StorageDuration card;  // kNoDuration when the card item is not a known size, or the reserve leaves no room
    // Normal operation: W_n, and both durations without alarms and with the
    // whole card for data: today's figures, the same as above without a scenario.
    std::int32_t normalWritten = 0;
    StorageDuration normalInternal;
    StorageDuration normalCard;
    std::int32_t alarmWritten = 0;  // W_a; W_n when no group changes its cycle in alarm
    std::int32_t alarmShare = 0;    // p, 0..100
    std::int32_t cardReserve = 0;   // megabytes kept free on the card
    // An alarm share or a card reserve is set: the figures above are those of that scenario.
    bool hasScenario() const { return alarmShare > 0 || cardReserve > 0; }
};

// The two hours' bytes with a share of p % (0..100) in alarm, by the rule above.
std::int32_t writtenWithAlarms(std::int32_t normalWritten, std::int32_t alarmWritten, std::int32_t alarmShare);

// Both durations for W, the bytes two hours occupy: the result a calculation
// gives once it has replayed the two hours.
CalculationResult resultFor(std::int32_t written, std::int32_t setupImageLength, std::int32_t cardItem);
// The result for W_n and W_a with the entries' share, reserve and card.
CalculationResult resultFor(std::int32_t normalWritten, std::int32_t alarmWritten, std::int32_t setupImageLength,
                            const CalculatorEntries& entries);

// The count checks (validateCounts), then whether the SD card keeps any room
// for data beside the megabytes kept free for other files: what the status
// line says.
ValidationOutcome validateEntries(const CalculatorEntries& entries);

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
// the simulator and encoder, replays two hours and converts the result. With
// an alarm share and alarm cycles that differ from the storage cycles it
// replays the two hours in alarm first, whose writers' tallies go to
// alarmTallies when given; the simulator then holds the normal replay.
CalculationResult runCalculation(const CalculatorEntries& entries, RecorderSetup& setup, StorageCycleCodes& codes,
                                 CConfigBlock& encoder, CCapacimo& simulator,
                                 std::array<CCapacimo::WriterTally, CCapacimo::kWriters>* alarmTallies = nullptr);

// How many complete calculations this process has run; lets tests and
// benchmarks count the calculations an action costs.
std::uint64_t calculationsRun();
// How many two-hour replays they made: one each, two with alarms to replay.
std::uint64_t replaysRun();

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
    // What each writer wrote in the last calculation's replay in alarm; all
    // zero when it made none (no share, or no group changing its cycle).
    const std::array<CCapacimo::WriterTally, CCapacimo::kWriters>& alarmTallies() const { return alarmTallies_; }

private:
    RecorderSetup setup_;
    StorageCycleCodes codes_{};
    CConfigBlock encoder_;
    CCapacimo simulator_;
    std::array<CCapacimo::WriterTally, CCapacimo::kWriters> alarmTallies_{};
    // resultRange()'s: its setup, the entries it was made from (their cycles
    // and card left out) and what it says about the records.
    RecorderSetup rangeSetup_;
    std::optional<CalculatorEntries> rangeKey_;
    CCapacimo::Records rangeRecords_;
};

}  // namespace capacimo
