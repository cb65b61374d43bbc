// Helper of the end-to-end test.
//   e2e_probe close WINDOW   asks an X window to close, as its close box does
//                            (WM_DELETE_WINDOW; there is no window manager).
//   e2e_probe settings       prints the host's "Last" and how many values the
//                            "Scribent S" unit stored, from the settings store.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QCoreApplication>
#include <QSettings>

// After Qt: Xlib defines macros (Status, Bool) that Qt's headers also use.
#include <X11/Xlib.h>

namespace {

int CloseWindow(const char* idText) {
    char* end = nullptr;
    const unsigned long id = std::strtoul(idText, &end, 0);
    if (end == idText || *end != '\0' || id == 0) {
        std::fprintf(stderr, "not a window id: %s\n", idText);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(id);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const int sent = XSendEvent(display, static_cast<Window>(id), False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}

int PrintSettings() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Ostrelwerk", "Capacimo");
    std::printf("Last=%s\n", qPrintable(store.value("Settings/Last").toString()));
    store.beginGroup("ScribentS");
    std::printf("UnitValues=%lld\n", static_cast<long long>(store.allKeys().size()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "close") == 0) return CloseWindow(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "settings") == 0) {
        QCoreApplication app(argc, argv);
        return PrintSettings();
    }
    std::fprintf(stderr, "usage: %s close WINDOW | settings\n", argv[0]);
    return 2;
}
