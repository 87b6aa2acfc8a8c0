// virtual-panel: stands in for any of the nine hardware panels on the UDP
// link, for tests, the demo and trying a program without the hardware.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/console.h"
#include "platform/terminal.h"
#include "tools/virtual_panel/interactive_mode.h"
#include "tools/virtual_panel/readable_text.h"
#include "tools/virtual_panel/scripted_mode.h"
#include "tools/virtual_panel/virtual_panel_state.h"

namespace {

void usage() {
    std::printf(
        "usage: virtual-panel --panel NAME [options] [command ...]\n"
        "  --panel NAME        comm1 comm2 navcom1 navcom2 adf nav1 nav2 xpdr hub1\n"
        "  --variant 1|2       identity variant (single or dual encoder), default 1\n"
        "  --port N            UDP port to listen on (default: the program's port + 1)\n"
        "  --to ADDR:PORT      where codes go before the program has been heard from\n"
        "  --identity TEXT     answer with this text instead of the panel's own\n"
        "  --silent            never answer \"ID\" or \"ID_Request\"\n"
        "  --silent-after N    answer N identity requests, then fall silent\n"
        "  --answer-delay MS   answer identity requests this much later\n"
        "  --script            scripted mode even on a terminal\n"
        "  --exit-at-end       end after the last command instead of staying on\n"
        "Scripted mode (commands as arguments, else one per line on standard input):\n"
        "  send CODE | wait MS | expect LINE | expect-prefix TEXT | timeout MS | show\n"
        "  silent on|off | identity TEXT | quit [CODE]\n"
        "  Texts use \\a, \\xNN and \\\\ for the bytes the panel protocol carries.\n");
}

bool parse_long(const char* text, long low, long high, long* out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (*end || v < low || v > high) return false;
    *out = v;
    return true;
}

// "a.b.c.d:port" into a socket address.
bool parse_address(const char* text, platform::SocketAddressV4* out) {
    unsigned a, b, c, d, port;
    char tail;
    if (std::sscanf(text, "%u.%u.%u.%u:%u%c", &a, &b, &c, &d, &port, &tail) != 5) return false;
    if (a > 255 || b > 255 || c > 255 || d > 255 || port > 65535) return false;
    std::memset(out, 0, sizeof(*out));
    out->family = platform::kFamilyInet;
    out->port = platform::host_to_net16(static_cast<uint16_t>(port));
    out->address = platform::host_to_net32((a << 24) | (b << 16) | (c << 8) | d);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const char* panel_name = nullptr;
    long variant = 1, port = -1, silent_after = -1, answer_delay = 0;
    bool silent = false, scripted = false, exit_at_end = false;
    const char* identity = nullptr;
    const char* to = nullptr;
    int first_command = argc;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = true;
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            usage();
            return 0;
        } else if (std::strcmp(a, "--panel") == 0) {
            panel_name = next;
            ok = next != nullptr;
            ++i;
        } else if (std::strcmp(a, "--variant") == 0) {
            ok = parse_long(next, 1, 2, &variant);
            ++i;
        } else if (std::strcmp(a, "--port") == 0) {
            ok = parse_long(next, 1, 65535, &port);
            ++i;
        } else if (std::strcmp(a, "--silent-after") == 0) {
            ok = parse_long(next, 0, 1000000000L, &silent_after);
            ++i;
        } else if (std::strcmp(a, "--answer-delay") == 0) {
            ok = parse_long(next, 0, 60000, &answer_delay);
            ++i;
        } else if (std::strcmp(a, "--identity") == 0) {
            identity = next;
            ok = next != nullptr;
            ++i;
        } else if (std::strcmp(a, "--to") == 0) {
            to = next;
            ok = next != nullptr;
            ++i;
        } else if (std::strcmp(a, "--silent") == 0) {
            silent = true;
        } else if (std::strcmp(a, "--script") == 0) {
            scripted = true;
        } else if (std::strcmp(a, "--exit-at-end") == 0) {
            exit_at_end = true;
        } else if (a[0] == '-' && a[1] == '-') {
            console_print("virtual-panel: unknown option %s\n", a);
            return 2;
        } else {
            first_command = i;
            break;
        }
        if (!ok) {
            console_print("virtual-panel: missing or bad value for %s\n", a);
            return 2;
        }
    }

    std::memset(&g_vpanel, 0, sizeof(g_vpanel));
    g_vpanel.socket = platform::kInvalidSocket;
    g_vpanel.kind = find_panel_kind(panel_name);
    if (!g_vpanel.kind) {
        console_print("virtual-panel: %s panel name; one of comm1 comm2 navcom1 navcom2 adf nav1 nav2 xpdr hub1\n",
                      panel_name ? "unknown" : "missing");
        return 2;
    }
    if (variant > variant_count(g_vpanel.kind)) {
        console_print("virtual-panel: the %s panel has only one identity variant\n", g_vpanel.kind->name);
        return 2;
    }
    g_vpanel.variant = static_cast<int>(variant);
    if (identity) {
        unsigned char bytes[255];
        int len = from_readable(identity, bytes, sizeof(bytes));
        if (len < 0) {
            console_print("virtual-panel: bad escape in --identity %s\n", identity);
            return 2;
        }
        std::memcpy(g_vpanel.identity, bytes, static_cast<size_t>(len));
    } else {
        std::snprintf(g_vpanel.identity, sizeof(g_vpanel.identity), "%s", g_vpanel.kind->identity[variant - 1]);
    }
    if (to) {
        if (!parse_address(to, &g_vpanel.program_address)) {
            console_print("virtual-panel: --to wants ADDRESS:PORT, got %s\n", to);
            return 2;
        }
        g_vpanel.program_known = true;
    }
    responder_init(&g_vpanel.responder, silent, silent_after);
    g_vpanel.answer_delay_ms = static_cast<int>(answer_delay);
    display_reset(&g_vpanel.display);

    uint16_t listen = static_cast<uint16_t>(port > 0 ? port : g_vpanel.kind->program_port + 1);
    if (!link_open(listen)) return 1;

    bool interactive = !scripted && first_command >= argc && platform::terminal_is_interactive();
    if (!interactive) {
        console_print("virtual-panel %s variant %d (%s) listening on UDP port %u\n", g_vpanel.kind->name,
                      g_vpanel.variant, g_vpanel.identity, listen);
    }
    int rc = interactive ? run_interactive() : run_scripted(argc, argv, first_command, exit_at_end);
    link_close();
    std::fflush(stdout);
    return rc;
}
