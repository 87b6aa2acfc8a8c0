// latency-probe: the latency benchmark's own COM1 panel. It answers the
// program's identity requests like the panel, and times three roads through
// the bridge:
//   knob:       "R+" sent to the program -> the stand-in logs the event;
//   round trip: the same "R+" -> the panel line showing the stepped frequency;
//   display:    a frequency set in the stand-in -> the panel line showing it.
// With --page-keys it plays a panel with pages instead (HUB1-Relay's, with
// its identity and port) and times one road only:
//   page:       a page key sent to the program -> the panel's new header line;
// the keys are sent in turn, so each must select another page than the last.
// With --flood N the panel also sends N datagrams a second of a code no
// panel knows ("Z") for the whole run: the figures then show whether a
// flooding panel holds up the frames.
// It reads the stand-in's log from a file or FIFO (each line stamped as it
// arrives) and writes the stand-in's commands to another. Every sample
// starts after a random pause, so that it lands at a random point of the
// program's loop. Not a test: it prints the figures and leaves judging them
// to the reader.
//
// Usage: latency-probe --standin-log PATH --standin-commands PATH
//                      [--samples N] [--port N] [--identity TEXT] [--label TEXT]
//                      [--page-keys KEYS] [--flood N]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "core/console.h"
#include "tools/latency_probe/latency_stats.h"
#include "tools/probe_panel/probe_link.h"
#include "tools/probe_panel/probe_options.h"
#include "tools/probe_panel/stamped_log.h"

namespace {

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
    uint16_t port = probe_port();
    const char* identity = probe_identity();
    const char* label = "";
    const char* page_keys = nullptr;  // one key a character
    int flood = 0;                    // datagrams a second
};

// Only the stand-in's events are looked for.
StampedLog g_log;
ProbeLink g_link;
// The lines one display element received since the last clear, and the
// last one it received.
struct ElementLines {
    std::deque<StampedText> lines;
    std::string last;
};
ElementLines g_main;    // "F>"
ElementLines g_header;  // "H>"

void keep_line(ElementLines* element, const StampedText& t) {
    element->lines.push_back(t);
    if (element->lines.size() > 1000) element->lines.pop_front();
    element->last = t.text;
}

// The flood: datagrams a second, and since when.
int g_flood_rate = 0;
ProbeClock::time_point g_flood_start;
long g_flood_sent = 0;

// Sends what the flood owes by now; at most a thousand at a time, so that
// the panel still serves its link when the machine falls behind.
void keep_flooding() {
    if (g_flood_rate <= 0) return;
    double seconds = std::chrono::duration<double>(ProbeClock::now() - g_flood_start).count();
    long due = static_cast<long>(seconds * g_flood_rate);
    for (int i = 0; i < 1000 && g_flood_sent < due; ++i, ++g_flood_sent) probe_link_send(&g_link, "Z");
}

// Waits up to wait_ms for datagrams and takes every one waiting; main and
// header lines are kept with their arrival time.
void serve_panel(int wait_ms) {
    keep_flooding();
    std::vector<StampedText> texts;
    probe_link_serve(&g_link, wait_ms, &texts);
    for (const StampedText& t : texts) {
        if (t.text.compare(0, 2, "F>") == 0) keep_line(&g_main, t);
        if (t.text.compare(0, 2, "H>") == 0) keep_line(&g_header, t);
    }
}

void serve_panel_for(int ms) {
    ProbeClock::time_point end = ProbeClock::now() + std::chrono::milliseconds(ms);
    while (ProbeClock::now() < end) serve_panel(1);
}

