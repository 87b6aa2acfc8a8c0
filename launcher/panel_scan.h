// When and for whom the launcher searches: at its start for all nine
// programs (SCAN=0: for those in PROGRAMS only), then every 10 s for those
// not running, and whenever the user presses r. A search's answers start the
// programs whose panels answered, and those in PROGRAMS.
#pragma once

#include <cstdint>

constexpr uint64_t kScanIntervalMs = 10000;

// Plans the first search now, on the adapter settle_adapter chose; without
// one starts the programs in PROGRAMS.
void scan_setup(uint64_t now_ms);

// Begins a due search, or ends a search whose time is up and acts on it.
void scan_step(uint64_t now_ms);

// Plans a search right away (the r key).
void scan_soon(uint64_t now_ms);

// Seconds until the next search; -1 while searching or when none is planned.
int scan_seconds_left(uint64_t now_ms);
