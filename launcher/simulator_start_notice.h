// A launcher the simulator starts while another one serves the cockpit
// leaves the cockpit to that one and tells it that a simulator is starting:
// one datagram to the serving launcher's instance port on the loopback
// address (nothing from the network can reach it there). A serving launcher
// that waits for its simulator session to come back then waits for the new
// simulator as long as it loads, instead of ending after its 10 s while a
// simulator restarted at once is still loading, with no launcher left for
// it.
#pragma once

// From the launcher that leaves the cockpit to the other.
void send_simulator_start_notice();

// From the serving launcher's loop: true when a notice came to its instance
// port since the last look; never waits.
bool simulator_start_notice_came();
