#include "version_info.h"

#include <cstdio>
#include <vector>

#include "capacimo_version.h"

namespace capacimo::host {
namespace {

constexpr std::uint16_t kEnglishUs = 0x0409;
constexpr std::uint16_t kWesternCodePage = 1252;

// The first count of the four numbers major, minor, release and build
// joined by "."; with maskBuild the build shows as "x".
std::string VersionNumbers(const VersionBlock& block, int count, bool maskBuild) {
    const unsigned numbers[] = {block.fileVersionMS >> 16, block.fileVersionMS & 0xFFFFu, block.fileVersionLS >> 16,
                                block.fileVersionLS & 0xFFFFu};
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += '.';
        text += i == 3 && maskBuild ? std::string("x") : std::to_string(numbers[i]);
    }
    return text;
}

}  // namespace

VersionBlock BuildVersionBlock() {
    VersionBlock block;
    block.VerInfoPresent = true;
    block.hasFixedInfo = true;
    block.fileVersionMS = (std::uint32_t{CAPACIMO_VERSION_MAJOR} << 16) | std::uint32_t{CAPACIMO_VERSION_MINOR};
    block.fileVersionLS = (std::uint32_t{CAPACIMO_VERSION_RELEASE} << 16) | std::uint32_t{CAPACIMO_VERSION_BUILD};
    block.hasTranslation = true;
    block.language = kEnglishUs;
    block.codePage = kWesternCodePage;
    block.stringTables[TranslationKey(block.language, block.codePage)] = {
        {"CompanyName", CAPACIMO_COMPANY_NAME},           {"FileDescription", CAPACIMO_FILE_DESCRIPTION},
        {"FileVersion", CAPACIMO_VERSION_TEXT},           {"InternalName", CAPACIMO_INTERNAL_NAME},
        {"LegalCopyright", CAPACIMO_LEGAL_COPYRIGHT},     {"LegalTrademarks", CAPACIMO_LEGAL_TRADEMARKS},
        {"OriginalFilename", CAPACIMO_ORIGINAL_FILENAME}, {"ProductName", CAPACIMO_PRODUCT_NAME},
        {"ProductVersion", CAPACIMO_VERSION_TEXT},        {"Comments", CAPACIMO_COMMENTS},
    };
    return block;
}

const VersionBlock& ProgramVersionBlock() {
    static const VersionBlock block = ReadProgramVersionBlock();
    return block;
}

std::string TranslationKey(std::uint16_t language, std::uint16_t codePage) {
    // The translation entry holds the language in its low half; swapping the
    // halves puts the language digits first.
    const std::uint32_t entry = (std::uint32_t{codePage} << 16) | language;
    const std::uint32_t swapped = (entry << 16) | (entry >> 16);
    char text[16];
    std::snprintf(text, sizeof text, "%.8x", static_cast<unsigned>(swapped));
    return text;
}

std::string GetVersionDigits(bool shortForm, const VersionBlock& block) {
    if (!block.VerInfoPresent || !block.hasFixedInfo) return "Unknown";
    return VersionNumbers(block, shortForm ? 2 : 4, false);
}

std::string GetVersionString(const std::string& name, const VersionBlock& block) {
    if (!block.VerInfoPresent || !block.hasTranslation) return "Unknown";
    const auto table = block.stringTables.find(TranslationKey(block.language, block.codePage));
    if (table == block.stringTables.end()) return "Unknown";
    const auto value = table->second.find(name);
    if (value == table->second.end()) return "Unknown";
    return value->second;
}

std::string GetFileVersionText(bool maskBuild, const VersionBlock& block) {
    if (!block.VerInfoPresent || !block.hasFixedInfo) return "";
    return VersionNumbers(block, 4, maskBuild);
}

}  // namespace capacimo::host
