#include "tools/virtual_panel/scripted_mode.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#include "core/console.h"
#include "platform/env.h"
#include "tools/virtual_panel/readable_text.h"
#include "tools/virtual_panel/script_command.h"
#include "tools/virtual_panel/virtual_panel_state.h"

namespace {

// Standard input is read on a thread of its own so that a blocking read
// never stops the panel from answering the program.
std::mutex g_input_lock;
std::deque<std::string> g_input_lines;
bool g_input_done = false;

void read_standard_input() {
    std::string line;
    while (std::getline(std::cin, line)) {
        std::lock_guard<std::mutex> hold(g_input_lock);
        g_input_lines.push_back(line);
    }
    std::lock_guard<std::mutex> hold(g_input_lock);
    g_input_done = true;
}

// Next line of standard input; false at its end. Serves the link meanwhile.
bool next_input_line(std::string* line) {
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(g_input_lock);
            if (!g_input_lines.empty()) {
                *line = g_input_lines.front();
                g_input_lines.pop_front();
                return true;
            }
            if (g_input_done) return false;
        }
        link_serve(20);
    }
}

long g_expect_timeout_ms = 10000;

void show_display() {
    const char* power = g_vpanel.display.power == POWER_ON    ? "ON"
                        : g_vpanel.display.power == POWER_OFF ? "OFF"
                                                              : "unknown";
    console_print("display power %s\n", power);
    for (const char* sel = g_vpanel.kind->display_rows; *sel; ++sel) {
        int i = selector_index(*sel);
        char readable[300];
        to_readable(g_vpanel.display.lines[i], g_vpanel.display.line_length[i], readable, sizeof(readable));
        if (g_vpanel.display.line_seen[i]) console_print("display %c>%s\n", *sel, readable);
        else console_print("display %c> (nothing yet)\n", *sel);
    }
}

// Serves until the display shows the expected line or power light, or a
// datagram matching the expectation arrives, or time is up. Display lines are
// resent every frame, so one already on show counts; "ID_Request" and other
// one-off datagrams must arrive after the command starts.
bool wait_for_datagram(const unsigned char* want, size_t want_len, bool prefix) {
    link_serve(0);
    if (display_shows(&g_vpanel.display, want, want_len, prefix)) return true;
    std::memcpy(g_vpanel.watch, want, want_len);
    g_vpanel.watch_length = want_len;
    g_vpanel.watch_prefix = prefix;
    g_vpanel.watch_hit = false;
    g_vpanel.watch_active = true;
    uint64_t deadline = platform::monotonic_ms() + static_cast<uint64_t>(g_expect_timeout_ms);
    for (uint64_t now = platform::monotonic_ms(); !g_vpanel.watch_hit && now < deadline;
         now = platform::monotonic_ms()) {
        link_serve(static_cast<int>(deadline - now > 50 ? 50 : deadline - now));
    }
    g_vpanel.watch_active = false;
    return g_vpanel.watch_hit;
}

// Runs one command; returns -1 to go on, else the exit code to end with.
int run_command(const char* line) {
    ScriptCommand cmd;
    parse_script_command(line, &cmd);
    // Room for datagrams longer than the programs accept, to test that
    // they drop them.
    unsigned char bytes[1500];
    int len = 0;
    switch (cmd.op) {
        case OP_NONE:
            return -1;
        case OP_INVALID:
            console_print("error %s\n", cmd.text);
            return 1;
        case OP_SEND:
            len = from_readable(cmd.text, bytes, sizeof(bytes));
            if (len < 0) {
                console_print("error bad escape or too long: %s\n", cmd.text);
                return 1;
            }
            if (link_send_code(bytes, static_cast<size_t>(len))) console_print("sent %s\n", cmd.text);
            else console_print("not sent (program not heard from yet) %s\n", cmd.text);
            return -1;
        case OP_WAIT: {
            uint64_t end = platform::monotonic_ms() + static_cast<uint64_t>(cmd.number);
            for (uint64_t now = platform::monotonic_ms(); now < end; now = platform::monotonic_ms()) {
                link_serve(static_cast<int>(end - now > 50 ? 50 : end - now));
            }
            return -1;
        }
        case OP_EXPECT:
        case OP_EXPECT_PREFIX:
            // The panel takes in at most 255 bytes of a datagram.
            len = from_readable(cmd.text, bytes, sizeof(g_vpanel.watch) - 1);
            if (len < 0) {
                console_print("error bad escape or too long: %s\n", cmd.text);
                return 1;
            }
            if (wait_for_datagram(bytes, static_cast<size_t>(len), cmd.op == OP_EXPECT_PREFIX)) {
                console_print("matched %s\n", cmd.text);
                return -1;
            }
            console_print("expect failed after %ld ms: %s\n", g_expect_timeout_ms, cmd.text);
            show_display();
            return 1;
        case OP_TIMEOUT:
            g_expect_timeout_ms = cmd.number;
            return -1;
        case OP_SHOW:
            link_serve(0);
            show_display();
            return -1;
        case OP_SILENT:
            responder_set_silent(&g_vpanel.responder, cmd.number != 0);
            console_print("silent %s\n", cmd.number ? "on" : "off");
            return -1;
        case OP_DROP:
            responder_drop(&g_vpanel.responder, cmd.number);
            console_print("drop %ld\n", cmd.number);
            return -1;
        case OP_IDENTITY:
            len = from_readable(cmd.text, bytes, sizeof(g_vpanel.identity) - 1);
            if (len < 0) {
                console_print("error bad escape or too long: %s\n", cmd.text);
                return 1;
            }
            std::memcpy(g_vpanel.identity, bytes, static_cast<size_t>(len));
            g_vpanel.identity[len] = '\0';
            console_print("identity %s\n", cmd.text);
            return -1;
        case OP_QUIT:
            return static_cast<int>(cmd.number);
    }
    return -1;
}

}  // namespace

int run_scripted(int argc, char** argv, int first, bool exit_at_end) {
    g_vpanel.print_datagrams = true;
    if (first < argc) {
        for (int i = first; i < argc; ++i) {
            int rc = run_command(argv[i]);
            if (rc >= 0) return rc;
        }
    } else {
        std::thread(read_standard_input).detach();
        std::string line;
        while (next_input_line(&line)) {
            int rc = run_command(line.c_str());
            if (rc >= 0) return rc;
        }
    }
    if (exit_at_end) return 0;
    // Out of commands: stay on the network like a real panel until ended.
    for (;;) link_serve(200);
}
