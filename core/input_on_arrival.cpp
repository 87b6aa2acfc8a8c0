#include "core/input_on_arrival.h"

#include <cstring>

#include "core/bridge_state.h"
#include "core/shown_lines.h"
#include "core/update_cycle.h"

void keep_frame_for_input(const uint8_t* block, uint32_t size) {
    // A frame whose cycle took the panel offline is no base for its input.
    if (!g_bridge.panel_connected || size > sizeof g_bridge.last_frame) return;
    std::memcpy(g_bridge.last_frame, block, size);
    g_bridge.frame_kept = 1;
}

platform::SocketWatch* input_watch() {
    if (!g_bridge.frame_kept || !g_bridge.panel_connected) return nullptr;
    if (!g_bridge.input_watch) g_bridge.input_watch = platform::socket_watch_create(g_bridge.udp_socket);
    return g_bridge.input_watch;
}

void take_input_on_arrival() {
    if (!g_bridge.frame_kept || !g_bridge.panel_connected) return;
    if (drain_panel_input(g_bridge.last_frame) > 0 && g_panel_hooks.display) {
        redraw_changed_lines(g_panel_hooks.display, g_bridge.last_frame);
    }
}

void stop_input_on_arrival() {
    g_bridge.frame_kept = 0;
    platform::socket_watch_free(g_bridge.input_watch);
    g_bridge.input_watch = nullptr;
    forget_shown_lines();
}
