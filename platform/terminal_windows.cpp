#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/terminal.h"

#ifndef ENABLE_QUICK_EDIT_MODE
#define ENABLE_QUICK_EDIT_MODE 0x0040
#endif

namespace platform {

namespace {

HANDLE g_in = INVALID_HANDLE_VALUE;
DWORD g_saved_in = 0;
bool g_raw = false;
volatile LONG g_stop = 0;

BOOL WINAPI on_console_event(DWORD type) {
    // Ctrl+C with processed input off arrives as a key; the others (break,
    // close, logoff) end the tool through the stop flag.
    if (type == CTRL_C_EVENT) return TRUE;
    InterlockedExchange(&g_stop, 1);
    return TRUE;
}

void restore_at_exit() { terminal_restore(); }

}  // namespace

bool terminal_is_interactive() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) &&
           GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode);
}

bool terminal_enter_raw() {
    if (g_raw) return true;
    g_in = GetStdHandle(STD_INPUT_HANDLE);
    if (!GetConsoleMode(g_in, &g_saved_in)) return false;
    // QuickEdit off: a selection made by a click holds every write to the
    // console, and with it the whole tool, until it ends. (A console that
    // does not report the extended flags keeps it as it is: the restore
    // could not bring it back.)
    DWORD in_mode =
        g_saved_in & ~(ENABLE_ECHO_INPUT | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT | ENABLE_QUICK_EDIT_MODE);
    if (!SetConsoleMode(g_in, in_mode)) return false;
    g_raw = true;
    std::atexit(restore_at_exit);
    SetConsoleCtrlHandler(on_console_event, TRUE);
    return true;
}

void terminal_restore() {
    if (!g_raw) return;
    SetConsoleMode(g_in, g_saved_in);
    g_raw = false;
}

int terminal_read_key(int timeout_ms) {
    if (g_in == INVALID_HANDLE_VALUE) g_in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        DWORD left = elapsed >= static_cast<DWORD>(timeout_ms) ? 0 : static_cast<DWORD>(timeout_ms) - elapsed;
        DWORD waited = WaitForSingleObject(g_in, left);
        if (waited == WAIT_TIMEOUT) return kKeyNone;
        INPUT_RECORD rec;
        DWORD n = 0;
        if (waited != WAIT_OBJECT_0 || !ReadConsoleInputA(g_in, &rec, 1, &n) || n == 0) {
            Sleep(left);  // no console to read any more: no more keys, and no spinning
            return kKeyNone;
        }
        if (rec.EventType != KEY_EVENT || !rec.Event.KeyEvent.bKeyDown) {
            if (left == 0) return kKeyNone;
            continue;
        }
        switch (rec.Event.KeyEvent.wVirtualKeyCode) {
            case VK_LEFT: return kKeyLeft;
            case VK_RIGHT: return kKeyRight;
            case VK_UP: return kKeyUp;
            case VK_DOWN: return kKeyDown;
            default: break;
        }
        unsigned char c = static_cast<unsigned char>(rec.Event.KeyEvent.uChar.AsciiChar);
        if (c != 0) return c;
        if (left == 0) return kKeyNone;
    }
}

void terminal_home() {
    std::fflush(stdout);
    COORD origin = {0, 0};
    SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE), origin);
}

void terminal_clear() {
    std::fflush(stdout);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    COORD origin = {0, 0};
    if (GetConsoleScreenBufferInfo(out, &info)) {
        DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
        DWORD written = 0;
        FillConsoleOutputCharacterA(out, ' ', cells, origin, &written);
        FillConsoleOutputAttribute(out, info.wAttributes, cells, origin, &written);
    }
    SetConsoleCursorPosition(out, origin);
}

// Escape sequences are not interpreted by every console (older Windows,
// Wine), so the power light goes without color here.
bool terminal_has_color() { return false; }

bool terminal_stop_requested() { return g_stop != 0; }

}  // namespace platform
