#include "tools/virtual_panel/interactive_mode.h"

#include <cstdio>
#include <cstring>

#include "core/console.h"
#include "platform/terminal.h"
#include "tools/virtual_panel/readable_text.h"
#include "tools/virtual_panel/virtual_panel_state.h"

namespace {

// Builds the key help line from the panel's bindings (keys without a label
// are aliases and stay off the line).
void key_help(char* out, size_t size) {
    size_t n = std::snprintf(out, size, "keys:");
    for (const KeyBinding& b : g_vpanel.kind->keys[g_vpanel.variant - 1]) {
        if (b.key == 0) break;
        if (!b.label || n >= size) continue;
        n += std::snprintf(out + n, size - n, "  %s", b.label);
    }
    if (n < size) std::snprintf(out + n, size - n, "  q quit");
}

void draw() {
    char program[48];
    link_program_text(program, sizeof(program));
    // Cursor home, then every row cleared to its end: redraw in place
    // without the flicker of clearing the whole screen.
    std::printf("\x1b[H");
    std::printf(" Virtual %s panel, identity %s, port %u\x1b[K\n", g_vpanel.kind->title, g_vpanel.identity,
                g_vpanel.listen_port);
    std::printf(" program: %s\x1b[K\n\x1b[K\n", program);
    const char* power = g_vpanel.display.power == POWER_ON    ? "\x1b[1;32m(*) ON \x1b[0m"
                        : g_vpanel.display.power == POWER_OFF ? "( ) OFF"
                                                              : "( ) ---";
    std::printf("     +------------------+\x1b[K\n");
    bool first = true;
    for (const char* sel = g_vpanel.kind->display_rows; *sel; ++sel) {
        char text[kLineBytes + 1];
        display_screen_text(&g_vpanel.display, *sel, text, sizeof(text));
        std::printf("   %c | %-16s |   %s\x1b[K\n", *sel, text, first ? power : "");
        first = false;
    }
    std::printf("     +------------------+\x1b[K\n\x1b[K\n");
    char help[400];
    key_help(help, sizeof(help));
    std::printf(" %s\x1b[K\n", help);
    std::printf(" symbols: ! flag  ^ TO  v FROM  * audio\x1b[K\n");
    std::printf(" identity answers %ld, unanswered %ld; %s\x1b[K\n\x1b[J", g_vpanel.responder.answered,
                g_vpanel.responder.ignored, g_vpanel.last_action);
    std::fflush(stdout);
}

}  // namespace

int run_interactive() {
    if (!platform::terminal_enter_raw()) {
        console_print("virtual-panel: the terminal cannot be switched to key input; use --script\n");
        return 1;
    }
    std::printf("\x1b[2J");
    std::snprintf(g_vpanel.last_action, sizeof(g_vpanel.last_action), "waiting for the program's \"ID\"");
    unsigned long drawn_datagrams = ~0ul;
    long drawn_answers = -1;
    bool dirty = true;
    for (;;) {
        if (platform::terminal_stop_requested()) break;
        int key = platform::terminal_read_key(20);
        if (key == 'q' || key == 'Q' || key == platform::kKeyInterrupt) break;
        if (key != platform::kKeyNone) {
            const KeyBinding* b = find_key_binding(g_vpanel.kind, g_vpanel.variant, key);
            if (b) {
                bool ok = link_send_code(reinterpret_cast<const unsigned char*>(b->code), std::strlen(b->code));
                std::snprintf(g_vpanel.last_action, sizeof(g_vpanel.last_action), ok ? "sent %s" : "not sent (%s): program not heard from yet", b->code);
            } else {
                std::snprintf(g_vpanel.last_action, sizeof(g_vpanel.last_action), "that key does nothing on this panel");
            }
            dirty = true;
        }
        link_serve(10);
        if (g_vpanel.display.datagrams != drawn_datagrams || g_vpanel.responder.answered + g_vpanel.responder.ignored != drawn_answers) dirty = true;
        if (dirty) {
            draw();
            drawn_datagrams = g_vpanel.display.datagrams;
            drawn_answers = g_vpanel.responder.answered + g_vpanel.responder.ignored;
            dirty = false;
        }
    }
    platform::terminal_restore();
    std::printf("\n");
    std::fflush(stdout);
    return 0;
}
