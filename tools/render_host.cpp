// capacimo-render-host OUTDIR [SUFFIX]: draws the splash and the launcher
// dialog into OUTDIR/splashSUFFIX.png and OUTDIR/launcherSUFFIX.png (and
// three times enlarged @3x copies) without showing them. The screen
// resolution comes from the environment (QT_FONT_DPI).
// Units are looked for next to this tool, as the program looks next to itself.
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QPixmap>

namespace {

// Saves the picture and a three times enlarged copy (NAME@3x.png) for a
// closer look.
bool SavePicture(const QPixmap& picture, const QDir& out, const QString& name) {
    const bool plain = picture.save(out.filePath(name + QStringLiteral(".png")));
    const QPixmap large = picture.scaled(picture.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return large.save(out.filePath(name + QStringLiteral("@3x.png"))) && plain;
}

}  // namespace

#include "launcher_dialog.h"
#include "splash.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUTDIR [SUFFIX]\n", argv[0]);
        return 2;
    }
    const QString suffix = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    bool ok = true;
    {
        capacimo::host::Tdlg_Intro splash;
        splash.ensurePolished();
        ok = SavePicture(splash.grab(), out, QStringLiteral("splash") + suffix) && ok;
    }
    {
        capacimo::host::Tdlg_Main::Services services;
        services.messageBox = [](const QString& text, const QString& caption) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        };
        capacimo::host::Tdlg_Main launcher(services);
        launcher.ensurePolished();
        ok = SavePicture(launcher.grab(), out, QStringLiteral("launcher") + suffix) && ok;
    }
    if (!ok) std::fprintf(stderr, "writing the pictures failed\n");
    return ok ? 0 : 1;
}
