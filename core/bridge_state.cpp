#include "core/bridge_state.h"

#include <cmath>
#include <cstring>

BridgeState g_bridge;
const ProgramProfile* g_program = nullptr;
PanelHooks g_panel_hooks;

namespace {

void start_state(const ProgramProfile* program) {
    std::memset(&g_bridge, 0, sizeof(g_bridge));
    g_bridge.idle_ms = kDefaultIdleMs;
    g_bridge.vran_port = program->default_port;
    g_bridge.recv_port = program->default_port;
    g_bridge.adf_stby = 1;
    g_bridge.xpdr_code = kDefaultXpdrCode;
    g_bridge.start_display = 1;
    g_bridge.udp_socket = platform::kInvalidSocket;
    g_bridge.panel_address_len = sizeof(platform::SocketAddressV4);
}

}  // namespace

void bridge_reset(const ProgramProfile* program, const PanelHooks* hooks) {
    start_state(program);
    g_program = program;
    g_panel_hooks = hooks ? *hooks : PanelHooks{};
}

void bridge_reset_session() {
    int32_t spinner_step = g_bridge.spinner_step;
    start_state(g_program);
    g_bridge.spinner_step = spinner_step;
}

int32_t block_i32(const uint8_t* block, uint32_t offset) {
    int32_t v;
    std::memcpy(&v, block + offset, sizeof(v));
    return v;
}

double block_f64(const uint8_t* block, uint32_t offset) {
    double v;
    std::memcpy(&v, block + offset, sizeof(v));
    return v;
}

int32_t whole_int32(double value) {
    if (std::isnan(value)) return 0;
    double t = std::trunc(value);
    if (t >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (t <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<int32_t>(t);
}
