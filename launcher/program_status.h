// What Relay-Launcher knows of a program from its console lines: whether it
// has the simulator, whether its panel is connected, and from where. Only
// the lines the program marked as telling its state count (run_by_launcher.h);
// they are compared whole with the texts the programs print, taken from where
// they print them (their profile and the session's console texts).
#pragma once

#include <cstdint>

#include "core/program_profile.h"

// Lost and ended stay until the next session opens: they tell how the last
// one went while the program waits for the next.
enum SimulatorState : uint8_t {
    SIM_WAITING,    // looking for the simulator, no session yet
    SIM_CONNECTED,  // in a session
    SIM_LOST,       // the simulator went away without quitting
    SIM_ENDED,      // the session ended (the simulator quit)
};

enum PanelState : uint8_t {
    PANEL_SEARCHING,  // not found yet in this session
    PANEL_CONNECTED,
    PANEL_OFFLINE,  // found, then it stopped answering; searched again
};

struct ProgramStatus {
    SimulatorState simulator;
    PanelState panel;
    char panel_from[16];   // the address in the last connection message
};

// A program (re)started: searching, and waiting unless a session of its has
// been lost or has ended.
void status_started(ProgramStatus* status);

// Applies one line as the program printed it (line ends and spinner glyphs
// taken out; an unfinished line may be passed too). True when the status
// changed.
bool status_apply_line(const ProgramProfile* program, const char* line, ProgramStatus* status);

// The program ended. An end with code 0 during a session follows the
// simulator's quit message: the session ended. After any other end nothing
// is known of the simulator.
void status_ended(ProgramStatus* status, bool clean);
