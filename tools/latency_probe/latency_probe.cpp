// latency-probe: the latency benchmark's own COM1 panel. It answers the
// program's identity requests like the panel, and times three roads through
// the bridge:
//   knob:       "R+" sent to the program -> the stand-in logs the event;
//   round trip: the same "R+" -> the panel line showing the stepped frequency;
//   display:    a frequency set in the stand-in -> the panel line showing it.
// It reads the stand-in's log from a file or FIFO (each line stamped as it
// arrives) and writes the stand-in's commands to another. Every sample
// starts after a random pause, so that it lands at a random point of the
// program's loop. Not a test: it prints the figures and leaves judging them
// to the reader.
//
// Usage: latency-probe --standin-log PATH --standin-commands PATH
//                      [--samples N] [--port N] [--identity TEXT] [--label TEXT]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/console.h"
#include "platform/udp.h"
#include "tools/latency_probe/latency_stats.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kConnectSeconds = 60;
constexpr int kSampleTimeoutMs = 5000;
constexpr int kPauseMinMs = 20;
// Longer than one search-and-request cycle of the default loop (ten passes
// of 50 ms), so the samples cover every phase of it.
constexpr int kPauseSpanMs = 600;

struct Options {
    const char* standin_log = nullptr;
    const char* standin_commands = nullptr;
    int samples = 100;
    uint16_t port = 4771;
    const char* identity = "VRAN-COM1_1.0";
    const char* label = "";
};

struct StampedText {
    Clock::time_point at;
    std::string text;
};

// The stand-in's log, read on its own thread so each line is stamped when
// it arrives, not when the main thread gets round to it.
struct StandinLog {
    std::mutex lock;
    std::deque<StampedText> lines;
};
StandinLog g_log;

// The panel's end of the UDP link.
struct PanelLink {
    platform::UdpSocket socket = platform::kInvalidSocket;
    platform::SocketAddressV4 program{};
    bool program_known = false;
    std::string identity;
    std::deque<StampedText> main_lines;  // "F>" lines since the last clear
    std::string last_main;
};
PanelLink g_panel;

double ms_between(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

void read_standin_log(const char* path) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        Clock::time_point at = Clock::now();
        std::lock_guard<std::mutex> hold(g_log.lock);
        // Only events are looked for; the rest is not kept.
        if (line.find("event: ") != std::string::npos) g_log.lines.push_back({at, line});
    }
}

void clear_standin_log() {
    std::lock_guard<std::mutex> hold(g_log.lock);
    g_log.lines.clear();
}

// The arrival time of the first logged line holding `text`, if there is one.
bool find_in_standin_log(const char* text, Clock::time_point* at) {
    std::lock_guard<std::mutex> hold(g_log.lock);
    for (const StampedText& l : g_log.lines) {
        if (l.text.find(text) != std::string::npos) {
            *at = l.at;
            return true;
        }
    }
    return false;
}

bool open_panel(uint16_t port) {
    if (platform::net_startup() != 0) return false;
    g_panel.socket = platform::udp_open();
    if (g_panel.socket == platform::kInvalidSocket) return false;
    platform::udp_allow_broadcast(g_panel.socket);
    platform::SocketAddressV4 local{};
    local.family = platform::kFamilyInet;
    local.port = platform::host_to_net16(port);
    if (platform::udp_bind(g_panel.socket, &local) != 0) return false;
    platform::udp_set_nonblocking(g_panel.socket, true);
    return true;
}

// Waits up to wait_ms for datagrams and takes every one waiting: identity
// requests are answered, main lines kept with their arrival time.
void serve_panel(int wait_ms) {
    if (!platform::udp_wait_readable(g_panel.socket, wait_ms)) return;
    Clock::time_point at = Clock::now();
    char buf[256];
    platform::SocketAddressV4 from;
    int32_t from_len = sizeof(from);
    int n;
    while ((n = platform::udp_receive_from(g_panel.socket, buf, sizeof(buf), &from, &from_len)) != platform::kReceiveNothing) {
        if (n < 0) continue;
        std::string text(buf, static_cast<size_t>(n));
        if (text == "ID" || text == "ID_Request") {
            g_panel.program = from;
            g_panel.program_known = true;
            platform::udp_send_to(g_panel.socket, g_panel.identity.data(), g_panel.identity.size(), &from,
                                  sizeof(from));
        } else if (text.compare(0, 2, "F>") == 0) {
            g_panel.main_lines.push_back({at, text});
            if (g_panel.main_lines.size() > 1000) g_panel.main_lines.pop_front();
            g_panel.last_main = text;
        }
    }
}

void serve_panel_for(int ms) {
    Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) serve_panel(1);
}

