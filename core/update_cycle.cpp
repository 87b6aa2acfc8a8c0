#include "core/update_cycle.h"

#include <cstring>

#include "core/bridge_state.h"
#include "core/console.h"
#include "core/encoder_acceleration.h"
#include "core/find_panel.h"
#include "core/input_on_arrival.h"
#include "core/panel_messages.h"
#include "core/printable_text.h"
#include "core/run_by_launcher.h"
#include "core/session_setup.h"
#include "platform/env.h"

namespace {

constexpr uint32_t kTitleSize = 256;
// Bound on the offline drain: whatever a flooding panel sends, going offline
// ends.
constexpr int kMaxOfflineDrain = 1024;

int drain_input(const uint8_t* block) {
    int handed = 0;
    for (int taken = 0; taken < kMaxDatagramsPerFrame; ++taken) {
        int n = receive_panel_input();
        if (n == platform::kReceiveNothing) break;
        if (n == platform::kReceiveTooLong) continue;  // dropped: no room for its terminator
        g_bridge.input_arrival_ms = platform::monotonic_ms();
        if (g_bridge.testmode) console_print_received("%s\n", g_bridge.receive_buffer);
        if (identity_variant(g_bridge.receive_buffer) != 0) {
            g_bridge.identity_pending = 0;
            if (g_bridge.testmode) console_print("ID_Renew\n");
            continue;
        }
        hand_to_input_step(g_bridge.receive_buffer, block);
        ++handed;
    }
    return handed;
}

void go_offline() {
    if (g_bridge.testmode) console_print("ID_Error\n");
    request_data(REQUEST_PANEL_DATA, SIMCONNECT_PERIOD_NEVER);
    stop_input_on_arrival();
    for (int i = 0; i < kMaxOfflineDrain; ++i) {
        int n = receive_panel_datagram();
        if (g_bridge.testmode) console_print("clear buffer\n");
        if (n == platform::kReceiveNothing) break;
    }
    platform::udp_set_nonblocking(g_bridge.udp_socket, false);
    g_bridge.panel_connected = 0;
    console_print_state("%s", g_program->offline_message);
}

// By default a check comes every 10 to 25 s and one unanswered request
// takes the panel offline. With KEEP_FRAME_RATE checks come every 0.7 to
// 1.7 s, where one datagram lost on the network would do the same many
// times an hour: there it takes this many unanswered requests in a row,
// which still notices a dead panel within about 2 or 5 s.
constexpr uint8_t kUnansweredChecksAtFrameRate = 3;

uint8_t unanswered_checks_allowed() { return g_bridge.keep_frame_rate != 0 ? kUnansweredChecksAtFrameRate : 1; }

void check_identity() {
    if (g_bridge.frame_counter < g_program->identity_check_limit) {
        ++g_bridge.frame_counter;
        return;
    }
    if (g_bridge.identity_pending >= unanswered_checks_allowed()) {
        go_offline();
        return;
    }
    if (g_bridge.testmode) console_print("ID_Request\n");
    send_line_to(&g_bridge.panel_address, sizeof(platform::SocketAddressV4), "ID_Request");
    ++g_bridge.identity_pending;
    g_bridge.frame_counter = 0;
}

void run_update_cycle(const uint8_t* block, uint32_t size) {
    if (g_panel_hooks.prepare) g_panel_hooks.prepare(block);
    drain_input(block);
    if (g_panel_hooks.display) g_panel_hooks.display(block);
    if (g_panel_hooks.countdown) g_panel_hooks.countdown(block);
    check_identity();
    if (g_bridge.keep_frame_rate != 0) keep_frame_for_input(block, size);
}

}  // namespace

int drain_panel_input(const uint8_t* block) { return drain_input(block); }

void hand_to_input_step(const char* text, const uint8_t* block) {
    acceleration_datagram_begins();
    if (g_panel_hooks.input) g_panel_hooks.input(text, block);
    acceleration_datagram_ends();
}

void on_sim_message(SIMCONNECT_RECV* message, uint32_t size, void*) {
    if (!message || size < SIM_RECV_HEADER_SIZE) return;
    if (message->dwID == SIMCONNECT_RECV_ID_QUIT) {
        g_bridge.quit_requested = 1;
        return;
    }
    if (message->dwID != SIMCONNECT_RECV_ID_SIMOBJECT_DATA) return;

    // Nothing is read past the message: a frame too short for the program's
    // block is ignored.
    uint32_t block_size = layout_block_size(g_program->layout);
    if (size < SIM_SIMOBJECT_DATA_OFFSET + block_size) return;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(message);
    const uint8_t* block = bytes + SIM_SIMOBJECT_DATA_OFFSET;
    uint32_t request_id;
    std::memcpy(&request_id, bytes + 12, sizeof request_id);

    if (request_id != REQUEST_INITIAL && request_id != REQUEST_PANEL_DATA) return;
    // A title that does not end within its field marks a frame not to act
    // on, the initial one included.
    if (!std::memchr(block, 0, kTitleSize)) return;
    if (request_id == REQUEST_INITIAL) {
        if (g_panel_hooks.initial_frame) g_panel_hooks.initial_frame(block);
        return;
    }
    if (!g_bridge.panel_connected) return;
    run_update_cycle(block, block_size);
}
