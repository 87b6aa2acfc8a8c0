// The one process-wide state record of Relay-Launcher: one slot per program
// (whether and how it runs, what its console said), the search, the log and
// the screen. Touched by the main thread only.
#pragma once

#include <cstdint>

#include "core/program_profile.h"
#include "launcher/adapter_search.h"
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
    RUN_OUTSIDE,  // it runs outside the launcher: its process found, or its port taken
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
    bool restart_now;          // stopped to be started again at once (from another folder)
    uint32_t outside_process;  // RUN_OUTSIDE: the process running it; 0 when its port was taken
    int search_error;          // the last error reported for binding its port in a search
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
    uint32_t adapter_index;   // the adapter's interface index, to read its address again
    bool adapter_lost;        // its address has gone and no other has come yet
    bool adapters_unsettled;  // several adapters and no panel answered yet on any
    PanelSearch search;
    AdapterSearch adapter_search;  // on every adapter, while they are unsettled
    bool searching;
    bool searching_all;  // the search under way is adapter_search
    bool first_search_done;
    uint64_t search_ends_ms;
    uint64_t next_search_ms;  // 0: none planned
    uint64_t next_outside_check_ms;

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
