// The live table of the whole cockpit, redrawn in place: one row per program
// the launcher runs or found running outside it, then the last lines from
// all programs, each tagged with its program.
#pragma once

#include <cstdint>

// Draws the table over the one before (escape sequences).
void draw_table(uint64_t now_ms);

// Leaves the table as it stands, the cursor below it and visible again.
void leave_table();
