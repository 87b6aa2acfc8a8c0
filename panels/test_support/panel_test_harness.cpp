#include "panels/test_support/panel_test_harness.h"

#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/session_setup.h"
#include "core/tests/fake_simconnect.h"
#include "core/update_cycle.h"
#include "tools/virtual_panel/panel_catalog.h"

namespace {

constexpr uint32_t kLoopback = 0x7F000001;
const char kEndMark[] = "#end";

platform::SocketAddressV4 loopback_address(uint16_t port, uint32_t host = kLoopback) {
    platform::SocketAddressV4 a{};
    a.family = platform::kFamilyInet;
    a.port = platform::host_to_net16(port);
    a.address = platform::host_to_net32(host);
    return a;
}

// Binds to a free loopback port; the address it got, or port 0 on failure.
platform::SocketAddressV4 bind_loopback(platform::UdpSocket s, uint32_t host = kLoopback) {
    std::random_device rd;
    uint16_t first = static_cast<uint16_t>(20000 + rd() % 30000);
    for (int i = 0; i < 500; ++i) {
        platform::SocketAddressV4 a = loopback_address(static_cast<uint16_t>(first + i), host);
        if (platform::udp_bind(s, &a) == 0) return a;
    }
    return loopback_address(0);
}

// Every datagram the peer got since the last call, in order: the program
// sends an end mark the same way, which arrives after them.
std::vector<std::string> lines_at(platform::UdpSocket program, platform::UdpSocket peer,
                                  const platform::SocketAddressV4& peer_address) {
    platform::udp_send_to(program, kEndMark, sizeof kEndMark - 1, &peer_address, sizeof peer_address);
    std::vector<std::string> out;
    for (int i = 0; i < 10000; ++i) {
        if (!platform::udp_wait_readable(peer, 10000)) {
            ADD_FAILURE() << "panel socket got no end mark";
            break;
        }
        char buf[256];
        platform::SocketAddressV4 from{};
        int32_t from_len = sizeof from;
        int n = platform::udp_receive_from(peer, buf, sizeof buf, &from, &from_len);
        if (n < 0) continue;
        std::string text(buf, static_cast<size_t>(n));
        if (text == kEndMark) break;
        out.push_back(text);
    }
    return out;
}

}  // namespace

TestFrame::TestFrame(LayoutColumn layout) : layout_(layout), bytes_(layout_block_size(layout), 0) {
    std::memcpy(bytes_.data(), "Cessna 152", 11);
}

TestFrame& TestFrame::i32(const char* name, int32_t value, const char* units) {
    int32_t at = layout_offset(layout_, name, units);
    EXPECT_GE(at, 0) << name << " (" << units << ")";
    if (at >= 0) std::memcpy(bytes_.data() + at, &value, sizeof value);
    return *this;
}

TestFrame& TestFrame::f64(const char* name, double value, const char* units) {
    int32_t at = layout_offset(layout_, name, units);
    EXPECT_GE(at, 0) << name << " (" << units << ")";
    if (at >= 0) std::memcpy(bytes_.data() + at, &value, sizeof value);
    return *this;
}

std::vector<SentEvent> take_sent_events() {
    std::vector<SentEvent> out;
    for (const FakeCall& c : fake_sim::calls_named("TransmitClientEvent")) out.push_back({c.args[1], c.args[2]});
    fake_sim::calls().clear();
    return out;
}

std::vector<uint32_t> take_event_ids() {
    std::vector<uint32_t> ids;
    for (const SentEvent& e : take_sent_events()) ids.push_back(e.id);
    return ids;
}

std::vector<int32_t> take_state_writes() {
    std::vector<int32_t> out;
    for (const FakeCall& c : fake_sim::calls_named("SetDataOnSimObject")) {
        int32_t v = 0;
        if (c.data.size() == sizeof v) std::memcpy(&v, c.data.data(), sizeof v);
        out.push_back(v);
    }
    fake_sim::calls().clear();
    return out;
}

void accelerate(int32_t limit) {
    g_bridge.keep_frame_rate = 1;
    g_bridge.acceleration = limit;
    g_bridge.frame_kept = 1;
}

