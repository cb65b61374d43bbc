// The running program's own version information: file version numbers and
// the named version strings (CompanyName, ProductName, ...).
//
// On Windows the block is read from the executable's version resource; on
// other platforms the build supplies the same numbers and strings.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace capacimo::host {

// One program's version information, read once at program start.
struct VersionBlock {
    bool VerInfoPresent = false;      // the block was read
    bool hasFixedInfo = false;        // the root entry "\" (fixed file info) exists
    std::uint32_t fileVersionMS = 0;  // major << 16 | minor
    std::uint32_t fileVersionLS = 0;  // release << 16 | build
    bool hasTranslation = false;
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
    // String tables by translation key ("040904e4"), each by string name.
    std::map<std::string, std::map<std::string, std::string>> stringTables;
};

// The block of the running program; read on first use, lives until exit.
const VersionBlock& ProgramVersionBlock();

// Builds a block from the build's own version data (used where the platform
// has no version resources).
VersionBlock BuildVersionBlock();

// Reads the running program's block the platform's way (one file per platform).
VersionBlock ReadProgramVersionBlock();

// "0409" + "04e4": the string-table key of a translation entry.
std::string TranslationKey(std::uint16_t language, std::uint16_t codePage);

// "major.minor.release.build", or "major.minor" for the short form;
// "Unknown" without version information.
std::string GetVersionDigits(bool shortForm, const VersionBlock& block = ProgramVersionBlock());

// The named string of the first translation; "Unknown" when the block, the
// translation or the string is missing. An existing empty string stays empty.
std::string GetVersionString(const std::string& name, const VersionBlock& block = ProgramVersionBlock());

// The executable's file version "%d.%d.%d.%d", or "%d.%d.%d.x" with
// maskBuild; empty without version information.
std::string GetFileVersionText(bool maskBuild, const VersionBlock& block = ProgramVersionBlock());

}  // namespace capacimo::host
