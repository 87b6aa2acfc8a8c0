// One update cycle as a connected program runs it per frame: a few panel
// datagrams drained, four display lines sent. Loopback sockets only.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "core/bridge_state.h"
#include "core/panel_messages.h"
#include "core/update_cycle.h"

namespace {

using platform::SocketAddressV4;

SocketAddressV4 loopback(uint16_t port) {
    SocketAddressV4 a{};
    a.family = platform::kFamilyInet;
    a.port = platform::host_to_net16(port);
    a.address = platform::host_to_net32(0x7F000001u);
    return a;
}

int g_inputs = 0;

const PanelHooks kHooks = {
    nullptr,
    nullptr,
    [](const char*, const uint8_t*) { ++g_inputs; },
    [](const uint8_t* block) {
        send_line("B>ON");
        send_line("F>%7.3f  %7.3f", block_f64(block, 304), block_f64(block, 312));
        send_line("H>COM1     Standby");
        send_line("%s", kBlankSecondMain);
    },
    nullptr,
};

void BM_UpdateCycle(benchmark::State& state) {
    const int datagrams = static_cast<int>(state.range(0));
    platform::net_startup();
    bridge_reset(program_profile(PROGRAM_COMM1), &kHooks);

    // The program's socket and the panel's socket on loopback.
    platform::UdpSocket program = platform::udp_open();
    platform::UdpSocket panel = platform::udp_open();
    SocketAddressV4 any = loopback(0);
    platform::udp_bind(program, &any);
    platform::udp_bind(panel, &any);
    platform::udp_set_nonblocking(program, true);
    platform::udp_set_nonblocking(panel, true);
    SocketAddressV4 to_program = loopback(platform::udp_local_port(program));
    g_bridge.udp_socket = program;
    g_bridge.panel_address = loopback(platform::udp_local_port(panel));
    g_bridge.panel_connected = 1;
    g_bridge.frame_counter = -1000000000;  // keep the identity check out of the way

    std::vector<uint8_t> message(SIM_SIMOBJECT_DATA_OFFSET + 320, 0);
    uint32_t header[4] = {static_cast<uint32_t>(message.size()), 5, SIMCONNECT_RECV_ID_SIMOBJECT_DATA, 1};
    std::memcpy(message.data(), header, sizeof header);
    std::memcpy(message.data() + SIM_SIMOBJECT_DATA_OFFSET, "Cessna 172", 11);
    double active = 118.0, standby = 121.5;
    std::memcpy(message.data() + SIM_SIMOBJECT_DATA_OFFSET + 304, &active, 8);
    std::memcpy(message.data() + SIM_SIMOBJECT_DATA_OFFSET + 312, &standby, 8);
    SIMCONNECT_RECV* frame = reinterpret_cast<SIMCONNECT_RECV*>(message.data());

    char sink[64];
    SocketAddressV4 from;
    int32_t from_len = sizeof from;
    g_inputs = 0;
    for (auto _ : state) {
        for (int i = 0; i < datagrams; ++i) platform::udp_send_to(panel, "R+", 2, &to_program, sizeof to_program);
        // Only the cycle is timed, not the panel's side of the exchange.
        auto start = std::chrono::steady_clock::now();
        on_sim_message(frame, static_cast<uint32_t>(message.size()), nullptr);
        auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        // Empty the panel side so the socket buffers never fill.
        while (platform::udp_receive_from(panel, sink, sizeof sink, &from, &from_len) >= 0) {
        }
    }
    state.counters["inputs"] = benchmark::Counter(g_inputs, benchmark::Counter::kAvgIterations);
    platform::udp_close(program);
    platform::udp_close(panel);
}
BENCHMARK(BM_UpdateCycle)->Arg(0)->Arg(3)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
