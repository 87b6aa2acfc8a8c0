// The one process-wide state record of Relay-Launcher: one slot per program
// (whether and how it runs, what its console said), the search, the log and
// the screen. Touched by the main thread only.
#pragma once

#include <cstdint>

#include "core/program_profile.h"
#include "launcher/launch_settings.h"
#include "launcher/launcher_log.h"
#include "launcher/output_lines.h"
#include "launcher/panel_search.h"
#include "launcher/program_status.h"
#include "launcher/restart_delay.h"
#include "launcher/simulator_watch.h"
#include "platform/child_process.h"
#include "platform/udp.h"

enum RunState : uint8_t {
    RUN_IDLE,     // not wanted: no panel answered and not in PROGRAMS
    RUN_OUTSIDE,  // its port was taken: it runs outside the launcher
    RUN_RUNNING,
    RUN_WAITING,  // ended; started again at restart_at_ms
    RUN_STOPPED,  // ended when the launcher ended
};

struct ProgramSlot {
    const ProgramProfile* profile;
    RunState run;
    platform::ChildProcess child;
    uint64_t started_ms;
    uint64_t restart_at_ms;
    uint32_t restarts;
    CrashBackoff backoff;
    const char* last_end;  // "ended", "crashed", "failed" (an error code), "no start"
    OutputLines output;
    char last_line[kOutputLineSize];
    char found_from[16];   // where its panel answered the launcher's search
    char found_identity[32];
};

constexpr int kRecentLines = 10;
constexpr int kRecentLineSize = 300;

struct LauncherState {
    char folder[1024];  // the launcher's own, where the programs are
    char run_folder[1024];     // where they run when not from folder (run_folder.h)
    int32_t interface_option;  // --interface N; -1 when not given
    LaunchSettings settings;
    ProgramSlot slots[PROGRAM_COUNT];
    ProgramStatus status[PROGRAM_COUNT];  // beside the slots, so they can be asked together

    bool adapter_found;
    Adapter adapter;
    PanelSearch search;
    bool searching;
    bool first_search_done;
    uint64_t search_ends_ms;
    uint64_t next_search_ms;  // 0: none planned

    platform::UdpSocket instance_socket;
    LauncherLog log;
    char recent[kRecentLines][kRecentLineSize];  // a ring: the last lines under the table
    int recent_next;
    bool table_on;  // the console shows the table, else plain lines
    bool keys_on;
    uint64_t started_ms;

    bool with_simulator;  // --with-simulator: ends once the simulator has gone
    SimulatorWatch watch;
};

extern LauncherState g_launcher;

// Puts the record into its start state.
void launcher_reset();
