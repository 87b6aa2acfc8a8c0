// Relay-Launcher's command line, as a table of options: each row names an
// option, whether it takes a value, its help line and what it sets.
#pragma once

#include <cstdint>

struct LaunchOptions {
    bool help;
    const char* autostart;  // --autostart's verb; null: not asked
    bool with_simulator;
    bool interface_given;     // --interface N
    int32_t interface_index;  // N
    bool end_running;         // --end-running
};

// Fills options; false (after a console line saying why) when the command
// line cannot be used.
bool parse_command_line(int argc, char** argv, LaunchOptions* options);

void print_usage();
