// A plant CSV, as capacimo-calc --setup plant.csv reads it, row by row to the
// end. A refused file or row is fine; an accepted row's setup must save as a
// setup file that reads again as the same entries (--json echoes it so).
#include <sstream>
#include <string>

#include "calculator/plant/plant_csv.h"
#include "fuzz/fuzz_check.h"

using capacimo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);
    capacimo::PlantCsvReader reader(in);
    capacimo::PlantRow row;
    while (reader.next(row)) {
        if (!row.setup) continue;
        const capacimo::SetupReadResult again =
            capacimo::readSetupText(capacimo::writeSetupText(row.setup->entries, row.setup->name));
        check(again.setup.has_value() && again.setup->entries == row.setup->entries,
              "a plant row's setup saves as a setup file that reads again");
    }
    return 0;
}
