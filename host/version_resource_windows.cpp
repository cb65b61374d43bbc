// The running program's version information on Windows: read from the
// executable's version resource through the version API.
#include "version_info.h"

#include <windows.h>

#include <vector>

namespace capacimo::host {

VersionBlock ReadProgramVersionBlock() {
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

}  // namespace capacimo::host
