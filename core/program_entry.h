// Entry of every program: banner, the search for the simulator, the session
// loop and the final attempt. A panel program's main() is one call to this.
#pragma once

#include "core/program_profile.h"

// Runs the whole program; returns its exit code (0 after the simulator quit).
int run_program(ProgramId id, const PanelHooks* hooks);
