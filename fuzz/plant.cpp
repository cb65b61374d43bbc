// A plant CSV, as capacimo-calc --setup plant.csv, the web page's import and
// the plant window's Open read it, to the end. A refused file, row or cell is
// fine; what was read must save as a plant CSV that reads again with every
// recorder it had, in its order, and every row and cell that could not be
// read (two of those may read as one); saved once more it must not change;
// and each recorder's setup must save as a setup file that reads again as
// the same entries (--json echoes it so). (A refused row is written back as
// it was: one whose cells happen to fit the saved file's columns may read
// there as a recorder.)
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
    const std::string written = capacimo::plantCsvText(read.recorders, read.kept);
    const capacimo::PlantFileReading again = capacimo::readPlantText(written);
    // (Two rows kept unread may read as one there: a quote one of them left
    // open may run into the next. Their texts are all written.)
    check(again.fileError.empty() &&
              again.recorders.size() + again.kept.size() <= read.recorders.size() + read.kept.size(),
          "a plant saves as a plant CSV that reads again with all it held");
    std::size_t found = 0;  // every recorder read is there, in its order
    for (const capacimo::PlantRecorder& r : again.recorders) {
        if (found < read.recorders.size() && r == read.recorders[found]) ++found;
    }
    check(found == read.recorders.size(), "a plant saves as a plant CSV that reads again with every recorder");
    const std::string second = capacimo::plantCsvText(again.recorders, again.kept);
    const capacimo::PlantFileReading third = capacimo::readPlantText(second);
    check(third.recorders == again.recorders && capacimo::plantCsvText(third.recorders, third.kept) == second,
          "a plant read again saves to the same bytes");
    return 0;
}
