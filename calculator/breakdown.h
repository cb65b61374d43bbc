// Where the bytes of two hours go: the records each group and analysis writes
// and the bytes they occupy, and what the memory blocks add on top.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "calculator/calculation.h"

namespace capacimo {

// What a row of the breakdown stands for.
enum class BreakdownKind { Group, Analysis, Overhead, OpenBlock };

// The writer w of the replay: "Group 1" .. "Group 10", "Analysis 1" .. "Analysis 4".
std::string writerName(int writer);
BreakdownKind writerKind(int writer);

struct WriterBytes {
    int writer = 0;            // 0..9 for groups 1 to 10, 10..13 for analyses 1 to 4
    std::string name;          // "Group 1" .. "Group 10", "Analysis 1" .. "Analysis 4"
    std::string cycle;         // its list text: "100ms", "1s", "1min", "daily analysis"
    std::int32_t records = 0;  // written in the two hours
    // What those records occupy as stored: each with its time stamp as it was
    // written (one byte for the first record of a block), frame and payload.
    std::int64_t bytes = 0;
    // The same in two hours in alarm, with every group at its alarm cycle
    // (Breakdown::alarms), and the cycle it writes at then.
    std::string alarmCycle;
    std::int32_t alarmRecords = 0;
    std::int64_t alarmBytes = 0;
    // Both durations with this writer switched off (its group's cycle "Off"
    // in normal operation and in alarm, its analysis "no") and everything
    // else unchanged.
    StorageDuration withoutInternal = kNoDuration;
    StorageDuration withoutCard = kNoDuration;
};

// W, the bytes two hours occupy, broken down. With P the bytes of all
// writers, C the blocks closed during the two hours and F the fill of the
// block still open at the end (its header included):
//
//     W = P + 41 * (C + 1) - (C > 0 ? F : 0)
//
// Every block starts with a 41-byte header, and the bytes a closed block
// leaves free at its end are not counted. While no block has closed, W is the
// one open block: P and one header. Once one has closed, W is the closed
// blocks alone, so the open block with its records drops out.
//
// In the terms a report shows: what the two hours wrote is the writers' bytes
// and the headers of every block begun, P + 41 * (C + 1); W is that less the
// open block once a block has closed. overheadBytes is W - P: the writers'
// bytes and it add up to W exactly; it is negative when the open block's
// records outweigh the closed blocks' headers.
struct Breakdown {
    std::int32_t written = 0;          // W
    std::vector<WriterBytes> writers;  // those that wrote: groups in group order, then analyses
    std::int64_t overheadBytes = 0;    // W - P
    int closedBlocks = 0;              // C
    std::int32_t lastBlockFill = 0;    // F
    // With a share in alarm and a group that changes its cycle in alarm: the
    // writers' records and bytes in alarm too, and W_a. A writer that writes
    // in alarm alone is listed with no records in normal operation.
    bool alarms = false;
    std::int32_t alarmWritten = 0;  // W_a

    // 41 * (C + 1): the header of every block begun.
    std::int64_t headerBytes() const;
    // What W leaves out: the open block, once a block has closed.
    std::int64_t uncountedBytes() const;
    // P + headerBytes(): every byte the two hours wrote.
    std::int64_t bytesWritten() const;
};

// Calculates the entries on the calculator and breaks the result down; the
// durations without each writer stay kNoDuration.
Breakdown bytesBreakdown(Calculator& calculator, const CalculatorEntries& entries);

// The whole breakdown: bytesBreakdown, and for each writer the durations
// with it switched off, as a calculation gives them (replayed only where its
// records alone do not settle them, Calculator::resultRange), all on the given
// calculator (or on one of its own), whose last run is then the entries' own
// or one of those.
Breakdown breakdownOf(Calculator& calculator, const CalculatorEntries& entries);
Breakdown breakdownOf(const CalculatorEntries& entries);

// The whole breakdown of a calculation already made: `calculator`'s last run,
// which gave `result` for `entries`. Only the durations without each writer
// are calculated, on a calculator of their own.
Breakdown breakdownOf(const Calculator& calculator, const CalculationResult& result, const CalculatorEntries& entries);

}  // namespace capacimo
