// acceleration-probe: the acceleration benchmark's own panel. It plays the
// two-knob panel of one program and turns one knob, counting the steps that
// reach the stand-in:
//   obs:      NAV1-Relay's panel on the CDI page in OBS select, the OBS from
//             0 to 180 degrees on the one-degree knob;
//   fraction: COMM1-Relay's panel, the standby frequency's fraction across
//             the megahertz, 118.000 to 118.975 (39 channels of 25 kHz).
// The fast turn sends a detent every --interval ms (default 20) until the
// stand-in has taken every step of the turn, and reports the detents and
// the time from the first detent to the last step. The slow turn then sends
// ten detents 200 ms apart and reports the steps they made: one a detent,
// whatever the configuration. Not a test: it prints the figures.
//
// Usage: acceleration-probe --turn obs|fraction --standin-log PATH
//                           --standin-commands PATH [--interval MS] [--label TEXT]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/console.h"
#include "core/program_profile.h"
#include "tools/probe_panel/probe_link.h"
#include "tools/probe_panel/probe_options.h"
#include "tools/probe_panel/stamped_log.h"

namespace {

constexpr int kConnectSeconds = 60;
constexpr int kSlowDetents = 10;
constexpr int kSlowIntervalMs = 200;
// Time for the stand-in to log what the program sent, and for a key's mode
// to be in place, before the probe goes on.
constexpr int kSettleMs = 300;

// One knob turn the benchmark makes.
struct KnobTurn {
    const char* name;
    ProgramId program;          // whose two-knob panel the probe plays
    const char* description;    // for the report
    const char* setup_keys[3];  // sent before the turn; null-ended
    const char* start_command;  // puts the stand-in where the turn starts
    const char* detent;         // one detent of the knob
    const char* event;          // the event of one step, as the stand-in logs it
    long steps;                 // steps of the whole turn
};

const KnobTurn kTurns[] = {
    {"obs", PROGRAM_NAV1, "NAV1 OBS 0 to 180 degrees", {"M", "P", nullptr}, "set NAV OBS:1 0", "R2R",
     " VOR1_OBI_INC ", 180},
    {"fraction", PROGRAM_COMM1, "COM1 fraction across the MHz", {nullptr}, "set COM STANDBY FREQUENCY:1 118.000",
     "R1+", " COM_RADIO_FRACT_INC ", 39},
};

StampedLog g_log;
ProbeLink g_link;
std::vector<StampedText> g_lines;  // what the program sent the panel

void serve_for(int ms) {
    ProbeClock::time_point end = ProbeClock::now() + std::chrono::milliseconds(ms);
    while (ProbeClock::now() < end) probe_link_serve(&g_link, 1, &g_lines);
}

void serve_until(ProbeClock::time_point when) {
    while (ProbeClock::now() < when) probe_link_serve(&g_link, 1, &g_lines);
}

void command(std::FILE* commands, const char* text) {
    std::fprintf(commands, "%s\n", text);
    std::fflush(commands);
}

struct FastTurn {
    long detents = 0;
    double seconds = 0;
    long steps_sent = 0;  // more than the turn's when the last detent went past
};

// Detents until the stand-in has taken every step; false when even one
// detent a step (and some to spare) did not get there.
bool fast_turn(const KnobTurn& turn, int interval_ms, FastTurn* out) {
    ProbeClock::time_point first = ProbeClock::now();
    long most = turn.steps + 20;
    for (long i = 0; i < most; ++i) {
        serve_until(first + std::chrono::milliseconds(interval_ms * i));
        if (stamped_log_count(&g_log, turn.event, first) >= turn.steps) break;
        probe_link_send(&g_link, turn.detent);
        ++out->detents;
    }
    serve_for(kSettleMs);
    ProbeClock::time_point last;
    if (!stamped_log_find_nth(&g_log, turn.event, first, turn.steps, &last)) return false;
    out->seconds = ms_between(first, last) / 1000.0;
    out->steps_sent = stamped_log_count(&g_log, turn.event, first);
    return true;
}

long slow_turn(const KnobTurn& turn) {
    ProbeClock::time_point first = ProbeClock::now();
    for (int i = 0; i < kSlowDetents; ++i) {
        serve_until(first + std::chrono::milliseconds(kSlowIntervalMs * i));
        probe_link_send(&g_link, turn.detent);
    }
    serve_for(kSettleMs);
    return stamped_log_count(&g_log, turn.event, first);
}

const KnobTurn* find_turn(const char* name) {
    for (const KnobTurn& t : kTurns) {
        if (name && std::strcmp(t.name, name) == 0) return &t;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const char* turn_name = nullptr;
    const char* standin_log = nullptr;
    const char* standin_commands = nullptr;
    const char* interval_text = nullptr;
    const char* label = "";
    const ProbeOption table[] = {{"--turn", &turn_name},
                                 {"--standin-log", &standin_log},
                                 {"--standin-commands", &standin_commands},
                                 {"--interval", &interval_text},
                                 {"--label", &label}};
    bool parsed = probe_parse_options(argc, argv, table, sizeof table / sizeof table[0]);
    const KnobTurn* turn = find_turn(turn_name);
    int interval_ms = interval_text ? std::atoi(interval_text) : 20;
    if (!parsed || !turn || !standin_log || !standin_commands || interval_ms <= 0) {
        console_print("usage: acceleration-probe --turn obs|fraction --standin-log PATH --standin-commands PATH"
                      " [--interval MS] [--label TEXT]\n");
        return 2;
    }
    const ProgramProfile* program = program_profile(turn->program);
    uint16_t port = static_cast<uint16_t>(program->default_port + 1);  // the panel listens one above
    if (!probe_link_open(&g_link, port, program->identity[1])) {
        console_print("acceleration-probe: cannot listen on UDP port %u\n", port);
        return 1;
    }
    std::FILE* commands = std::fopen(standin_commands, "w");
    if (!commands) {
        console_print("acceleration-probe: cannot open %s\n", standin_commands);
        return 1;
    }
    stamped_log_start(&g_log, standin_log, "event: ");

    ProbeClock::time_point give_up = ProbeClock::now() + std::chrono::seconds(kConnectSeconds);
    while (g_lines.empty() && ProbeClock::now() < give_up) probe_link_serve(&g_link, 10, &g_lines);
    if (g_lines.empty()) {
        console_print("acceleration-probe: %s sent no display line within %d s\n", program->name, kConnectSeconds);
        return 1;
    }
    serve_for(1000);  // past the start-up frames
    for (const char* const* key = turn->setup_keys; *key; ++key) {
        probe_link_send(&g_link, *key);
        serve_for(kSettleMs);
    }
    command(commands, turn->start_command);
    serve_for(kSettleMs);

    FastTurn fast;
    if (!fast_turn(*turn, interval_ms, &fast)) {
        console_print("acceleration-probe: %s: %ld detents did not make %ld steps\n", turn->description,
                      fast.detents, turn->steps);
        return 1;
    }
    long slow_steps = slow_turn(*turn);
    console_print("%s%-29s fast, %d ms a detent: %4ld detents %5.2f s (%ld steps)   slow, %d ms a detent: "
                  "%d detents %ld steps\n",
                  label, turn->description, interval_ms, fast.detents, fast.seconds, fast.steps_sent,
                  kSlowIntervalMs, kSlowDetents, slow_steps);
    std::fclose(commands);
    platform::udp_close(g_link.socket);
    std::_Exit(0);
}
