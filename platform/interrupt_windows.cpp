#include <windows.h>

#include "platform/interrupt.h"

namespace platform {

namespace {
volatile LONG g_interrupted = 0;

BOOL WINAPI on_console_event(DWORD type) {
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT || type == CTRL_CLOSE_EVENT) {
        InterlockedExchange(&g_interrupted, 1);
        // A closing console ends the process as soon as this returns: hold
        // it a while so the program can still say goodbye.
        if (type == CTRL_CLOSE_EVENT) Sleep(4000);
        return TRUE;
    }
    return FALSE;
}
}  // namespace

void install_interrupt_flag() { SetConsoleCtrlHandler(on_console_event, TRUE); }

bool interrupt_requested() { return InterlockedCompareExchange(&g_interrupted, 0, 0) != 0; }

}  // namespace platform
