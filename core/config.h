// "Avionics-Panel.cfg": where it is looked for, and every key a program reads.
#pragma once

constexpr char kConfigFileName[] = "Avionics-Panel.cfg";

// Finds the file, reads the program's keys into g_bridge and reports them.
// Called by the first panel search of a run (of each session with
// STAY_RUNNING).
void load_config();

// Reads only STAY_RUNNING, without the file's location reports: for a session
// that ended before its first panel search read the file.
void load_stay_running();
