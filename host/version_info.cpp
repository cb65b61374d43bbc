#include "version_info.h"

#include <cstdio>
#include <vector>

#include "capacimo_version.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace capacimo::host {
namespace {

constexpr std::uint16_t kEnglishUs = 0x0409;
constexpr std::uint16_t kWesternCodePage = 1252;

#if defined(_WIN32)
// Reads the executable's version resource through the version API.
VersionBlock ReadOwnVersionResource() {
  VersionBlock block;
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return block;
  DWORD ignored = 0;
  // The block size is kept as a 16-bit count, as the resource format limits it.
  const std::uint16_t size = static_cast<std::uint16_t>(GetFileVersionInfoSizeA(path, &ignored));
  if (size == 0) return block;
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path, 0, size, data.data())) return block;
  block.VerInfoPresent = true;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedLength = 0;
  if (VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedLength) && fixed &&
      fixedLength >= sizeof(VS_FIXEDFILEINFO)) {
    block.hasFixedInfo = true;
    block.fileVersionMS = fixed->dwFileVersionMS;
    block.fileVersionLS = fixed->dwFileVersionLS;
  }

  WORD* translation = nullptr;
  UINT translationLength = 0;
  if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                     &translationLength) &&
      translation && translationLength >= 2 * sizeof(WORD)) {
    block.hasTranslation = true;
    block.language = translation[0];
    block.codePage = translation[1];
    const std::string key = TranslationKey(block.language, block.codePage);
    auto& table = block.stringTables[key];
    for (const char* name : {"CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                             "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"}) {
      const std::string query = "\\StringFileInfo\\" + key + "\\" + name;
      char* value = nullptr;
      UINT valueLength = 0;
      if (VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &valueLength) && value)
        table[name] = std::string(value, valueLength > 0 ? valueLength - 1 : 0);
    }
  }
  return block;
}
#endif

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
      {"CompanyName", CAPACIMO_COMPANY_NAME},
      {"FileDescription", CAPACIMO_FILE_DESCRIPTION},
      {"FileVersion", CAPACIMO_VERSION_TEXT},
      {"InternalName", CAPACIMO_INTERNAL_NAME},
      {"LegalCopyright", CAPACIMO_LEGAL_COPYRIGHT},
      {"LegalTrademarks", CAPACIMO_LEGAL_TRADEMARKS},
      {"OriginalFilename", CAPACIMO_ORIGINAL_FILENAME},
      {"ProductName", CAPACIMO_PRODUCT_NAME},
      {"ProductVersion", CAPACIMO_VERSION_TEXT},
      {"Comments", CAPACIMO_COMMENTS},
  };
  return block;
}

const VersionBlock& ProgramVersionBlock() {
#if defined(_WIN32)
  static const VersionBlock block = ReadOwnVersionResource();
#else
  static const VersionBlock block = BuildVersionBlock();
#endif
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
  const unsigned major = block.fileVersionMS >> 16;
  const unsigned minor = block.fileVersionMS & 0xFFFFu;
  const unsigned release = block.fileVersionLS >> 16;
  const unsigned build = block.fileVersionLS & 0xFFFFu;
  char text[32];
  if (shortForm)
    std::snprintf(text, sizeof text, "%u.%u", major, minor);
  else
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", major, minor, release, build);
  return text;
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
  const int major = static_cast<int>(block.fileVersionMS >> 16);
  const int minor = static_cast<int>(block.fileVersionMS & 0xFFFFu);
  const int release = static_cast<int>(block.fileVersionLS >> 16);
  const int build = static_cast<int>(block.fileVersionLS & 0xFFFFu);
  char text[64];
  if (maskBuild)
    std::snprintf(text, sizeof text, "%d.%d.%d.x", major, minor, release);
  else
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", major, minor, release, build);
  return text;
}

}  // namespace capacimo::host
