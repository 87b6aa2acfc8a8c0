// A wake-up for the session loop: the simulator client sets it when a
// message arrives (through notify_event), and the loop waits on it between
// passes instead of sleeping. The pointer itself is the event handle the
// client takes. Windows: an auto-reset event object; POSIX: a flag with a
// condition of our own.
#pragma once

#include <cstdint>

namespace platform {

struct WakeEvent;

// Null when the system has no event to give.
WakeEvent* wake_event_create();
void wake_event_free(WakeEvent* event);

// Sets the event; a waiter returns, or the next wait returns at once.
void wake_event_set(WakeEvent* event);

// Waits until the event is set or timeout_ms have passed. True when it was
// set; it is clear again afterwards either way.
bool wake_event_wait(WakeEvent* event, uint32_t timeout_ms);

}  // namespace platform