bool ends_with(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The first line of the element since the last clear that differs from
// `shown`.
bool find_changed_line(const ElementLines& element, const std::string& shown, ProbeClock::time_point* at) {
    for (const StampedText& l : element.lines) {
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
    stamped_log_clear(&g_log);
    g_main.lines.clear();
    std::string shown = g_main.last;
    ProbeClock::time_point sent = ProbeClock::now();
    probe_link_send(&g_link, "R+");
    ProbeClock::time_point end = sent + std::chrono::milliseconds(kSampleTimeoutMs);
    ProbeClock::time_point arrived, seen;
    bool have_event = false;
    while (ProbeClock::now() < end) {
        serve_panel(1);
        if (!have_event && stamped_log_find(&g_log, " COM_RADIO_WHOLE_INC ", &arrived)) {
            *knob_ms = ms_between(sent, arrived);
            have_event = true;
        }
        if (have_event && find_changed_line(g_main, shown, &seen)) {
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
        if (!ends_with(g_main.last, shown)) break;  // must differ from what the panel shows
    }
    g_main.lines.clear();
    ProbeClock::time_point sent = ProbeClock::now();
    std::fprintf(commands, "set COM STANDBY FREQUENCY:1 %s\n", shown);
    std::fflush(commands);
    ProbeClock::time_point end = sent + std::chrono::milliseconds(kSampleTimeoutMs);
    while (ProbeClock::now() < end) {
        serve_panel(1);
        for (const StampedText& l : g_main.lines) {
            if (ends_with(l.text, shown)) {
                *ms = ms_between(sent, l.at);
                return true;
            }
        }
    }
    return false;
}

// One page sample: the key to the program until the panel receives a
// header other than the one it showed. Nothing else changes the header.
bool page_sample(char key, double* ms) {
    g_header.lines.clear();
    std::string shown = g_header.last;
    const char text[2] = {key, '\0'};
    ProbeClock::time_point sent = ProbeClock::now();
    probe_link_send(&g_link, text);
    ProbeClock::time_point end = sent + std::chrono::milliseconds(kSampleTimeoutMs);
    ProbeClock::time_point seen;
    while (ProbeClock::now() < end) {
        serve_panel(1);
        if (find_changed_line(g_header, shown, &seen)) {
            *ms = ms_between(sent, seen);
            return true;
        }
    }
    console_print("latency-probe: no new header within %d ms of the page key \"%s\"\n", kSampleTimeoutMs, text);
    return false;
}

void print_summary(const char* label, const char* road, const std::vector<double>& samples) {
    LatencySummary s = summarize_latencies(samples);
    console_print("%s%-32s median %6.1f ms   90%% %6.1f ms   max %6.1f ms   (%d samples)\n", label, road, s.median,
                  s.p90, s.max, static_cast<int>(s.count));
}

// Each sample starts after a random pause; the same pauses in every run.
struct SamplePauses {
    std::mt19937 random{20240611};
    std::uniform_int_distribution<int> span{kPauseMinMs, kPauseMinMs + kPauseSpanMs};
    void next() { serve_panel_for(span(random)); }
};

bool measure_knob_and_display(const Options& options, std::FILE* commands) {
    SamplePauses pause;
    std::vector<double> knob, round_trip, display;
    for (int i = 0; i < options.samples; ++i) {
        pause.next();
        double knob_ms, round_ms;
        if (!knob_sample(&knob_ms, &round_ms)) return false;
        knob.push_back(knob_ms);
        round_trip.push_back(round_ms);
    }
    for (int i = 0; i < options.samples; ++i) {
        pause.next();
        double ms;
        if (!display_sample(commands, i, &ms)) {
            console_print("latency-probe: the panel did not show the new frequency within %d ms\n", kSampleTimeoutMs);
            return false;
        }
        display.push_back(ms);
    }
    print_summary(options.label, "knob -> simulator event:", knob);
    print_summary(options.label, "round trip R+ -> panel line:", round_trip);
    print_summary(options.label, "simulator change -> panel line:", display);
    return true;
}

bool measure_pages(const Options& options) {
    SamplePauses pause;
    std::vector<double> page;
    size_t key_count = std::strlen(options.page_keys);
    for (int i = 0; i < options.samples; ++i) {
        pause.next();
        double ms;
        if (!page_sample(options.page_keys[static_cast<size_t>(i) % key_count], &ms)) return false;
        page.push_back(ms);
    }
    print_summary(options.label, "page key -> new header line:", page);
    return true;
}

bool parse_options(int argc, char** argv, Options* o) {
    const char* samples = nullptr;
    const char* port = nullptr;
    const char* flood = nullptr;
    const ProbeOption table[] = {
        {"--standin-log", &o->standin_log}, {"--standin-commands", &o->standin_commands}, {"--samples", &samples},
        {"--port", &port}, {"--identity", &o->identity}, {"--label", &o->label}, {"--page-keys", &o->page_keys},
        {"--flood", &flood}};
    if (!probe_parse_options(argc, argv, table, sizeof(table) / sizeof(table[0]))) return false;
    if (samples) o->samples = std::atoi(samples);
    if (port) o->port = static_cast<uint16_t>(std::atoi(port));
    if (flood) o->flood = std::atoi(flood);
    if (o->page_keys && !o->page_keys[0]) return false;
    return o->standin_log && o->standin_commands && o->samples > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, &options)) {
        console_print("usage: latency-probe --standin-log PATH --standin-commands PATH [--samples N] [--port N]"
                      " [--identity TEXT] [--label TEXT] [--page-keys KEYS] [--flood N]\n");
        return 2;
    }
    if (!probe_link_open(&g_link, options.port, options.identity)) {
        console_print("latency-probe: cannot listen on UDP port %u\n", options.port);
        return 1;
    }
    std::FILE* commands = std::fopen(options.standin_commands, "w");
    if (!commands) {
        console_print("latency-probe: cannot open %s\n", options.standin_commands);
        return 1;
    }
    stamped_log_start(&g_log, options.standin_log, "event: ");

    ProbeClock::time_point give_up = ProbeClock::now() + std::chrono::seconds(kConnectSeconds);
    while (g_header.last.empty() && ProbeClock::now() < give_up) serve_panel(10);
    if (g_header.last.empty()) {
        console_print("latency-probe: the program sent no display line within %d s\n", kConnectSeconds);
        return 1;
    }
    serve_panel_for(1000);  // past the start-up frames
    g_flood_rate = options.flood;
    g_flood_start = ProbeClock::now();

    bool measured = options.page_keys ? measure_pages(options) : measure_knob_and_display(options, commands);
    std::fclose(commands);
    platform::udp_close(g_link.socket);
    if (!measured) return 1;
    std::_Exit(0);
}
