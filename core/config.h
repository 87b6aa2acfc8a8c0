// "Avionics-Panel.cfg": where it is looked for, and every key a program reads.
#pragma once

#include <cstddef>

constexpr char kConfigFileName[] = "Avionics-Panel.cfg";
constexpr size_t kConfigPathSize = 1024;

// Finds the file, reads the program's keys into g_bridge and reports them.
// Called by the first panel search of a run (of each session with
// STAY_RUNNING).
void load_config();

// Reads only STAY_RUNNING, without the file's location reports: for a session
// that ended before its first panel search read the file.
void load_stay_running();

// load_config without a line on the console: for Relay-Launcher, which reads
// each program's keys (into g_bridge, for the program in g_program) to look
// for its panel the way the program will.
void load_config_quietly();

// Where the file is looked for, as load_config finds it (also when nothing is
// there); path holds kConfigPathSize bytes. Nothing is printed.
void config_file_path(char* path);
