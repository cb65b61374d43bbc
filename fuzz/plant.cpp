// A plant CSV, as capacimo-calc --setup plant.csv, the web page's import and
// the plant window's Open read it, to the end. A refused file, row or cell is
// fine; what was read must save as a plant CSV that reads again as the same
// plant without a problem and saves again to the same bytes, and each
// recorder's setup as a setup file that reads again as the same entries
// (--json echoes it so).
#include <string_view>

#include "calculator/files/setup_file.h"
#include "calculator/plant/plant_file.h"
#include "fuzz/fuzz_check.h"

using capacimo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const capacimo::PlantFileReading read =
        capacimo::readPlantText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const capacimo::PlantRecorder& recorder : read.recorders) {
        const capacimo::SetupReadResult again =
            capacimo::readSetupText(capacimo::writeSetupText(recorder.entries, recorder.name));
        check(again.setup.has_value() && again.setup->entries == recorder.entries,
              "a plant row's setup saves as a setup file that reads again");
    }
    const std::string written = capacimo::plantCsvText(read.recorders);
    const capacimo::PlantFileReading again = capacimo::readPlantText(written);
    check(again.fileError.empty() && again.problems.empty() && again.recorders == read.recorders,
          "a plant saves as a plant CSV that reads again as the same plant");
    check(capacimo::plantCsvText(again.recorders) == written, "a plant read again saves to the same bytes");
    return 0;
}
