// A plain replay of two hours, second by second and record by record, written
// straight from the recorder's rules without any shortcut. The tests hold the
// calculator's replay against it.
#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "calculator/entries.h"
#include "calculator/simulation.h"

namespace capacimo::reference {

struct Run {
    std::int32_t written = 0;  // W
    std::int32_t blockFill = 0;
    std::int32_t closedTotal = 0;
    int closedBlocks = 0;
    std::array<std::int32_t, CCapacimo::kWriters> records{};  // groups 0..9, then analyses
    std::array<std::int64_t, CCapacimo::kWriters> bytes{};
};

Run replay(const RecorderSetup& setup, const StorageCycleCodes& codes);

// A setup with random channel kinds, sub-kinds and totalization, random group
// slots (empty, any channel, or an index no channel has), random analysis codes
// 0..20 (sometimes with a high byte set) and random cycle codes 0..18. How busy
// the channels and how fast the cycles are varies from draw to draw, so that
// dense and sparse runs, long and short records all come up.
void randomSetup(std::mt19937& rng, RecorderSetup& setup, StorageCycleCodes& codes);

// Entries as a user could make them: channel counts up to the recorder's
// (and now and then beyond), any list item, mostly fast or mostly slow cycles.
CalculatorEntries randomEntries(std::mt19937& rng);

}  // namespace capacimo::reference