void turn_knob(const char* code, const TestFrame& frame, int detents, uint64_t gap_ms, uint64_t start_ms) {
    for (int i = 0; i < detents; ++i) {
        g_bridge.input_arrival_ms = start_ms + static_cast<uint64_t>(i) * gap_ms;
        hand_to_input_step(code, frame.data());
    }
}

bool PanelLoopback::open() {
    EXPECT_EQ(platform::net_startup(), 0);
    program = platform::udp_open();
    panel = platform::udp_open();
    EXPECT_NE(program, platform::kInvalidSocket);
    EXPECT_NE(panel, platform::kInvalidSocket);
    if (program == platform::kInvalidSocket || panel == platform::kInvalidSocket) return false;
    program_address = bind_loopback(program);
    panel_address = bind_loopback(panel);
    EXPECT_NE(program_address.port, 0);
    EXPECT_NE(panel_address.port, 0);
    if (program_address.port == 0 || panel_address.port == 0) return false;
    platform::udp_set_nonblocking(program, true);
    g_bridge.udp_socket = program;
    g_bridge.panel_address = panel_address;
    g_bridge.panel_address_len = sizeof(platform::SocketAddressV4);
    return true;
}

void PanelLoopback::close() {
    platform::udp_close(program);
    platform::udp_close(panel);
    platform::udp_close(other);
    program = panel = other = platform::kInvalidSocket;
}

bool PanelLoopback::open_other(uint32_t host) {
    platform::udp_close(other);
    other = platform::udp_open();
    EXPECT_NE(other, platform::kInvalidSocket);
    if (other == platform::kInvalidSocket) return false;
    other_address = bind_loopback(other, host);
    EXPECT_NE(other_address.port, 0);
    return other_address.port != 0;
}

void PanelLoopback::send_from_other(const char* text, size_t length) {
    platform::udp_send_to(other, text, length, &program_address, sizeof program_address);
    ++unread_;
}

bool PanelLoopback::other_sends_as_bound() {
    platform::udp_send_to(other, "?", 1, &program_address, sizeof program_address);
    platform::udp_wait_readable(program, 5000);
    char buf[8];
    platform::SocketAddressV4 from{};
    int32_t from_len = sizeof from;
    int n = platform::udp_receive_from(program, buf, sizeof buf, &from, &from_len);
    return n == 1 && from.address == other_address.address;
}

std::vector<std::string> PanelLoopback::lines_at_other() { return lines_at(program, other, other_address); }

std::vector<std::string> PanelLoopback::lines() { return lines_at(program, panel, panel_address); }

void PanelLoopback::send_from_panel(const char* text) {
    platform::udp_send_to(panel, text, std::strlen(text), &program_address, sizeof program_address);
    ++unread_;
}

void PanelLoopback::run_frame(const TestFrame& frame) {
    std::vector<uint8_t> message = fake_sim::data_frame(REQUEST_PANEL_DATA, frame.bytes());
    // Loopback delivers in order; once one datagram is readable, the rest
    // sent before this call are too.
    if (unread_ > 0) {
        EXPECT_TRUE(platform::udp_wait_readable(program, 10000));
    }
    unread_ = 0;
    on_sim_message(reinterpret_cast<SIMCONNECT_RECV*>(message.data()), static_cast<uint32_t>(message.size()),
                   nullptr);
}

void expect_takes_every_panel_code(const char* panel, bool (*takes_code)(const char* text)) {
    const PanelKind* kind = find_panel_kind(panel);
    ASSERT_NE(kind, nullptr) << panel;
    for (int variant = 1; variant <= variant_count(kind); ++variant) {
        g_bridge.encoder_version = variant;
        for (const KeyBinding* key = kind->keys[variant - 1]; key->key != 0; ++key) {
            EXPECT_TRUE(takes_code(key->code)) << panel << " version " << variant << ": " << key->code;
        }
        for (const char* stray : {"", "GET / HTTP/1.0", "\x16\xfe\xff", "hello", "\x7f"}) {
            EXPECT_FALSE(takes_code(stray)) << panel << " version " << variant << ": " << stray;
        }
    }
}
