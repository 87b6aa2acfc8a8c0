#include "tools/virtual_panel/interactive_mode.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/console.h"
#include "platform/terminal.h"
#include "tools/virtual_panel/readable_text.h"
#include "tools/virtual_panel/virtual_panel_state.h"

namespace {

// One screen row, padded with blanks to a fixed width so that it covers
// whatever the previous drawing left there (no clear-to-end-of-line needed,
// which not every console understands).
void row(const char* format, ...) {
    char text[200];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    std::printf("%-78s\n", text);
}

// The key help from the panel's bindings, wrapped to the screen width (keys
// without a label are aliases and stay off the help).
void key_help() {
    char line[100];
    size_t n = std::snprintf(line, sizeof(line), " keys:");
    for (const KeyBinding& b : g_vpanel.kind->keys[g_vpanel.variant - 1]) {
        if (b.key == 0) break;
        if (!b.label) continue;
        if (n + 2 + std::strlen(b.label) > 76) {
            row("%s", line);
            n = std::snprintf(line, sizeof(line), "      ");
        }
        n += std::snprintf(line + n, sizeof(line) - n, "  %s", b.label);
    }
    if (n + 8 > 76) {
        row("%s", line);
        n = std::snprintf(line, sizeof(line), "      ");
    }
    std::snprintf(line + n, sizeof(line) - n, "  q quit");
    row("%s", line);
}

void draw() {
    char program[48];
    link_program_text(program, sizeof(program));
    platform::terminal_home();
    row(" Virtual %s panel, identity %s, port %u", g_vpanel.kind->title, g_vpanel.identity, g_vpanel.listen_port);
    row(" program: %s", program);
    row("");
    const char* power = g_vpanel.display.power == POWER_ON ? "(*) ON" : g_vpanel.display.power == POWER_OFF ? "( ) OFF" : "( ) ---";
    row("     +------------------+");
    bool first = true;
    for (const char* sel = g_vpanel.kind->display_rows; *sel; ++sel) {
        char text[kLineBytes + 1];
        display_screen_text(&g_vpanel.display, *sel, text, sizeof(text));
        if (first && g_vpanel.display.power == POWER_ON && platform::terminal_has_color()) {
            // Green power light; the color codes take no room on screen.
            std::printf("   %c | %-16s |   \x1b[1;32m%s\x1b[0m%-40s\n", *sel, text, power, "");
        } else {
            row("   %c | %-16s |   %s", *sel, text, first ? power : "");
        }
        first = false;
    }
    row("     +------------------+");
    row("");
    key_help();
    row(" symbols: ! flag  ^ TO  v FROM  * audio");
    row(" identity answers %ld, unanswered %ld; %s", g_vpanel.responder.answered, g_vpanel.responder.ignored,
        g_vpanel.last_action);
    std::fflush(stdout);
}

}  // namespace

int run_interactive() {
    if (!platform::terminal_enter_raw()) {
        console_print("virtual-panel: the terminal cannot be switched to key input; use --script\n");
        return 1;
    }
    platform::terminal_clear();
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
