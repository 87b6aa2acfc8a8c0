#include "launcher/simulator_watch.h"

#include "launcher/launcher_report.h"
#include "simclient/sim_connect.h"

namespace {

constexpr unsigned kGraceSeconds = static_cast<unsigned>(kSimulatorGoneGraceMs / 1000);

void on_message(SIMCONNECT_RECV* message, uint32_t, void* context) {
    auto* watch = static_cast<SimulatorWatch*>(context);
    if (message->dwID == SIMCONNECT_RECV_ID_OPEN) watch->answered = true;
    if (message->dwID == SIMCONNECT_RECV_ID_QUIT) watch->quit = true;
}

void take_opened_session(SimulatorWatch* watch, uint64_t now_ms) {
    HANDLE_SIM session;
    if (!watch->opening || !opener_take(watch->opener, &session)) return;
    watch->opening = false;
    watch->session = session;
    watch->answered = false;
    watch->quit = false;
    if (!session) watch->next_open_ms = now_ms + kOpenRetryMs;
}

// Only from the loop: the client queues what arrives on its own threads, and
// the messages are looked at here.
void look_at_session(SimulatorWatch* watch, uint64_t now_ms) {
    HRESULT_T result = SimConnect_CallDispatch(watch->session, on_message, watch);
    // The answer first: it may come in one batch with the quit message.
    if (watch->answered && watch->phase != WATCH_SESSION) watch_session_answered(watch);
    if (!watch->quit && result >= 0) return;
    SimConnect_Close(watch->session);
    watch->session = nullptr;
    watch->next_open_ms = now_ms + kOpenRetryMs;
    watch_session_ended(watch, watch->quit, now_ms);
}

}  // namespace

void watch_session_answered(SimulatorWatch* watch) {
    if (watch->phase == WATCH_GONE) {
        report("the simulator has a session again: carrying on");
    } else {
        report("the simulator session is open: the launcher ends with it");
    }
    watch->phase = WATCH_SESSION;
}

void watch_session_ended(SimulatorWatch* watch, bool quit, uint64_t now_ms) {
    // A session the simulator never answered was no session: it changes
    // nothing, and during the grace time it does not start it afresh.
    if (watch->phase != WATCH_SESSION) return;
    watch->phase = WATCH_GONE;
    watch->gone_since_ms = now_ms;
    report("%s: ending in %u s unless a new session opens",
           quit ? "the simulator quit" : "the connection to the simulator was lost", kGraceSeconds);
}

bool watch_time_is_up(const SimulatorWatch* watch, uint64_t now_ms) {
    if (watch->phase != WATCH_GONE || now_ms - watch->gone_since_ms < kSimulatorGoneGraceMs) return false;
    report("no new simulator session within %u s: ending with the simulator", kGraceSeconds);
    return true;
}

bool simulator_watch_step(SimulatorWatch* watch, uint64_t now_ms) {
    take_opened_session(watch, now_ms);
    if (watch->session) look_at_session(watch, now_ms);
    if (!watch->session && !watch->opening && now_ms >= watch->next_open_ms) {
        if (!watch->opener) watch->opener = opener_create(kLauncherName);
        watch->opening = watch->opener != nullptr;
        if (watch->opening) {
            opener_begin(watch->opener);
        } else {
            watch->next_open_ms = now_ms + kOpenRetryMs;
        }
    }
    return watch_time_is_up(watch, now_ms);
}

void simulator_watch_starting(SimulatorWatch* watch) {
    if (watch->phase != WATCH_GONE) return;
    watch->phase = WATCH_WAITING;
    report("a simulator is starting (it started another Relay-Launcher): waiting for its session");
}

void simulator_watch_end(SimulatorWatch* watch) {
    if (watch->opening) opener_wait(watch->opener, &watch->session);
    watch->opening = false;
    // Before the opener's thread ends: it started the session's first read.
    if (watch->session) SimConnect_Close(watch->session);
    watch->session = nullptr;
    if (watch->opener) opener_destroy(watch->opener);
    watch->opener = nullptr;
}
