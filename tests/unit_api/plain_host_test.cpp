// A host without Qt of its own: the unit must bring its own application
// object. Loads the library with the platform loader only.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

#include "unit_api/unit_entry.h"

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "FAILED: %s\n", what);
        ++failures;
    }
}

}  // namespace

int main() {
    void* library = dlopen(CAPACIMO_UNIT_PATH, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "FAILED: dlopen: %s\n", dlerror());
        return 1;
    }
    auto getUnitName = reinterpret_cast<GetUnitNameFn>(dlsym(library, unit_api::kGetUnitName));
    auto initDll = reinterpret_cast<InitDllFn>(dlsym(library, unit_api::kInitDll));
    auto executeDll = reinterpret_cast<ExecuteDLLFn>(dlsym(library, unit_api::kExecuteDLL));
    auto closeDll = reinterpret_cast<CloseDllFn>(dlsym(library, unit_api::kCloseDll));
    check(getUnitName && initDll && executeDll && closeDll, "all four entry points exported");
    if (failures) return 1;

    char name[256] = {};
    check(getUnitName(name, 255) && std::strcmp(name, "Scribent S") == 0, "unit name");
    check(!closeDll(), "CloseDll without a dialog");
    // A foreign window handle is not a Qt widget of this process; it is ignored.
    check(initDll(static_cast<UnitWindowHandle>(0x12345), -1, 0), "InitDll creates its own application");
    check(closeDll(), "CloseDll destroys the dialog");
    check(initDll(0, -1, 0), "a second InitDll");
    check(closeDll(), "a second CloseDll");
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
