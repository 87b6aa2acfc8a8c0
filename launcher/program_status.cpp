#include "launcher/program_status.h"

#include <cstdio>
#include <cstring>

#include "core/console_texts.h"
#include "core/run_by_launcher.h"

namespace {

// The text without the line ends around it.
void bare_text(const char* text, const char** start, size_t* length) {
    while (*text == '\n') ++text;
    size_t n = std::strlen(text);
    while (n > 0 && text[n - 1] == '\n') --n;
    *start = text;
    *length = n;
}

bool line_is(const char* line, const char* text) {
    const char* start;
    size_t n;
    bare_text(text, &start, &n);
    return std::strlen(line) == n && std::strncmp(line, start, n) == 0;
}

// Matches a message format holding one "%s" and copies what stands there.
bool line_fits(const char* line, const char* format, char* value, size_t size) {
    const char* start;
    size_t n;
    bare_text(format, &start, &n);
    const char* hole = std::strstr(start, "%s");
    if (!hole || hole >= start + n) return false;
    size_t head = static_cast<size_t>(hole - start);
    size_t tail = n - head - 2;
    size_t length = std::strlen(line);
    if (length < head + tail || std::strncmp(line, start, head) != 0) return false;
    if (std::strncmp(line + length - tail, hole + 2, tail) != 0) return false;
    std::snprintf(value, size, "%.*s", static_cast<int>(length - head - tail), line + head);
    return true;
}

bool set_states(ProgramStatus* status, SimulatorState simulator, PanelState panel) {
    bool changed = status->simulator != simulator || status->panel != panel;
    status->simulator = simulator;
    status->panel = panel;
    return changed;
}

}  // namespace

void status_started(ProgramStatus* status) {
    set_states(status, status->simulator == SIM_CONNECTED ? SIM_WAITING : status->simulator, PANEL_SEARCHING);
    status->panel_from[0] = '\0';
}

bool status_apply_line(const ProgramProfile* program, const char* line, ProgramStatus* status) {
    // The program's own word only: whatever else it printed may have come
    // from the network.
    line = state_line_text(line);
    if (!line) return false;
    if (line_is(line, program->connection_line)) return set_states(status, SIM_CONNECTED, PANEL_SEARCHING);
    if (line_is(line, kSimulatorLostText)) return set_states(status, SIM_LOST, PANEL_SEARCHING);
    if (line_is(line, kSessionEndedText)) return set_states(status, SIM_ENDED, PANEL_SEARCHING);
    if (line_is(line, program->offline_message)) return set_states(status, status->simulator, PANEL_OFFLINE);
    for (const char* message : program->connect_message) {
        char from[sizeof status->panel_from];
        if (!message || !line_fits(line, message, from, sizeof from)) continue;
        bool changed = std::strcmp(from, status->panel_from) != 0;
        std::memcpy(status->panel_from, from, sizeof from);
        return set_states(status, status->simulator, PANEL_CONNECTED) || changed;
    }
    return false;
}

void status_ended(ProgramStatus* status, bool clean) {
    SimulatorState after = status->simulator;
    if (after == SIM_CONNECTED) after = clean ? SIM_ENDED : SIM_WAITING;
    set_states(status, after, PANEL_SEARCHING);
}
