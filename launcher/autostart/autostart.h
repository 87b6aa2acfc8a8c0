// Relay-Launcher's --autostart: registers the launcher in the simulator's
// add-on start list (exe.xml) of every installed edition of Microsoft Flight
// Simulator 2020 and 2024, so that the simulator starts the whole cockpit
// with itself; removes it again; or tells where it is registered. One line
// per edition says what became of it.
#pragma once

// The command line the simulator starts the launcher with.
extern const char kAutostartCommandLine[];

// Runs "on", "off" or "status" for the running program. Returns the exit
// code: 0 when every installed edition is as asked, 1 when not (with a
// message: no simulator found, a file left unchanged, a bad verb), 2 not
// available on this system.
int autostart_run(const char* verb);

// The same for the launcher at launcher_path (the full path of the .exe).
int autostart_run_for(const char* verb, const char* launcher_path);
