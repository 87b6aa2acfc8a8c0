#include "core/panel_messages.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/bridge_state.h"
#include "core/shown_lines.h"

const char kBlankHeader[] = "H>                ";
const char kBlankMain[] = "F>                ";
const char kBlankSecondHeader[] = "T>                ";
const char kBlankSecondMain[] = "C>                ";

namespace {

// vsnprintf cuts a longer text at 23 characters and terminates it.
int format_into(char* buffer, const char* format, va_list args) {
    int n = std::vsnprintf(buffer, kLineBufferSize, format, args);
    if (n < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<int>(std::strlen(buffer));
}

int receive_into_buffer(platform::SocketAddressV4* source, int32_t* source_len) {
    int n = platform::udp_receive_from(g_bridge.udp_socket, g_bridge.receive_buffer, kReceiveBufferSize, source,
                                       source_len);
    if (n >= 0) g_bridge.receive_buffer[n] = '\0';
    return n;
}

// An identity text is the panel's wherever it comes from; a code only from
// the panel's own host, on whatever port: one that happens to begin with a
// key's letter from anywhere else on the network takes nothing away.
bool follows_source(const char* text, const platform::SocketAddressV4& source) {
    if (program_identity_variant(g_program, text) != 0) return true;
    return source.address == g_bridge.panel_address.address && is_panel_traffic(text);
}

}  // namespace

int format_line(char* buffer, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = format_into(buffer, format, args);
    va_end(args);
    return n;
}

void send_line(const char* format, ...) {
    char buffer[kLineBufferSize];
    va_list args;
    va_start(args, format);
    int n = format_into(buffer, format, args);
    va_end(args);
    if (hold_line(buffer)) return;
    platform::udp_send_to(g_bridge.udp_socket, buffer, static_cast<size_t>(n), &g_bridge.panel_address,
                          g_bridge.panel_address_len);
    if (g_bridge.keep_frame_rate != 0) note_line_shown(buffer);
}

int send_line_to(const platform::SocketAddressV4* to, int32_t to_length, const char* format, ...) {
    char buffer[kLineBufferSize];
    va_list args;
    va_start(args, format);
    int n = format_into(buffer, format, args);
    va_end(args);
    return platform::udp_send_to(g_bridge.udp_socket, buffer, static_cast<size_t>(n), to, to_length);
}

int receive_panel_datagram() {
    return receive_into_buffer(&g_bridge.panel_address, &g_bridge.panel_address_len);
}

int receive_panel_input() {
    platform::SocketAddressV4 source{};
    int32_t source_len = sizeof source;
    int n = receive_into_buffer(&source, &source_len);
    if (n >= 0 && follows_source(g_bridge.receive_buffer, source)) {
        g_bridge.panel_address = source;
        g_bridge.panel_address_len = source_len;
    }
    return n;
}

bool is_panel_traffic(const char* text) {
    if (program_identity_variant(g_program, text) != 0) return true;
    return g_panel_hooks.takes_code && g_panel_hooks.takes_code(text);
}
