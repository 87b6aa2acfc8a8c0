// --with-simulator, the mode the simulator starts the launcher in: the
// launcher goes away with the simulator. Once a session has come and gone
// (a program's session was lost or ended, and no program has the simulator)
// and no program connects again within 10 s, the launcher stops every
// program and ends with 0, rather than keeping them for a next session.
// Until then it runs as usual, restarts included, so that a program which
// lost the simulator but not for good can connect again. Programs that never
// had a session hold nothing up: before the first session the simulator may
// still be loading, and after one they may wait for a simulator that is gone.
#pragma once

#include <cstdint>

constexpr uint64_t kSessionGoneGraceMs = 10000;

struct SessionWatch {
    bool over;              // the session is over and the grace time runs
    uint64_t over_since_ms;
};

enum SessionWatchStep : uint8_t {
    WATCH_NOTHING_NEW,
    WATCH_SESSION_OVER,  // the grace time begins
    WATCH_SESSION_BACK,  // a program connected again within it
    WATCH_END,           // it passed: the launcher ends now
};

// One look, given whether the programs' session is over now.
SessionWatchStep watch_session(SessionWatch* watch, bool session_over, uint64_t now_ms);

// The launcher's look at its programs, with a report line for each change;
// true when the launcher ends now.
bool simulator_gone_for_good(uint64_t now_ms);