bool ends_with(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The first main line since the last clear that differs from `shown`.
bool find_changed_line(const std::string& shown, Clock::time_point* at) {
    for (const StampedText& l : g_panel.main_lines) {
        if (l.text != shown) {
            *at = l.at;
            return true;
        }
    }
    return false;
}

// One knob sample: "R+" to the program until the stand-in logs the step
// (knob_ms), and on until the panel shows the stepped frequency (round_ms).
// Nothing else changes the radio meanwhile, so any new line is the step's.
bool knob_sample(double* knob_ms, double* round_ms) {
    clear_standin_log();
    g_panel.main_lines.clear();
    std::string shown = g_panel.last_main;
    Clock::time_point sent = Clock::now();
    platform::udp_send_to(g_panel.socket, "R+", 2, &g_panel.program, sizeof(g_panel.program));
    Clock::time_point end = sent + std::chrono::milliseconds(kSampleTimeoutMs);
    Clock::time_point arrived, seen;
    bool have_event = false;
    while (Clock::now() < end) {
        serve_panel(1);
        if (!have_event && find_in_standin_log(" COM_RADIO_WHOLE_INC ", &arrived)) {
            *knob_ms = ms_between(sent, arrived);
            have_event = true;
        }
        if (have_event && find_changed_line(shown, &seen)) {
            *round_ms = ms_between(sent, seen);
            return true;
        }
    }
    console_print(have_event ? "latency-probe: the panel did not show the stepped frequency within %d ms\n"
                             : "latency-probe: no event at the stand-in within %d ms of R+\n",
                  kSampleTimeoutMs);
    return false;
}

// One display sample: a new standby frequency set in the stand-in until the
// panel's main line shows it.
bool display_sample(std::FILE* commands, int index, double* ms) {
    char shown[16];
    for (int i = index;; ++i) {
        double mhz = 119.0 + i % 17 + (i % 4) * 0.025;
        std::snprintf(shown, sizeof(shown), "%7.3f", mhz);
        if (!ends_with(g_panel.last_main, shown)) break;  // must differ from what the panel shows
    }
    g_panel.main_lines.clear();
    Clock::time_point sent = Clock::now();
    std::fprintf(commands, "set COM STANDBY FREQUENCY:1 %s\n", shown);
    std::fflush(commands);
    Clock::time_point end = sent + std::chrono::milliseconds(kSampleTimeoutMs);
    while (Clock::now() < end) {
        serve_panel(1);
        for (const StampedText& l : g_panel.main_lines) {
            if (ends_with(l.text, shown)) {
                *ms = ms_between(sent, l.at);
                return true;
            }
        }
    }
    return false;
}

void print_summary(const char* label, const char* road, const std::vector<double>& samples) {
    LatencySummary s = summarize_latencies(samples);
    console_print("%s%-32s median %6.1f ms   90%% %6.1f ms   max %6.1f ms   (%d samples)\n", label, road, s.median,
                  s.p90, s.max, static_cast<int>(s.count));
}

bool parse_options(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!next) return false;
        if (std::strcmp(a, "--standin-log") == 0) {
            o->standin_log = next;
        } else if (std::strcmp(a, "--standin-commands") == 0) {
            o->standin_commands = next;
        } else if (std::strcmp(a, "--samples") == 0) {
            o->samples = std::atoi(next);
        } else if (std::strcmp(a, "--port") == 0) {
            o->port = static_cast<uint16_t>(std::atoi(next));
        } else if (std::strcmp(a, "--identity") == 0) {
            o->identity = next;
        } else if (std::strcmp(a, "--label") == 0) {
            o->label = next;
        } else {
            return false;
        }
        ++i;
    }
    return o->standin_log && o->standin_commands && o->samples > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, &options)) {
        console_print("usage: latency-probe --standin-log PATH --standin-commands PATH [--samples N] [--port N]"
                      " [--identity TEXT] [--label TEXT]\n");
        return 2;
    }
    g_panel.identity = options.identity;
    if (!open_panel(options.port)) {
        console_print("latency-probe: cannot listen on UDP port %u\n", options.port);
        return 1;
    }
    std::FILE* commands = std::fopen(options.standin_commands, "w");
    if (!commands) {
        console_print("latency-probe: cannot open %s\n", options.standin_commands);
        return 1;
    }
    // The reader blocks on the log for good, so it is left running at exit.
    std::thread(read_standin_log, options.standin_log).detach();

    Clock::time_point give_up = Clock::now() + std::chrono::seconds(kConnectSeconds);
    while (g_panel.last_main.empty() && Clock::now() < give_up) serve_panel(10);
    if (g_panel.last_main.empty()) {
        console_print("latency-probe: the program sent no display line within %d s\n", kConnectSeconds);
        return 1;
    }
    serve_panel_for(1000);  // past the start-up frames

    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> pause(kPauseMinMs, kPauseMinMs + kPauseSpanMs);
    std::vector<double> knob, round_trip, display;
    for (int i = 0; i < options.samples; ++i) {
        serve_panel_for(pause(random));
        double knob_ms, round_ms;
        if (!knob_sample(&knob_ms, &round_ms)) return 1;
        knob.push_back(knob_ms);
        round_trip.push_back(round_ms);
    }
    for (int i = 0; i < options.samples; ++i) {
        serve_panel_for(pause(random));
        double ms;
        if (!display_sample(commands, i, &ms)) {
            console_print("latency-probe: the panel did not show the new frequency within %d ms\n", kSampleTimeoutMs);
            return 1;
        }
        display.push_back(ms);
    }
    print_summary(options.label, "knob -> simulator event:", knob);
    print_summary(options.label, "simulator change -> panel line:", display);
    print_summary(options.label, "round trip R+ -> panel line:", round_trip);
    std::fclose(commands);
    platform::udp_close(g_panel.socket);
    std::_Exit(0);
}
