// Ending the running Relay-Launcher from outside, as q in its window would:
// the running launcher takes such requests (platform/end_request.h), and
// --end-running sends one and waits until that launcher and its programs
// are gone. The uninstaller runs it before it removes the programs.
#pragma once

#include <cstdint>

// Time a launcher gets to stop its programs and go.
constexpr uint32_t kEndRunningWaitMs = 30000;

// The running launcher: starts taking requests.
void take_end_requests();

// True when a request came; says so in the log.
bool end_requested();

// --end-running. Exit code: 0 no launcher runs (any more), 1 one still runs
// (with a line saying what to do).
int end_running_launcher();
