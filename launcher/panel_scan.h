// When and for whom the launcher searches: at its start for all nine
// programs (SCAN=0: for those in PROGRAMS only), then every 10 s for those
// not running, and whenever the user presses r. A search's answers start the
// programs whose panels answered, and those in PROGRAMS. Where several
// adapters are unsettled (no panel answered on any yet), the searches look on
// every adapter until panels answer. An adapter address that has gone is
// read again after the search that found it gone.
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

// Ends a search under way, its answers unused (the launcher ends).
void scan_stop();

// Seconds until the next search; -1 while searching or when none is planned.
int scan_seconds_left(uint64_t now_ms);
