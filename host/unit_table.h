// The unit table: finds unit libraries, loads and binds them, runs them and
// unloads them again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QLibrary>

#include "find_file.h"
#include "unit_api/unit_entry.h"

namespace capacimo::host {

// One loaded unit.
struct UnitEntry {
    std::string name;                   // as reported, stripped of codes 0..32 at both ends; never empty once kept
    std::unique_ptr<QLibrary> library;  // the loaded library; valid while loaded
    GetUnitNameFn GetUnitName = nullptr;
    InitDllFn InitDll = nullptr;
    CloseDllFn CloseDll = nullptr;
    ExecuteDLLFn ExecuteDLL = nullptr;
};

// The host calls GetUnitName with the size 255 and always ends the name with
// its own terminator at that index. The buffer behind it is much larger and
// zero-filled, so that a unit writing past the size it was given cannot
// overwrite the host's memory.
inline constexpr std::int32_t kUnitNameSizeArgument = 255;
inline constexpr std::size_t kUnitNameBufferSize = 4096;

// The file pattern of unit libraries: the platform's shared-library suffix.
#if defined(Q_OS_WIN)
inline constexpr const char* kUnitFilter = "*.dll";
#elif defined(Q_OS_MACOS)
inline constexpr const char* kUnitFilter = "*.dylib";
#else
inline constexpr const char* kUnitFilter = "*.so";
#endif
// The subdirectory of the program directory that holds units.
inline constexpr const char* kUnitSubdirectory = "DLLs";

// Strips leading and trailing characters with codes 0 to 32.
std::string StripUnitName(const std::string& text);

class CUnitTable {
public:
    using TextSink = std::function<void(const std::string&)>;

    struct Sinks {
        TextSink accepted;    // a unit was kept; gets its name
        TextSink diagnostic;  // one line per rejected candidate (default: stderr)
        TextSink errorBox;    // failures the user must see (default: the error box)
    };

    explicit CUnitTable(Sinks sinks = {});
    ~CUnitTable();  // unloads what FreeAllUnits has not
    CUnitTable(const CUnitTable&) = delete;
    CUnitTable& operator=(const CUnitTable&) = delete;

    // Loads every library found in programDir and then in programDir/DLLs;
    // true when at least one unit was kept.
    bool SearchUnits(const std::string& programDir);
    // Loads one library by full path; true when it was kept as a unit.
    bool LoadUnit(const std::string& path);
    // Unloads the library of one entry; false when unloading failed.
    bool FreeUnit(std::size_t index);
    // Unloads every entry's library; the entries stay. Always true.
    bool FreeAllUnits();

    // One run of a unit: InitDll, ExecuteDLL when InitDll returned true,
    // CloseDll. Failures escaping the unit go to the error box.
    void RunUnit(std::size_t index, UnitWindowHandle parentWindow);

    // The first unit in load order whose name equals name, ignoring case;
    // -1 when there is none.
    int IndexOfName(const std::string& name) const;

    const std::vector<UnitEntry>& Entries() const { return entries_; }
    std::size_t Count() const { return entries_.size(); }

    TFindFile FindFile;

private:
    bool Reject(const std::string& path, const std::string& reason);
    // Binds the four entry points; names the missing ones, empty when none is.
    static std::string BindEntryPoints(UnitEntry& entry);
    // The unit's name as the host reads it, stripped.
    static std::string NameOf(const UnitEntry& entry);

    Sinks sinks_;
    std::vector<UnitEntry> entries_;
};

}  // namespace capacimo::host
