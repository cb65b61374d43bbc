#include "startup.h"

#include <chrono>
#include <thread>

#include <QApplication>
#include <QScreen>

#include "capacimo_version.h"
#include "common/ui/error_box.h"
#include "common/ui/program_icon.h"
#include "splash.h"

namespace capacimo::host {

Tdlg_Intro* dlg_Intro = nullptr;

std::uint32_t SystemTickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void CenterOnScreen(QWidget* widget) {
    QScreen* screen = widget->screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    widget->move(area.center() - QPoint(widget->width() / 2, widget->height() / 2));
}

int RunCapacimo(QApplication& app, StartupEnvironment environment) {
    if (!environment.idle) environment.idle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); };
    if (!environment.errorBox) {
        environment.errorBox = [](const std::string& message) {
            showErrorBox(nullptr, QString::fromStdString(message));
        };
    }

    try {
        // 1. The application title is the title of every error box; window
        //    titles stay as the forms set them.
        QCoreApplication::setApplicationName(QStringLiteral("Capacimo"));
        QApplication::setWindowIcon(programIcon());
        // The desktop entry the program's windows belong to (docks and task bars match them).
        QGuiApplication::setDesktopFileName(QStringLiteral(CAPACIMO_APP_ID));
        app.setQuitOnLastWindowClosed(false);

        // 2.-4. The splash, painted before the units are looked for.
        dlg_Intro = new Tdlg_Intro(nullptr);
        const std::uint32_t start = environment.tickCount();
        CenterOnScreen(dlg_Intro);
        dlg_Intro->show();
        QCoreApplication::processEvents();

        // 5. The launcher dialog; creating it finds and loads the units.
        dlg_Main = new Tdlg_Main(environment.launcher);
        QObject::connect(dlg_Main, &QDialog::finished, &app, &QCoreApplication::quit);

        // 6. The splash stays at least kSplashMinimumMs in all.
        WaitForMinimumTime(start, kSplashMinimumMs, environment.tickCount, [&] {
            QCoreApplication::processEvents();
            environment.idle();
        });

        // 7.
        dlg_Intro->hide();
        delete dlg_Intro;
        dlg_Intro = nullptr;

        // 8. Until the launcher is closed by "Close" or its close box.
        CenterOnScreen(dlg_Main);
        dlg_Main->show();
        app.exec();
    } catch (...) {
        environment.errorBox(currentExceptionMessage().toStdString());
    }
    // Destroying the launcher unloads the units and remembers the selection.
    delete dlg_Intro;
    dlg_Intro = nullptr;
    delete dlg_Main;
    dlg_Main = nullptr;
    return 0;
}

}  // namespace capacimo::host
