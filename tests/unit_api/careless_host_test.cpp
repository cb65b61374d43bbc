// A host whose Qt application cannot show widgets (a QCoreApplication or a
// QGuiApplication, chosen by the first argument) runs the unit: the unit
// refuses to create its dialog, shows nothing and leaves the process alive.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibrary>
#include <cstdio>
#include <cstring>
#include <memory>

#include "unit_api/unit_entry.h"

int main(int argc, char** argv) {
    if (argc != 2 || (std::strcmp(argv[1], "core") != 0 && std::strcmp(argv[1], "gui") != 0)) {
        std::fprintf(stderr, "usage: %s core|gui\n", argv[0]);
        return 2;
    }
    std::unique_ptr<QCoreApplication> app;
    int appArgc = 1;
    if (std::strcmp(argv[1], "core") == 0) {
        app = std::make_unique<QCoreApplication>(appArgc, argv);
    } else {
        app = std::make_unique<QGuiApplication>(appArgc, argv);
    }
    QLibrary unit(CAPACIMO_UNIT_PATH);
    auto initDll = reinterpret_cast<InitDllFn>(unit.resolve(unit_api::kInitDll));
    auto executeDll = reinterpret_cast<ExecuteDLLFn>(unit.resolve(unit_api::kExecuteDLL));
    auto closeDll = reinterpret_cast<CloseDllFn>(unit.resolve(unit_api::kCloseDll));
    if (!initDll || !executeDll || !closeDll) {
        std::fprintf(stderr, "cannot bind the unit: %s\n", qPrintable(unit.errorString()));
        return 1;
    }
    const bool init = initDll(0, -1, 0);
    const bool execute = executeDll();
    const bool close = closeDll();
    if (init || execute || close) {
        std::fprintf(stderr, "expected false, false, false; got %d, %d, %d\n", init, execute, close);
        return 1;
    }
    return 0;
}
