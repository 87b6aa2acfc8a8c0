#include "launcher/command_line.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/console.h"
#include "launcher/autostart/autostart.h"

namespace {

struct OptionRow {
    const char* name;
    const char* value_name;  // null: the option takes no value
    const char* help;
    bool (*apply)(LaunchOptions* options, const char* value);
};

bool set_help(LaunchOptions* options, const char*) {
    options->help = true;
    return true;
}

// The verb is checked where it is carried out.
bool set_autostart(LaunchOptions* options, const char* verb) {
    options->autostart = verb;
    return true;
}

bool set_with_simulator(LaunchOptions* options, const char*) {
    options->with_simulator = true;
    return true;
}

// An index as the adapter list shows it: decimal digits only.
bool set_interface(LaunchOptions* options, const char* value) {
    char* end;
    long index = std::strtol(value, &end, 10);
    if (!std::isdigit(static_cast<unsigned char>(value[0])) || *end != '\0' || index > INT32_MAX) return false;
    options->interface_given = true;
    options->interface_index = static_cast<int32_t>(index);
    return true;
}

bool set_end_running(LaunchOptions* options, const char*) {
    options->end_running = true;
    return true;
}

const OptionRow kOptions[] = {
    {"--help", nullptr, "this text", set_help},
    {"--autostart", "on|off|status", "start with the simulator: on, off, status (Windows)", set_autostart},
    {kAutostartCommandLine, nullptr, "as the simulator starts it: end with its session", set_with_simulator},
    {"--interface", "N", "use network adapter N for this run; Avionics-Panel.cfg stays as it is", set_interface},
    {"--end-running", nullptr, "ask the Relay-Launcher running here to end, and wait for it", set_end_running},
};

const OptionRow* find_option(const char* name) {
    if (std::strcmp(name, "-h") == 0) name = "--help";
    for (const OptionRow& row : kOptions) {
        if (std::strcmp(row.name, name) == 0) return &row;
    }
    return nullptr;
}

}  // namespace

bool parse_command_line(int argc, char** argv, LaunchOptions* options) {
    *options = LaunchOptions{};
    for (int i = 1; i < argc; ++i) {
        const OptionRow* row = find_option(argv[i]);
        if (!row) {
            console_print("Relay-Launcher: unknown option %s (--help lists them)\n", argv[i]);
            return false;
        }
        const char* value = nullptr;
        if (row->value_name) {
            if (i + 1 >= argc) {
                console_print("Relay-Launcher: %s needs %s\n", row->name, row->value_name);
                return false;
            }
            value = argv[++i];
        }
        if (!row->apply(options, value)) {
            console_print("Relay-Launcher: %s %s cannot be used\n", row->name, value ? value : "");
            return false;
        }
    }
    return true;
}

void print_usage() {
    console_print(
        "usage: Relay-Launcher [options]\n"
        "Finds the panels on the network, runs the program for each and keeps it\n"
        "running; settings in [LAUNCH] of Avionics-Panel.cfg beside it.\n"
        "Keys: q quits, r searches for panels now.\n");
    for (const OptionRow& row : kOptions) {
        char usage[64];
        std::snprintf(usage, sizeof usage, "%s %s", row.name, row.value_name ? row.value_name : "");
        console_print("  %-26s %s\n", usage, row.help);
    }
}
