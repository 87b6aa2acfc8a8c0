// --with-simulator, the mode the simulator starts the launcher in: the
// launcher goes away with the simulator. It keeps a simulator session of
// its own, opened through the programs' own client and asking for nothing:
// the end of that session (the quit message, or a broken link) is how it
// learns that the simulator has gone, whether or not any program runs.
//
// The session is opened from the launcher's folder, the current one, so the
// client reads the SimConnect.cfg the programs read (the folder they run
// from for a run only holds a copy of it). Until a first session opens the
// launcher tries again every second, quietly, however long the simulator
// takes to load. Once its session has ended it looks for a new one for
// 10 s: if none opens it ends (stopping every program), else it carries on.
// A session counts as open once the simulator has answered its opening: a
// simulator on its way out may still take a connection.
#pragma once

#include <cstdint>

#include "launcher/session_opener.h"
#include "simclient/sim_types.h"

constexpr uint64_t kSimulatorGoneGraceMs = 10000;
constexpr uint64_t kOpenRetryMs = 1000;

enum WatchPhase : uint8_t {
    WATCH_WAITING,  // no session yet: the simulator may still be loading
    WATCH_SESSION,  // the simulator answered the session's opening
    WATCH_GONE,     // the session ended at gone_since_ms
};

struct SimulatorWatch {
    WatchPhase phase;
    uint64_t gone_since_ms;
    uint64_t next_open_ms;
    SessionOpener* opener;  // made at the first attempt
    bool opening;           // an attempt is under way
    HANDLE_SIM session;     // the open session, answered or not; null when none
    bool answered;          // the simulator answered its opening
    bool quit;              // its quit message came
};

// One look from the launcher's loop; it never waits for the simulator. True
// when the launcher ends now.
bool simulator_watch_step(SimulatorWatch* watch, uint64_t now_ms);

// Another launcher was started by a simulator: one is loading. If this
// launcher was waiting for its session to come back, it waits for the new
// one as at its start, rather than ending while that simulator loads.
void simulator_watch_starting(SimulatorWatch* watch);

// Closes the session, once an attempt still under way is over, and ends the
// opener.
void simulator_watch_end(SimulatorWatch* watch);

// What a session did, each with a report line; for the step and the tests.
void watch_session_answered(SimulatorWatch* watch);
void watch_session_ended(SimulatorWatch* watch, bool quit, uint64_t now_ms);
// True (with a report line) once the session has been gone for the grace time.
bool watch_time_is_up(const SimulatorWatch* watch, uint64_t now_ms);
