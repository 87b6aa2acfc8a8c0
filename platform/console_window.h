// The console window of a program that a windowed program (the simulator)
// started: Windows makes it for that program alone, shown and in front,
// before the program's first line runs. Relay-Launcher, started so, puts it
// out of the simulator's way.
#pragma once

namespace platform {

// When the console window belongs to this process alone, gives it the title
// and minimizes it to the task bar, leaving the focus with the window that
// had it before. A console shared with a shell (a program started by hand)
// and a process without a console window are left as they are. POSIX has no
// such window. True when the window was minimized.
bool console_window_minimize_own(const char* title);

}  // namespace platform
