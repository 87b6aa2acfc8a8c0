// lossy-link-probe: the lossy-link benchmark's own COM1 panel, on a network
// that loses each datagram, in either direction, with a given probability.
// It answers the program's identity requests like the panel and presses
// keys ("R+", "R-", "S") at random moments 100 to 300 ms apart for the given
// time, then counts:
//   offline events: the program's offline lines on its console;
//   keys: sent, lost by the network, and arrived at the stand-in as events
//         (each of these keys makes exactly one), and so the keys the
//         program lost beyond those the network did;
//   the longest time the panel went without a display line.
// It follows the stand-in's log and the program's console as files. Not a
// test: it prints one row of figures and leaves judging them to the reader.
//
// Usage: lossy-link-probe --standin-log PATH --program-log PATH --seconds N
//                         --loss P [--seed N] [--label TEXT]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/program_profile.h"
#include "tools/probe_panel/probe_link.h"
#include "tools/probe_panel/probe_options.h"
#include "tools/probe_panel/stamped_log.h"

namespace {

constexpr int kConnectSeconds = 60;
constexpr int kKeyPauseMinMs = 100;
constexpr int kKeyPauseMaxMs = 300;
// After the last key: time for the keys still on their way, and for a
// reconnection under way, before the events are counted.
constexpr int kSettleMs = 3000;
const char* const kKeys[] = {"R+", "R-", "S"};

struct Options {
    const char* standin_log = nullptr;
    const char* program_log = nullptr;
    int seconds = 0;
    double loss = 0;
    uint32_t seed = 1;
    const char* label = "";
};

StampedLog g_events;   // the stand-in's events
StampedLog g_console;  // every line of the program's console
ProbeLink g_link;

// The longest time without a display line, from the start of the keys on.
struct DisplayGaps {
    ProbeClock::time_point last;
    double longest_ms;
};

// Serves the link for up to wait_ms; the display lines taken in count
// towards `gaps` when given. Returns how many were taken in.
size_t serve_panel(int wait_ms, DisplayGaps* gaps) {
    std::vector<StampedText> texts;
    probe_link_serve(&g_link, wait_ms, &texts);
    if (!gaps) return texts.size();
    for (const StampedText& t : texts) {
        double gap = ms_between(gaps->last, t.at);
        if (gap > gaps->longest_ms) gaps->longest_ms = gap;
        gaps->last = t.at;
    }
    return texts.size();
}

void serve_panel_for(int ms) {
    ProbeClock::time_point end = ProbeClock::now() + std::chrono::milliseconds(ms);
    while (ProbeClock::now() < end) serve_panel(1, nullptr);
}

// A console text of the program up to its first conversion or line end, to
// be looked for in its console.
std::string console_text(const char* message) {
    std::string text(message);
    size_t cut = text.find_first_of("%\n");
    return cut == std::string::npos ? text : text.substr(0, cut);
}

bool parse_options(int argc, char** argv, Options* o) {
    const char* seconds = nullptr;
    const char* loss = nullptr;
    const char* seed = nullptr;
    const ProbeOption table[] = {{"--standin-log", &o->standin_log}, {"--program-log", &o->program_log},
                                 {"--seconds", &seconds}, {"--loss", &loss}, {"--seed", &seed},
                                 {"--label", &o->label}};
    if (!probe_parse_options(argc, argv, table, sizeof(table) / sizeof(table[0]))) return false;
    if (!seconds || !loss) return false;
    o->seconds = std::atoi(seconds);
    o->loss = std::atof(loss);
    if (seed) o->seed = static_cast<uint32_t>(std::strtoul(seed, nullptr, 10));
    return o->standin_log && o->program_log && o->seconds > 0 && o->loss >= 0 && o->loss <= 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, &options)) {
        console_print("usage: lossy-link-probe --standin-log PATH --program-log PATH --seconds N --loss P"
                      " [--seed N] [--label TEXT]\n");
        return 2;
    }
    if (!probe_link_open(&g_link, probe_port(), probe_identity())) {
        console_print("lossy-link-probe: cannot listen on UDP port %u\n", probe_port());
        return 1;
    }
    link_loss_init(&g_link.loss, options.loss, options.seed);
    stamped_log_start(&g_events, options.standin_log, "event: ");
    stamped_log_start(&g_console, options.program_log, "");

    bool connected = false;
    ProbeClock::time_point give_up = ProbeClock::now() + std::chrono::seconds(kConnectSeconds);
    while (!connected && ProbeClock::now() < give_up) connected = serve_panel(10, nullptr) > 0;
    if (!connected) {
        console_print("lossy-link-probe: the program sent no display line within %d s\n", kConnectSeconds);
        return 1;
    }
    serve_panel_for(1000);  // past the start-up frames

    // Key moments and keys come from a generator of their own, so that the
    // losses of a seed do not depend on how many keys there were.
    std::mt19937 random(options.seed ^ 0x5eedu);
    std::uniform_int_distribution<int> pause(kKeyPauseMinMs, kKeyPauseMaxMs);
    std::uniform_int_distribution<int> key(0, static_cast<int>(sizeof(kKeys) / sizeof(kKeys[0])) - 1);
    ProbeClock::time_point start = ProbeClock::now();
    ProbeClock::time_point end = start + std::chrono::seconds(options.seconds);
    ProbeClock::time_point next_key = start + std::chrono::milliseconds(pause(random));
    DisplayGaps gaps{start, 0};
    long sent = 0, lost = 0;
    for (ProbeClock::time_point now = start; now < end; now = ProbeClock::now()) {
        serve_panel(1, &gaps);
        if (ProbeClock::now() < next_key) continue;
        ++sent;
        if (!probe_link_send(&g_link, kKeys[key(random)])) ++lost;
        next_key = ProbeClock::now() + std::chrono::milliseconds(pause(random));
    }
    // A panel left dark at the end counts until then.
    double longest_ms = std::max(gaps.longest_ms, ms_between(gaps.last, end));
    serve_panel_for(kSettleMs);

    const ProgramProfile* program = program_profile(PROGRAM_COMM1);
    long events = stamped_log_count(&g_events, "event: ", start);
    long offline = stamped_log_count(&g_console, console_text(program->offline_message).c_str(), start);
    long false_panels = stamped_log_count(&g_console, console_text(program->rejection_message).c_str(), start);
    double minutes = options.seconds / 60.0;
    console_print("%s %.1f | %.2f (%ld) | %ld / %ld / %ld | %ld | %.2f s |\n", options.label, minutes,
                  offline / minutes, offline, sent, lost, events, sent - lost - events, longest_ms / 1000);
    console_print("p=%g seed %u: identity requests %ld reached the panel, %ld lost on the way, %ld answers lost;"
                  " %ld display lines lost; %ld keys reported as a false panel\n",
                  options.loss, options.seed, g_link.requests, g_link.requests_lost, g_link.answers_lost,
                  g_link.lines_lost, false_panels);
    platform::udp_close(g_link.socket);
    std::_Exit(0);
}
