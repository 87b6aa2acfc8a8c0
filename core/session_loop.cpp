#include "core/session_loop.h"

#include "core/bridge_state.h"
#include "core/console.h"
#include "core/console_texts.h"
#include "core/find_panel.h"
#include "core/frame_wakeup.h"
#include "core/input_on_arrival.h"
#include "core/run_by_launcher.h"
#include "core/session_restart.h"
#include "core/session_setup.h"
#include "core/update_cycle.h"
#include "platform/env.h"
#include "simclient/sim_connect.h"

namespace {

SleepFunction g_sleep = platform::sleep_ms;

// IDLE_MS=0 must not make the loop spin: every pass sleeps at least this.
constexpr uint32_t kMinPassSleepMs = 1;
// However short the idle time, a panel search (the "ID" broadcast and a data
// request) runs at most ten times a second. The time is counted in what the
// passes sleep, never less than what passes on the clock.
constexpr uint32_t kSearchIntervalMs = 100;

uint32_t pass_sleep_ms() {
    uint32_t idle = static_cast<uint32_t>(g_bridge.idle_ms);
    return idle > kMinPassSleepMs ? idle : kMinPassSleepMs;
}

void count_search_wait(uint32_t slept_ms) {
    g_bridge.search_wait_ms = slept_ms < g_bridge.search_wait_ms ? g_bridge.search_wait_ms - slept_ms : 0;
}

// By default every pass counts; with KEEP_FRAME_RATE only a pass that
// begins a new period of the idle time does, and its period is what the
// search wait counts.
bool pass_counts() {
    if (g_bridge.keep_frame_rate == 0) return true;
    uint32_t period = pass_sleep_ms();
    if (!frame_period_ended(period)) return false;
    count_search_wait(period);
    return true;
}

void rest_between_passes() {
    if (g_bridge.keep_frame_rate != 0) {
        // Woken by the quit message, the program ends without waiting on.
        if (g_bridge.quit_requested == 0 && wait_for_frame(pass_sleep_ms()) == platform::WAKE_DATAGRAM) {
            take_input_on_arrival();
        }
        return;
    }
    uint32_t slept = pass_sleep_ms();
    session_sleep(slept);
    count_search_wait(slept);
}

void tenth_pass_step() {
    if (g_bridge.panel_connected) {
        // KEEP_FRAME_RATE leaves the frame-rate request of the search in
        // force; by default one frame is asked for, which replaces it.
        if (g_bridge.keep_frame_rate == 0) request_data(REQUEST_PANEL_DATA, SIMCONNECT_PERIOD_ONCE);
        return;
    }
    if (g_bridge.search_wait_ms > 0) return;
    g_bridge.search_wait_ms = kSearchIntervalMs;
    find_panel();
    if (g_bridge.panel_connected) {
        request_data(REQUEST_INITIAL, SIMCONNECT_PERIOD_ONCE);
        request_data(REQUEST_PANEL_DATA, g_bridge.period_visual_or_sim == 0 ? SIMCONNECT_PERIOD_VISUAL_FRAME
                                                                             : SIMCONNECT_PERIOD_SIM_FRAME);
    } else {
        request_data(REQUEST_PANEL_DATA, SIMCONNECT_PERIOD_NEVER);
    }
}

}  // namespace

const char* spinner_glyph(int32_t step) { return kSpinnerGlyphs[step & (kSpinnerPositions - 1)]; }

void advance_spinner() {
    ++g_bridge.spinner_step;
    if (g_bridge.spinner_step >= 8) g_bridge.spinner_step = 0;
    console_print("%s", spinner_glyph(g_bridge.spinner_step));
}

void set_sleep_function(SleepFunction sleep) { g_sleep = sleep ? sleep : platform::sleep_ms; }

void session_sleep(uint32_t milliseconds) { g_sleep(milliseconds); }

void run_session() {
    if (SimConnect_Open(&g_bridge.sim, "Request Data", nullptr, 0, nullptr, 0) < 0) return;
    console_print_state("%s", g_program->connection_line);
    g_bridge.sim_connected = 1;
    register_with_simulator(g_program);

    while (g_bridge.quit_requested == 0 && !stop_requested()) {
        if (pass_counts() && ++g_bridge.pass_counter > 9) {
            g_bridge.pass_counter = 0;
            tenth_pass_step();
        }
        HRESULT_T result = SimConnect_CallDispatch(g_bridge.sim, on_sim_message, nullptr);
        if (result < 0 && g_bridge.quit_requested == 0) {
            // The simulator went away without its quit message: end the
            // session as if it had sent one, rather than run on with stale
            // lines on the panel.
            console_print_state("%s", kSimulatorLostText);
            g_bridge.quit_requested = 1;
            break;
        }
        rest_between_passes();
    }

    stop_input_on_arrival();
    platform::udp_close(g_bridge.udp_socket);
    g_bridge.udp_socket = platform::kInvalidSocket;
    SimConnect_Close(g_bridge.sim);
}
