// A setup file's text, as --setup, the dialog's Open and the web page read it.
// A refusal is fine; what is accepted must save and open again as the same
// setup, and saving it again must give the same bytes.
#include <string_view>

#include "calculator/files/setup_file.h"
#include "fuzz/fuzz_check.h"

using capacimo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const capacimo::SetupReadResult read = capacimo::readSetupText({reinterpret_cast<const char*>(data), size});
    if (!read.setup) return 0;
    const std::string written = capacimo::writeSetupText(read.setup->entries, read.setup->name);
    const capacimo::SetupReadResult again = capacimo::readSetupText(written);
    check(again.setup.has_value(), "a setup that was read is saved as one that reads again");
    check(again.setup->entries == read.setup->entries, "a saved setup reads as the entries saved");
    check(capacimo::writeSetupText(again.setup->entries, again.setup->name) == written,
          "saving what was read from a saved setup gives the same bytes");
    return 0;
}
