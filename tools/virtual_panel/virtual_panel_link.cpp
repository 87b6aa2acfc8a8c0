#include <cstdio>
#include <cstring>

#include "core/console.h"
#include "platform/env.h"
#include "tools/virtual_panel/readable_text.h"
#include "tools/virtual_panel/virtual_panel_state.h"

VirtualPanel g_vpanel;

bool link_open(uint16_t port) {
    if (platform::net_startup() != 0) {
        console_print("virtual-panel: cannot start the socket library\n");
        return false;
    }
    g_vpanel.socket = platform::udp_open();
    if (g_vpanel.socket == platform::kInvalidSocket) {
        console_print("virtual-panel: cannot create a UDP socket (error %d)\n", platform::net_last_error());
        return false;
    }
    platform::udp_allow_broadcast(g_vpanel.socket);
    // Any local address: the program's "ID" comes as a directed broadcast,
    // its lines as unicast.
    platform::SocketAddressV4 local;
    std::memset(&local, 0, sizeof(local));
    local.family = platform::kFamilyInet;
    local.port = platform::host_to_net16(port);
    if (platform::udp_bind(g_vpanel.socket, &local) != 0) {
        console_print("virtual-panel: cannot listen on UDP port %u (error %d)\n", port,
                      platform::net_last_error());
        platform::udp_close(g_vpanel.socket);
        g_vpanel.socket = platform::kInvalidSocket;
        return false;
    }
    platform::udp_set_nonblocking(g_vpanel.socket, true);
    g_vpanel.listen_port = port;
    return true;
}

void link_close() {
    platform::udp_close(g_vpanel.socket);
    g_vpanel.socket = platform::kInvalidSocket;
}

void link_program_text(char* out, size_t size) {
    if (!g_vpanel.program_known) {
        std::snprintf(out, size, "not seen yet");
        return;
    }
    char dotted[16];
    platform::format_ipv4(g_vpanel.program_address.address, dotted, sizeof(dotted));
    // The byte swap is its own inverse, so it also turns network order back.
    unsigned port = platform::host_to_net16(g_vpanel.program_address.port);
    std::snprintf(out, size, "%s:%u", dotted, port);
}

static void send_identity() {
    size_t len = std::strlen(g_vpanel.identity);
    platform::udp_send_to(g_vpanel.socket, g_vpanel.identity, len, &g_vpanel.program_address,
                          static_cast<int32_t>(sizeof(g_vpanel.program_address)));
    if (g_vpanel.print_datagrams) {
        char readable[600];
        to_readable(reinterpret_cast<const unsigned char*>(g_vpanel.identity), len, readable, sizeof(readable));
        console_print("answer %s\n", readable);
    }
}

static void send_due_answers() {
    if (g_vpanel.answers_owed == 0 || platform::monotonic_ms() < g_vpanel.answer_due_ms) return;
    for (; g_vpanel.answers_owed > 0; --g_vpanel.answers_owed) send_identity();
}

static void answer_identity_request() {
    if (!responder_should_answer(&g_vpanel.responder)) {
        if (g_vpanel.print_datagrams) console_print("silent (no answer)\n");
        std::snprintf(g_vpanel.last_action, sizeof(g_vpanel.last_action), "identity request left unanswered");
        return;
    }
    if (g_vpanel.answer_delay_ms <= 0) {
        send_identity();
        return;
    }
    // Owed answers go out together when the first one falls due.
    if (g_vpanel.answers_owed++ == 0) {
        g_vpanel.answer_due_ms = platform::monotonic_ms() + static_cast<uint64_t>(g_vpanel.answer_delay_ms);
    }
}

int link_serve(int timeout_ms) {
    if (g_vpanel.socket == platform::kInvalidSocket) {
        platform::sleep_ms(static_cast<uint32_t>(timeout_ms > 0 ? timeout_ms : 0));
        return 0;
    }
    send_due_answers();
    if (g_vpanel.answers_owed > 0 && timeout_ms > 0) {
        uint64_t now = platform::monotonic_ms();
        uint64_t left = g_vpanel.answer_due_ms > now ? g_vpanel.answer_due_ms - now : 0;
        if (left < static_cast<uint64_t>(timeout_ms)) timeout_ms = static_cast<int>(left);
    }
    if (timeout_ms > 0 && !platform::udp_wait_readable(g_vpanel.socket, timeout_ms)) {
        send_due_answers();
        return 0;
    }
    int taken = 0;
    for (;;) {
        unsigned char buf[256];
        platform::SocketAddressV4 from;
        int32_t from_len = sizeof(from);
        int n = platform::udp_receive_from(g_vpanel.socket, buf, sizeof(buf), &from, &from_len);
        if (n == platform::kReceiveNothing) break;
        if (n == platform::kReceiveTooLong) {
            if (g_vpanel.print_datagrams) console_print("recv (datagram too long, dropped)\n");
            continue;
        }
        ++taken;
        ++g_vpanel.received;
        g_vpanel.program_address = from;
        g_vpanel.program_known = true;
        if (g_vpanel.watch_active && !g_vpanel.watch_hit) {
            size_t len = static_cast<size_t>(n);
            bool fits = g_vpanel.watch_prefix ? len >= g_vpanel.watch_length : len == g_vpanel.watch_length;
            g_vpanel.watch_hit = fits && std::memcmp(buf, g_vpanel.watch, g_vpanel.watch_length) == 0;
        }
        if (g_vpanel.print_datagrams) {
            char readable[1100];
            to_readable(buf, static_cast<size_t>(n), readable, sizeof(readable));
            console_print("recv %s\n", readable);
        }
        if (display_apply(&g_vpanel.display, buf, static_cast<size_t>(n)) == DATAGRAM_IDENTITY_REQUEST) {
            answer_identity_request();
        }
    }
    send_due_answers();
    return taken;
}

bool link_send_code(const unsigned char* bytes, size_t len) {
    if (!g_vpanel.program_known || g_vpanel.socket == platform::kInvalidSocket) return false;
    return platform::udp_send_to(g_vpanel.socket, bytes, len, &g_vpanel.program_address,
                                 static_cast<int32_t>(sizeof(g_vpanel.program_address))) >= 0;
}
