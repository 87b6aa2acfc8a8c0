// The one process-wide state record of a program. Touched only by the
// program's main thread: the handler runs inside SimConnect_CallDispatch on
// that thread, so nothing here needs a lock.
#pragma once

#include <cstdint>

#include "core/encoder_acceleration.h"
#include "core/program_profile.h"
#include "platform/udp.h"
#include "platform/wake_event.h"
#include "simclient/sim_types.h"

constexpr int32_t kDefaultIdleMs = 50;
constexpr uint32_t kDefaultXpdrCode = 0x1200;
constexpr int kReceiveBufferSize = 256;
constexpr int kLineBufferSize = 24;
// Room for the largest frame data block of the nine programs (652 bytes).
constexpr int kKeptFrameSize = 1024;
// Display elements (the letter before ">") whose last line is remembered,
// and lines one display step may hold back; see shown_lines.h.
constexpr int kShownElements = 8;
constexpr int kHeldLines = 16;

// KEEP_FRAME_RATE: what the panel's display elements show, and the lines a
// display step run between frames holds back.
struct ShownLines {
    uint8_t count;
    char line[kShownElements][kLineBufferSize];  // the last line sent to each element
    uint8_t holding;  // send_line holds lines back instead of sending them
    uint8_t held_count;
    char held[kHeldLines][kLineBufferSize];
};

struct BridgeState {
    // Session (entry and loop).
    uint8_t sim_connected;
    int32_t quit_requested;
    int32_t pass_counter;
    int32_t spinner_step;
    uint32_t search_wait_ms;  // sleep still due before the next panel search
    HANDLE_SIM sim;
    // KEEP_FRAME_RATE: passes are periods of the idle time (see frame_wakeup.h).
    uint64_t period_end_ms;    // when the current period ends; 0: none begun
    uint32_t period_wakeups;   // early wake-ups in the current period
    uint8_t wakeup_attached;   // the client sets the wake event
    uint32_t period_input_wakeups;  // wake-ups for panel datagrams in the current period

    // Configuration values.
    int32_t idle_ms;
    int32_t period_visual_or_sim;
    int32_t keep_frame_rate;  // non-zero: frames at the frame rate while the panel is connected
    int32_t acceleration;     // most steps one detent may send; below 2 (and without KEEP_FRAME_RATE): off
    uint16_t vran_port;
    uint16_t recv_port;
    int32_t testmode;
    int32_t interface_index;
    int32_t adf_stby;
    int32_t fl_mode;
    uint32_t xpdr_code;
    uint8_t start_display;
    int32_t standby;
    int32_t stay_running;  // non-zero: wait for the next simulator session instead of ending

    // Panel link.
    uint8_t link_initialised;
    uint8_t interface_found;
    uint8_t panel_connected;
    int32_t encoder_version;
    platform::UdpSocket udp_socket;
    platform::SocketAddressV4 local_address;
    platform::SocketAddressV4 broadcast_address;
    platform::SocketAddressV4 panel_address;
    int32_t panel_address_len;
    char receive_buffer[kReceiveBufferSize];
    // When the datagram in the receive buffer was taken from the socket
    // (monotonic ms); with KEEP_FRAME_RATE that is as it arrives.
    uint64_t input_arrival_ms;

    // Update cycle.
    int32_t frame_counter;
    uint8_t identity_pending;  // "ID_Request"s unanswered since the last identity text or search
    uint8_t input_countdown;
    AccelerationRun acceleration_run;  // the knob's run of fast detents

    // KEEP_FRAME_RATE: input taken when it arrives (see input_on_arrival.h).
    uint8_t frame_kept;  // last_frame holds this connection's last frame
    alignas(8) uint8_t last_frame[kKeptFrameSize];
    platform::SocketWatch* input_watch;  // the loop's wait also ends for a datagram
    ShownLines shown;
};

extern BridgeState g_bridge;
extern const ProgramProfile* g_program;
extern PanelHooks g_panel_hooks;

// Puts the record into its start state for the given program and panel hooks.
void bridge_reset(const ProgramProfile* program, const PanelHooks* hooks);

// Puts the record back into its start state for the next simulator session
// (with STAY_RUNNING): session, configuration, link and cycle fields alike;
// only the search spinner keeps turning from where it stands. The socket and
// the client must have been closed. The panel hooks and the panel's own
// state records are not touched.
void bridge_reset_session();

// Reads a field of a frame's data block (the block need not be aligned).
int32_t block_i32(const uint8_t* block, uint32_t offset);
double block_f64(const uint8_t* block, uint32_t offset);

// Whole part of a value from the simulator, held within the 32-bit range; 0
// for no number. Its values are trusted for their meaning, never for their
// range, so every conversion of one to an integer goes through here.
int32_t whole_int32(double value);
