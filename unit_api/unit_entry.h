// The contract between the Capacimo host and a unit plug-in library.
//
// A unit is a shared library that exports exactly these four functions with
// C linkage and no name decoration. Host and units share this one header and
// nothing else. Every result is a one-byte boolean (0 = false, 1 = true).
#pragma once

#include <cstdint>

static_assert(sizeof(bool) == 1, "unit entry points return one-byte booleans");

#if defined(_WIN32)
#define CAPACIMO_UNIT_EXPORT __declspec(dllexport)
#define CAPACIMO_UNIT_CALL __stdcall
#else
#define CAPACIMO_UNIT_EXPORT __attribute__((visibility("default")))
#define CAPACIMO_UNIT_CALL
#endif

// Native handle of the host's launcher window (HWND on Windows, the X11
// window id elsewhere). The unit's dialog uses it as its owner window.
using UnitWindowHandle = std::uintptr_t;

extern "C" {
// Writes the unit's display name, NUL-terminated, into buffer; at most size - 1
// characters. Needs no InitDll. Always true.
using GetUnitNameFn = bool(CAPACIMO_UNIT_CALL*)(char* buffer, std::int32_t size);
// Creates the unit's dialog owned by parentWindow. The host passes -1 and 0
// for the two reserved arguments; units ignore them.
using InitDllFn = bool(CAPACIMO_UNIT_CALL*)(UnitWindowHandle parentWindow, std::int32_t reserved1,
                                            std::int32_t reserved2);
// Shows the dialog modally; returns when the user closed it.
using ExecuteDLLFn = bool(CAPACIMO_UNIT_CALL*)();
// Destroys the dialog (which stores the user's entries).
using CloseDllFn = bool(CAPACIMO_UNIT_CALL*)();
}

// The exported names, as the host binds them.
namespace unit_api {
inline constexpr const char* kGetUnitName = "GetUnitName";
inline constexpr const char* kInitDll = "InitDll";
inline constexpr const char* kExecuteDLL = "ExecuteDLL";
inline constexpr const char* kCloseDll = "CloseDll";
}  // namespace unit_api
