// Relay-Launcher's run from start to end: the programs' folder, the log, the
// settings, the first search, then the loop (programs, searches, keys,
// table) until q, Ctrl+C or a closed window; then every program is stopped.
#pragma once

// Returns the exit code: 0, or 1 when --interface names no adapter.
int run_launcher();
