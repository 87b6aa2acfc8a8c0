#include <windows.h>

#include "platform/end_request.h"

namespace platform {

namespace {
// Local\: the user's own session; another user's launcher is not reached.
const wchar_t kEventName[] = L"Local\\AvionicsRelay-Relay-Launcher-End";
HANDLE g_event = nullptr;
}  // namespace

bool end_request_listen() {
    // Manual reset: once asked, every later poll sees it too.
    g_event = CreateEventW(nullptr, TRUE, FALSE, kEventName);
    // An asker of a launcher that has just ended may still hold the event,
    // set: that request was not for this launcher.
    if (g_event && GetLastError() == ERROR_ALREADY_EXISTS) ResetEvent(g_event);
    return g_event != nullptr;
}

bool end_request_received() { return g_event && WaitForSingleObject(g_event, 0) == WAIT_OBJECT_0; }

bool end_request_listened() {
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, kEventName);
    if (event) CloseHandle(event);
    return event != nullptr;
}

bool end_request_send() {
    HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, kEventName);
    if (!event) return false;
    bool sent = SetEvent(event) != 0;
    CloseHandle(event);
    return sent;
}

}  // namespace platform
