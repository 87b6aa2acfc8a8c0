// Relay-Launcher: one window for the whole cockpit. Finds the panels on the
// network, runs the relay program for each, keeps them running and shows
// them in one live table.
#include "core/console.h"
#include "launcher/autostart/autostart.h"
#include "launcher/command_line.h"
#include "launcher/end_running.h"
#include "launcher/instance_lock.h"
#include "launcher/launcher_loop.h"
#include "launcher/launcher_report.h"
#include "launcher/launcher_state.h"
#include "launcher/simulator_start_notice.h"
#include "platform/console_window.h"
#include "platform/process_folder.h"

int main(int argc, char** argv) {
    LaunchOptions options;
    if (!parse_command_line(argc, argv, &options)) return 2;
    if (options.help) {
        print_usage();
        return 0;
    }
    if (options.end_running) return end_running_launcher();
    // Only the simulator's start list: allowed while the cockpit runs, so
    // no instance lock, no log, no program started.
    if (options.autostart) return autostart_run(options.autostart);
    // Started by the simulator: out of its way, in the task bar.
    if (options.with_simulator) platform::console_window_minimize_own(kLauncherName);
    launcher_reset();
    g_launcher.with_simulator = options.with_simulator;
    g_launcher.interface_option = options.interface_given ? options.interface_index : -1;
    // Before anything is touched: a second launcher changes nothing.
    InstanceLock lock = take_instance_lock();
    // Started with the simulator: the other launcher either serves the new
    // simulator too, or is ending, and this one then serves it instead.
    if (lock == LOCK_HELD_ELSEWHERE && options.with_simulator) lock = leave_or_take_over();
    if (lock == LOCK_FAILED) return 1;
    if (lock == LOCK_HELD_ELSEWHERE) {
        // The simulator's start list must not see a failure: the cockpit is served.
        if (options.with_simulator) {
            console_print(
                "Relay-Launcher: another Relay-Launcher is already serving the cockpit on this computer.\n"
                "Nothing was started or stopped.\n");
            return 0;
        }
        console_print(
            "Relay-Launcher: the ports are taken: another Relay-Launcher is running on this computer (UDP port %u).\n"
            "Nothing was started or stopped.\n",
            kLauncherPort);
        return 1;
    }
    // The programs, their Avionics-Panel.cfg and the log are beside the
    // launcher, whatever folder it was started from.
    if (!platform::executable_folder(g_launcher.folder, sizeof g_launcher.folder) ||
        !platform::change_directory(g_launcher.folder)) {
        console_print("Relay-Launcher: cannot find or enter its own folder\n");
        return 1;
    }
    int rc = run_launcher();
    release_instance_lock();
    return rc;
}
