// Turns the user's entries into the recorder's setup: which channels are on and
// of which kind, which analyses run, each group's storage cycle and the
// channels each group records.
#pragma once

#include "calculator/entries.h"
#include "calculator/recorder_setup.h"

namespace capacimo {

// Overwrites every configuration field of the setup (channel kinds,
// totalization, group channel lists, analysis codes, the math flag, the limit
// modes) and the storage-cycle codes from the entries alone. Counts beyond the
// recorder's channels or a group's eight slots are cut; negative counts assign
// nothing.
void applyEntries(const CalculatorEntries& entries, RecorderSetup& setup, StorageCycleCodes& codes);

}  // namespace capacimo
