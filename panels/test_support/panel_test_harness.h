// What every panel family's tests need: data blocks built by variable name,
// the simulator calls the logic made (through the recording fake), and a
// loopback socket standing in for the panel that collects the lines sent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/program_profile.h"
#include "platform/udp.h"

// A program's data block with fields set by variable name and units; the
// title is a short text, so every frame passes the title check.
class TestFrame {
public:
    explicit TestFrame(LayoutColumn layout);
    TestFrame& i32(const char* name, int32_t value, const char* units = "boolean");
    TestFrame& f64(const char* name, double value, const char* units);
    const uint8_t* data() const { return bytes_.data(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    LayoutColumn layout_;
    std::vector<uint8_t> bytes_;
};

// One client event as the logic transmitted it.
struct SentEvent {
    uint32_t id;
    uint32_t data;
    bool operator==(const SentEvent& o) const { return id == o.id && data == o.data; }
};

// Events transmitted since the last take (the fake's record is cleared).
std::vector<SentEvent> take_sent_events();
// The same, ids only.
std::vector<uint32_t> take_event_ids();
// Values written through SetDataOnSimObject since the last take of calls;
// each as the 32-bit value it carried.
std::vector<int32_t> take_state_writes();

// Encoder acceleration on, up to `limit` steps a detent, with the
// KEEP_FRAME_RATE it needs and the connection's first frame in hand.
void accelerate(int32_t limit);
// A knob turned: `detents` datagrams of the code, `gap_ms` apart from
// `start_ms` on, handed to the input step as the update cycle does.
void turn_knob(const char* code, const TestFrame& frame, int detents, uint64_t gap_ms, uint64_t start_ms);

// The program's UDP socket and a panel socket, both on loopback, wired into
// g_bridge as if the panel had been found.
class PanelLoopback {
public:
    // Binds both sockets to free ports; false (with a test failure) if not.
    bool open();
    void close();
    // Every line the program sent the panel since the last call, in order.
    std::vector<std::string> lines();
    // Sends one datagram from the panel to the program.
    void send_from_panel(const char* text);
    // A second sender on loopback: another port of the panel's host
    // (127.0.0.1), or with another host address (127.0.0.2) anything else on
    // the network that reaches the program's port. Closed by close() or the
    // next open_other().
    bool open_other(uint32_t host = 0x7F000001);
    void send_from_other(const char* text, size_t length);
    // Whether the program sees the second sender's datagrams come from the
    // address it was bound to (a probe the program's socket reads at once).
    bool other_sends_as_bound();
    std::vector<std::string> lines_at_other();
    // Runs one REQUEST_PANEL_DATA frame through the update cycle once the
    // datagrams sent from the panel are waiting.
    void run_frame(const TestFrame& frame);

    platform::UdpSocket program = platform::kInvalidSocket;
    platform::UdpSocket panel = platform::kInvalidSocket;
    platform::SocketAddressV4 program_address{};
    platform::SocketAddressV4 panel_address{};
    platform::UdpSocket other = platform::kInvalidSocket;
    platform::SocketAddressV4 other_address{};

private:
    int unread_ = 0;  // datagrams sent to the program since the last frame
};

// Checks a panel family's code test against the virtual panel's catalog of
// the front plates: every code the named panel sends, on each of its
// versions, is taken; datagrams no panel sends are not.
void expect_takes_every_panel_code(const char* panel, bool (*takes_code)(const char* text));
