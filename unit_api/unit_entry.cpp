// The entry points of the "Scribent S" unit library cp_ktv00xa. No exception
// leaves them: every failure becomes the result false.
#include "unit_api/unit_entry.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <memory>
#include <string_view>

#include "calculator/dialog.h"
#include "calculator/recorder_setup.h"

namespace {

// The unit's dialog, between InitDll and CloseDll.
capacimo::unit::Tdlg_Main* dlg_Main = nullptr;

// A host without a Qt application of its own gets one from the unit.
std::unique_ptr<QApplication>& ownApplication() {
    static std::unique_ptr<QApplication> app;
    return app;
}

// The dialog needs an application that can show widgets. A host without any
// Qt application gets one from the unit; a host whose application cannot show
// widgets (a QCoreApplication or QGuiApplication) gets no dialog at all.
bool ensureWidgetApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "cp_ktv00xa";
        static char* argv[] = {name, nullptr};
        ownApplication() = std::make_unique<QApplication>(argc, argv);
    }
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

// The host's window, when it belongs to this process's Qt application.
QWidget* hostWidget(UnitWindowHandle parentWindow) {
    if (parentWindow == 0 || parentWindow == static_cast<UnitWindowHandle>(-1)) return nullptr;
    return QWidget::find(static_cast<WId>(parentWindow));
}

// The dialog belongs to the unit, not to the host's window: the host window
// is only its transient parent, which keeps the dialog above it. Should the
// host destroy its window first, the dialog lives on until CloseDll.
void placeAbove(QWidget* dialog, UnitWindowHandle parentWindow) {
    QWidget* host = hostWidget(parentWindow);
    if (host == nullptr || host->window()->windowHandle() == nullptr) return;
    dialog->createWinId();
    dialog->windowHandle()->setTransientParent(host->window()->windowHandle());
}

}  // namespace

extern "C" {

CAPACIMO_UNIT_EXPORT bool CAPACIMO_UNIT_CALL GetUnitName(char* buffer, std::int32_t size) {
    // A buffer of no room at all gets nothing: there is not even room for the terminator.
    if (buffer == nullptr || size <= 0) return true;
    // The unit's name is its recorder model's.
    const std::string_view name = capacimo::kModelName;
    const auto length = std::min(name.size(), static_cast<std::size_t>(size - 1));
    std::copy_n(name.data(), length, buffer);
    buffer[length] = '\0';
    buffer[size - 1] = '\0';
    return true;
}

CAPACIMO_UNIT_EXPORT bool CAPACIMO_UNIT_CALL InitDll(UnitWindowHandle parentWindow, std::int32_t /*reserved1*/,
                                                     std::int32_t /*reserved2*/) {
    try {
        if (!ensureWidgetApplication()) return false;
        delete dlg_Main;  // at most one dialog object at a time
        dlg_Main = nullptr;
        dlg_Main = new capacimo::unit::Tdlg_Main();
        placeAbove(dlg_Main, parentWindow);
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
        capacimo::unit::Tdlg_Main* dialog = dlg_Main;
        dlg_Main = nullptr;
        delete dialog;  // stores the entries
        return true;
    } catch (...) {
        return false;
    }
}

}  // extern "C"
