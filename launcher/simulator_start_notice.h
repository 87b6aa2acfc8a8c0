// A launcher the simulator starts while another one serves the cockpit
// leaves the cockpit to that one and tells it that a simulator is starting:
// one datagram to the serving launcher's instance port on the loopback
// address (nothing from the network can reach it there). A serving launcher
// that waits for its simulator session to come back then waits for the new
// simulator as long as it loads, instead of ending after its 10 s while a
// simulator restarted at once is still loading, with no launcher left for
// it. It answers that it carries on. One that does not answer has stopped
// listening: it is on its way out (or hangs), and the new launcher waits for
// its instance port to serve the new simulator in its place.
#pragma once

#include <cstdint>

#include "launcher/instance_lock.h"

// How long a serving launcher may take to answer (one loop pass and a
// little), and how long one that does not answer may take to end.
constexpr int kNoticeAnswerMs = 2000;
constexpr uint64_t kTakeOverWaitMs = 30000;

// From a launcher started with the simulator that found the instance port
// held: LOCK_HELD_ELSEWHERE when the serving launcher answered that it
// carries on; else what taking the port gave once the other one ended, or
// LOCK_HELD_ELSEWHERE if it still holds it after kTakeOverWaitMs.
InstanceLock leave_or_take_over();

// From the serving launcher's loop: true when a notice came to its instance
// port since the last look (each one answered); never waits.
bool simulator_start_notice_came();
