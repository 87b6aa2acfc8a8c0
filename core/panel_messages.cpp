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
    int n = platform::udp_receive_from(g_bridge.udp_socket, g_bridge.receive_buffer, kReceiveBufferSize,
                                       &g_bridge.panel_address, &g_bridge.panel_address_len);
    if (n >= 0) g_bridge.receive_buffer[n] = '\0';
    return n;
}
