// Programs of the nine that run on this computer but not as the launcher's
// children: started by hand, or by another tool. Such a program binds its
// port only once it has a simulator session, so until then only its process
// shows it. The launcher looks for it by the executable's name before it
// starts a program or searches on its port, and leaves it alone while it
// runs.
#pragma once

#include <cstdint>

#include "core/program_profile.h"

// How often programs shown as running outside are looked for again.
constexpr uint64_t kOutsideCheckMs = 10000;

// For each program the id of a process of its name that is not the
// launcher's own, else 0. All 0 when the process list cannot be read.
void find_outside_programs(uint32_t* process_ids);

// Brings the slots up to date with what find_outside_programs found: a
// program not running as the launcher's child and found running is shown as
// running outside (reported once); one shown so that no longer runs is free
// again.
void note_outside_programs(const uint32_t* process_ids);

// Every kOutsideCheckMs while a program is shown running outside by its
// process: looks again, and starts the programs in PROGRAMS that are free
// again.
void watch_outside_programs(uint64_t now_ms);
