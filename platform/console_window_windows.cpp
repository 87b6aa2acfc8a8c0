#include <windows.h>

#include "platform/console_window.h"

namespace platform {

bool console_window_minimize_own(const char* title) {
    HWND window = GetConsoleWindow();
    if (!window) return false;
    // Started from a shell, the console is the shell's too.
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) != 1) return false;
    SetConsoleTitleA(title);
    // Made before this process ran, the window may have taken the focus
    // already. Minimizing an active window hands the focus to the window
    // below it (the simulator), where SW_SHOWMINNOACTIVE would leave it
    // with the minimized console; a window without the focus is minimized
    // without taking it.
    ShowWindow(window, GetForegroundWindow() == window ? SW_MINIMIZE : SW_SHOWMINNOACTIVE);
    return true;
}

}  // namespace platform
