#include <windows.h>

#include "platform/wake_event.h"

namespace platform {

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

}  // namespace platform
