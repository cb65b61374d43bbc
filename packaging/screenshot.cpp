// capacimo_screenshot FILE.png: draws the "Scribent S" calculator dialog as
// it first opens (the Reset defaults and their storage durations) into a PNG
// file without showing it, for the AppStream metadata's screenshot. The
// package build runs it on the offscreen platform.
#include <cstdio>

#include <QApplication>
#include <QTemporaryDir>

#include "calculator/dialog.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.png\n", argv[0]);
        return 2;
    }
    // An empty settings store of its own: the picture shows the defaults, and
    // closing the dialog stores its entries there, not in the user's file.
    QTemporaryDir store;
    if (!store.isValid() || !qputenv("XDG_CONFIG_HOME", store.path().toLocal8Bit())) {
        std::fprintf(stderr, "cannot create a temporary settings directory\n");
        return 1;
    }
    bool saved = false;
    {
        capacimo::unit::Tdlg_Main dialog;
        dialog.show();
        QApplication::processEvents();
        saved = dialog.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    }
    if (!saved) std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return saved ? 0 : 1;
}
