// What Relay-Launcher reads from Avionics-Panel.cfg: its own section
// [LAUNCH] (PROGRAMS, SCAN), which the nine programs do not read, and each
// program's link keys, read by the programs' own reader as each program
// reads them.
#pragma once

#include <cstdint>

#include "core/program_profile.h"

constexpr char kLaunchSection[] = "LAUNCH";

struct LaunchSettings {
    bool always[PROGRAM_COUNT];  // PROGRAMS: started whether a panel answered or not
    bool scan;                   // SCAN: search again every 10 s (default 1)
    int32_t interface_index;     // INTERFACE_INDEX in [NET]
    uint16_t vran_port[PROGRAM_COUNT];
    uint16_t recv_port[PROGRAM_COUNT];
};

// Reads everything, reporting what it cannot use (unknown program names).
void read_launch_settings(LaunchSettings* settings);

// The program of that name ("COMM1-Relay", in any case); PROGRAM_COUNT when
// none.
ProgramId program_named(const char* name);

// Marks the programs of a comma-separated list; reports names it does not
// know and goes on.
void mark_listed_programs(const char* list, bool* listed);
