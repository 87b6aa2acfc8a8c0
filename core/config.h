// "Avionics-Panel.cfg": where it is looked for, and every key a program reads.
#pragma once

constexpr char kConfigFileName[] = "Avionics-Panel.cfg";

// Finds the file, reads the program's keys into g_bridge and reports them.
// Called once per run, by the first panel search.
void load_config();
