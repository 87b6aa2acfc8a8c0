#include "core/frame_wakeup.h"

#include "core/bridge_state.h"
#include "core/input_on_arrival.h"
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

}  // namespace

bool frame_period_ended(uint32_t period_ms) {
    uint64_t now = platform::monotonic_ms();
    if (g_bridge.period_end_ms != 0 && now < g_bridge.period_end_ms) return false;
    // Each period follows on from the last, so wake-ups neither stretch nor
    // shorten the rhythm; after a stall it starts afresh instead of catching up.
    g_bridge.period_end_ms += period_ms;
    if (g_bridge.period_end_ms <= now) g_bridge.period_end_ms = now + period_ms;
    g_bridge.period_wakeups = 0;
    g_bridge.period_input_wakeups = 0;
    return true;
}

platform::WakeCause wait_for_frame(uint32_t period_ms) {
    uint64_t now = platform::monotonic_ms();
    if (g_bridge.period_end_ms == 0) {  // the key was read in this pass
        g_bridge.period_end_ms = now + period_ms;
        g_bridge.period_wakeups = 0;
        g_bridge.period_input_wakeups = 0;
    }
    platform::WakeEvent* wake = session_wake_event();
    if (!wake) {
        session_sleep(period_ms);
        return platform::WAKE_TIMEOUT;
    }
    if (g_bridge.period_wakeups >= period_ms) {
        // A flood: the rest of the period without wake-ups.
        if (now < g_bridge.period_end_ms) session_sleep(static_cast<uint32_t>(g_bridge.period_end_ms - now));
        return platform::WAKE_TIMEOUT;
    }
    // A panel that floods has its own budget: once spent, its datagrams wait
    // for the frames, which still wake the loop.
    platform::SocketWatch* watch = g_bridge.period_input_wakeups < period_ms ? input_watch() : nullptr;
    platform::WakeCause cause = platform::wake_event_wait_or_datagram(wake, watch, period_ms);
    if (cause == platform::WAKE_EVENT) ++g_bridge.period_wakeups;
    if (cause == platform::WAKE_DATAGRAM) ++g_bridge.period_input_wakeups;
    return cause;
}
