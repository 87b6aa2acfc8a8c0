#include "core/frame_wakeup.h"

#include "core/bridge_state.h"
#include "core/session_loop.h"
#include "platform/env.h"
#include "platform/wake_event.h"
#include "simclient/sim_connect.h"

namespace {

// One event for the whole run: the client of an ended session may still set
// it from a late completion, so it is never freed.
platform::WakeEvent* g_wake = nullptr;
bool g_wake_made = false;

// The event, given to this session's client at the first wait.
platform::WakeEvent* session_wake_event() {
    if (!g_wake_made) {
        g_wake_made = true;
        g_wake = platform::wake_event_create();
    }
    if (g_wake && !g_bridge.wakeup_attached) {
        g_bridge.wakeup_attached = 1;
        // What an earlier session's client set is no news; cleared before
        // this client may set it.
        platform::wake_event_wait(g_wake, 0);
        client_set_wake_event(g_bridge.sim, g_wake);
    }
    return g_wake;
}

void begin_period(uint64_t now, uint32_t period_ms) {
    g_bridge.period_end_ms = now + period_ms;
    g_bridge.period_wakeups = 0;
}

}  // namespace

bool frame_period_ended(uint32_t period_ms) {
    uint64_t now = platform::monotonic_ms();
    if (g_bridge.period_end_ms != 0 && now < g_bridge.period_end_ms) return false;
    begin_period(now, period_ms);
    return true;
}

void wait_for_frame(uint32_t period_ms) {
    uint64_t now = platform::monotonic_ms();
    if (g_bridge.period_end_ms == 0) begin_period(now, period_ms);  // the key was read in this pass
    if (now >= g_bridge.period_end_ms) return;
    uint32_t left = static_cast<uint32_t>(g_bridge.period_end_ms - now);
    platform::WakeEvent* wake = session_wake_event();
    if (!wake || g_bridge.period_wakeups >= period_ms) {
        session_sleep(left);
        return;
    }
    if (platform::wake_event_wait(wake, left)) ++g_bridge.period_wakeups;
}
