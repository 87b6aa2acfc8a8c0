#include <winsock2.h>
#include <windows.h>

#include <new>

#include "platform/wake_event.h"

namespace platform {

// The socket's own event object, set by Winsock when a datagram arrives.
struct SocketWatch {
    SOCKET socket;
    WSAEVENT event;
};

// The event object's handle is the WakeEvent pointer, so the simulator
// client's SetEvent reaches it unchanged.
static HANDLE handle_of(WakeEvent* event) { return reinterpret_cast<HANDLE>(event); }

WakeEvent* wake_event_create() {
    // Auto-reset: one wait takes one setting, however many messages set it.
    return reinterpret_cast<WakeEvent*>(CreateEventA(nullptr, FALSE, FALSE, nullptr));
}

void wake_event_free(WakeEvent* event) {
    if (event) CloseHandle(handle_of(event));
}

void wake_event_set(WakeEvent* event) { SetEvent(handle_of(event)); }

bool wake_event_wait(WakeEvent* event, uint32_t timeout_ms) {
    return WaitForSingleObject(handle_of(event), timeout_ms) == WAIT_OBJECT_0;
}

SocketWatch* socket_watch_create(UdpSocket socket) {
    if (socket == kInvalidSocket) return nullptr;
    SocketWatch* watch = new (std::nothrow) SocketWatch{static_cast<SOCKET>(socket), WSACreateEvent()};
    if (!watch) return nullptr;
    // A datagram already waiting sets the event at once.
    if (watch->event == WSA_INVALID_EVENT || WSAEventSelect(watch->socket, watch->event, FD_READ) != 0) {
        socket_watch_free(watch);
        return nullptr;
    }
    return watch;
}

void socket_watch_free(SocketWatch* watch) {
    if (!watch) return;
    if (watch->event != WSA_INVALID_EVENT) {
        // Without the selection ioctlsocket may make the socket blocking again.
        WSAEventSelect(watch->socket, nullptr, 0);
        WSACloseEvent(watch->event);
    }
    delete watch;
}

WakeCause wake_event_wait_or_datagram(WakeEvent* event, SocketWatch* watch, uint32_t timeout_ms) {
    HANDLE handles[2] = {handle_of(event), watch ? watch->event : nullptr};
    // The lowest signalled handle is reported, so a set event comes first.
    DWORD r = WaitForMultipleObjects(watch ? 2 : 1, handles, FALSE, timeout_ms);
    if (r == WAIT_OBJECT_0) return WAKE_EVENT;
    if (watch && r == WAIT_OBJECT_0 + 1) {
        // Clears the manual-reset event; the next receive records a datagram
        // that is still waiting, and a new one sets it again.
        WSANETWORKEVENTS seen;
        WSAEnumNetworkEvents(watch->socket, watch->event, &seen);
        return WAKE_DATAGRAM;
    }
    return WAKE_TIMEOUT;
}

}  // namespace platform
