// The program's start-up and shut-down sequence.
#pragma once

#include <cstdint>
#include <functional>

#include <QString>

#include "launcher_dialog.h"

class QApplication;

namespace capacimo::host {

class Tdlg_Intro;

// The program-global splash form, while it exists.
extern Tdlg_Intro* dlg_Intro;

// The system's millisecond tick counter (wraps after about 49.7 days).
std::uint32_t SystemTickCount();

struct StartupEnvironment {
    std::function<std::uint32_t()> tickCount = SystemTickCount;
    // Called between looks at the tick counter while the splash waits, after
    // pending events were processed; by default yields the processor briefly.
    std::function<void()> idle;
    // Handed to the launcher dialog.
    Tdlg_Main::Services launcher;
    // Shows a failure that ends the start-up; default: the error box.
    std::function<void(const std::string&)> errorBox;
};

// Runs the program: splash, launcher dialog, message loop, shut-down.
// Returns the exit code, which is 0 in every case.
int RunCapacimo(QApplication& app, StartupEnvironment environment = {});

// Moves a top-level widget to the centre of its screen.
void CenterOnScreen(QWidget* widget);

}  // namespace capacimo::host
