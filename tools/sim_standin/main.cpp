// sim-standin: a small stand-in for the flight simulator's end of the client
// link, for demos and end-to-end tests of the relay programs.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>

#include "platform/env.h"
#include "platform/interrupt.h"
#include "tools/sim_standin/standin_log.h"
#include "tools/sim_standin/standin_server.h"

namespace {

std::atomic<bool> g_input_ended{false};

void usage() {
    std::printf(
        "usage: sim-standin [options]\n"
        "  --tcp-port N      IPv4 loopback port (default 500, 0 = any free port)\n"
        "  --tcp6-port N     IPv6 loopback port (default 0 = any free port)\n"
        "  --no-tcp          no IPv4 listener\n"
        "  --no-tcp6         no IPv6 listener\n"
        "  --no-pipe         no pipe listener\n"
        "  --pipe-name NAME  pipe name (\"\\\\.\\pipe\\NAME\" or the full name)\n"
        "  --rate N          frames a second for per-frame requests (default 30)\n"
        "  --control-port N  also take commands on this loopback TCP port (0 = any)\n"
        "  --quit-on-eof     quit when standard input ends\n"
        "  -v, -vv           log every request; also every frame\n"
        "Commands on standard input: type help.\n");
}

bool parse_int(const char* text, int low, int high, int* out) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < low || v > high) return false;
    *out = static_cast<int>(v);
    return true;
}

// Commands from standard input; replies go to standard output.
void read_stdin() {
    std::string line;
    while (std::getline(std::cin, line)) {
        std::string reply = standin_command(line);
        if (!reply.empty()) standin_print(reply.c_str());
    }
    g_input_ended = true;
}

}  // namespace

int main(int argc, char** argv) {
    StandinOptions options;
    bool quit_on_eof = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = true;
        if (a == "--tcp-port" && next) {
            ok = parse_int(next, 0, 65535, &options.tcp_port), ++i;
        } else if (a == "--tcp6-port" && next) {
            ok = parse_int(next, 0, 65535, &options.tcp6_port), ++i;
        } else if (a == "--control-port" && next) {
            ok = parse_int(next, 0, 65535, &options.control_port), ++i;
        } else if (a == "--no-tcp") {
            options.tcp_port = -1;
        } else if (a == "--no-tcp6") {
            options.tcp6_port = -1;
        } else if (a == "--no-pipe") {
            options.pipe = false;
        } else if (a == "--pipe-name" && next) {
            options.pipe_name = std::strncmp(next, "\\\\", 2) == 0 ? next : std::string("\\\\.\\pipe\\") + next;
            ++i;
        } else if (a == "--rate" && next) {
            char* end = nullptr;
            options.rate = std::strtod(next, &end);
            ok = *end == '\0' && options.rate >= 0.1 && options.rate <= 1000.0;
            ++i;
        } else if (a == "--quit-on-eof") {
            quit_on_eof = true;
        } else if (a == "-v") {
            g_log_level = 1;
        } else if (a == "-vv") {
            g_log_level = 2;
        } else if (a == "-h" || a == "--help") {
            usage();
            return 0;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "sim-standin: bad option %s\n", argv[i] ? argv[i] : a.c_str());
            usage();
            return 2;
        }
    }

    platform::install_interrupt_flag();
    StandinEndpoints endpoints;
    if (!standin_start(options, &endpoints)) {
        std::fprintf(stderr, "sim-standin: nothing to listen on\n");
        return 1;
    }
    standin_print(standin_listening_line(options, endpoints).c_str());

    // The reader blocks in getline for good, so it is left running at exit.
    std::thread(read_stdin).detach();
    while (!standin_quit_requested() && !platform::interrupt_requested() && !(quit_on_eof && g_input_ended)) {
        platform::sleep_ms(50);
    }
    standin_stop_with_quit();
    standin_log(0, "quit: done");
    std::fflush(stdout);
    std::_Exit(0);
}
