// What changes when Relay-Launcher runs a program rather than the user: the
// launcher follows its programs by their console lines, and it must believe
// only what the program itself says, never a text a host on the network had
// the program echo. So for its programs it sets kRunByLauncherVariable, and
// under it every line that tells the simulator's or the panel's state begins
// with kStateLineMark, and text received from the network is printed with
// its line ends escaped too. Received text is always printed with every
// other control byte escaped (printable_text.h), so no datagram can put the
// mark anywhere, nor start a line of its own in the launcher's log. Started
// by hand, a program prints exactly what it always has.
#pragma once

#include "core/console.h"

inline constexpr char kRunByLauncherVariable[] = "RELAY_RUN_BY_LAUNCHER";
inline constexpr char kStateLineMark = '\x1e';

// True when the launcher runs this program (the variable is read once).
bool run_by_launcher();

// console_print for a line that tells a state: the line ends that lead the
// text, then the mark when the launcher runs the program, then the rest.
void console_print_state(const char* format, ...) RELAY_PRINTF(1, 2);

// The text of a line the program marked as telling its state, without the
// mark; null for any other line.
const char* state_line_text(const char* line);
