#include "launcher/with_simulator.h"

#include "launcher/launcher_report.h"
#include "launcher/launcher_state.h"
#include "launcher/program_status.h"

SessionWatchStep watch_session(SessionWatch* watch, bool session_over, uint64_t now_ms) {
    if (!session_over) {
        bool was_over = watch->over;
        watch->over = false;
        return was_over ? WATCH_SESSION_BACK : WATCH_NOTHING_NEW;
    }
    if (!watch->over) {
        watch->over = true;
        watch->over_since_ms = now_ms;
        return WATCH_SESSION_OVER;
    }
    return now_ms - watch->over_since_ms >= kSessionGoneGraceMs ? WATCH_END : WATCH_NOTHING_NEW;
}

bool simulator_gone_for_good(uint64_t now_ms) {
    bool over = simulator_session_over(g_launcher.status, PROGRAM_COUNT);
    switch (watch_session(&g_launcher.session_watch, over, now_ms)) {
        case WATCH_NOTHING_NEW: return false;
        case WATCH_SESSION_OVER:
            report("the simulator session is over: ending in %u s unless a program connects again",
                   static_cast<unsigned>(kSessionGoneGraceMs / 1000));
            return false;
        case WATCH_SESSION_BACK:
            report("a program has the simulator again: carrying on");
            return false;
        case WATCH_END: break;
    }
    report("no program connected again: ending with the simulator");
    return true;
}
