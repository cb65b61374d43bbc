// The entry points of the "Scribent S" unit library cp_ktv00xa. No exception
// leaves them: every failure becomes the result false.
#include "unit_api/unit_entry.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <memory>

#include "calculator/dialog.h"

namespace {

// The unit's dialog, between InitDll and CloseDll.
capacimo::Tdlg_Main* dlg_Main = nullptr;

// A host without a Qt application of its own gets one from the unit.
std::unique_ptr<QApplication>& ownApplication() {
    static std::unique_ptr<QApplication> app;
    return app;
}

void ensureApplication() {
    if (QApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "cp_ktv00xa";
    static char* argv[] = {name, nullptr};
    ownApplication() = std::make_unique<QApplication>(argc, argv);
}

// The host's window, when it belongs to this process's Qt application.
QWidget* ownerWidget(UnitWindowHandle parentWindow) {
    if (parentWindow == 0 || parentWindow == static_cast<UnitWindowHandle>(-1)) return nullptr;
    return QWidget::find(static_cast<WId>(parentWindow));
}

}  // namespace

extern "C" {

CAPACIMO_UNIT_EXPORT bool CAPACIMO_UNIT_CALL GetUnitName(char* buffer, std::int32_t size) {
    // A buffer of no room at all gets nothing: there is not even room for the terminator.
    if (buffer == nullptr || size <= 0) return true;
    const char* name = capacimo::kUnitName;
    std::int32_t i = 0;
    for (; i < size - 1 && name[i] != '\0'; ++i) buffer[i] = name[i];
    if (name[i] == '\0') buffer[i] = '\0';
    buffer[size - 1] = '\0';
    return true;
}

CAPACIMO_UNIT_EXPORT bool CAPACIMO_UNIT_CALL InitDll(UnitWindowHandle parentWindow, std::int32_t /*reserved1*/,
                                                     std::int32_t /*reserved2*/) {
    try {
        ensureApplication();
        delete dlg_Main;  // at most one dialog object at a time
        dlg_Main = nullptr;
        // The dialog stays a top-level window; the host window becomes its owner.
        dlg_Main = new capacimo::Tdlg_Main(ownerWidget(parentWindow));
        return true;
    } catch (...) {
        return false;
    }
}

CAPACIMO_UNIT_EXPORT bool CAPACIMO_UNIT_CALL ExecuteDLL() {
    if (dlg_Main == nullptr) return false;
    try {
        // Centre on the screen the owner is on (or the primary screen).
        const QRect screen = dlg_Main->screen()->availableGeometry();
        dlg_Main->move(screen.center() - dlg_Main->rect().center());
        dlg_Main->exec();
        return true;
    } catch (...) {
        return false;
    }
}

CAPACIMO_UNIT_EXPORT bool CAPACIMO_UNIT_CALL CloseDll() {
    if (dlg_Main == nullptr) return false;
    try {
        capacimo::Tdlg_Main* dialog = dlg_Main;
        dlg_Main = nullptr;
        delete dialog;  // stores the entries
        return true;
    } catch (...) {
        return false;
    }
}

}  // extern "C"
