#include "launcher/launcher_loop.h"

#include <cstdio>

#include "core/run_by_launcher.h"
#include "launcher/adapter_choice.h"
#include "launcher/end_running.h"
#include "launcher/launcher_report.h"
#include "launcher/launcher_state.h"
#include "launcher/outside_programs.h"
#include "launcher/panel_scan.h"
#include "launcher/program_runner.h"
#include "launcher/status_table.h"
#include "launcher/simulator_start_notice.h"
#include "launcher/simulator_watch.h"
#include "launcher/work_folder.h"
#include "platform/child_process.h"
#include "platform/console_screen.h"
#include "platform/env.h"
#include "platform/interrupt.h"
#include "platform/terminal.h"

namespace {

// One pass: what the programs said, their ends and restarts, the search.
constexpr int kPassMs = 100;
constexpr uint64_t kDrawIntervalMs = 1000;

// Beside the launcher, or where the user's own files go when that folder
// cannot take it (a read-only installation).
void open_log() {
    char path[sizeof g_launcher.folder + 32];
    std::snprintf(path, sizeof path, "%s%c%s", g_launcher.folder, platform::kPathSeparator, kLogFileName);
    if (log_open(&g_launcher.log, path, kLogLimitBytes)) return;
    char folder[sizeof g_launcher.folder];
    if (!make_work_folder(folder, sizeof folder)) return;
    std::snprintf(path, sizeof path, "%s%c%s", folder, platform::kPathSeparator, kLogFileName);
    if (log_open(&g_launcher.log, path, kLogLimitBytes))
        report("%s cannot take the log: it goes to %s", g_launcher.folder, path);
}

// Table and keys where there is a console for them; plain lines otherwise.
void set_up_console() {
    // Raw keys first: the interrupt flag's handlers must be the ones that
    // stay in place for Ctrl+C and a closed window.
    g_launcher.keys_on = platform::terminal_is_interactive() && platform::terminal_enter_raw();
    platform::install_interrupt_flag();
    g_launcher.table_on = platform::console_enable_escapes();
    if (g_launcher.table_on) std::fputs("\x1b[2J", stdout);
}

// --with-simulator: the simulator has gone and no new session opened in time.
// Notices of a starting simulator are answered in every mode: a launcher
// started by hand serves the new simulator as well.
bool simulator_gone_for_good(uint64_t now_ms) {
    bool starting = simulator_start_notice_came();
    if (!g_launcher.with_simulator) return false;
    if (starting) simulator_watch_starting(&g_launcher.watch);
    return simulator_watch_step(&g_launcher.watch, now_ms);
}

bool stop_asked() { return platform::interrupt_requested() || platform::terminal_stop_requested(); }

// Returns false when the user quits.
bool handle_keys(uint64_t now_ms) {
    if (!g_launcher.keys_on) {
        platform::sleep_ms(kPassMs);
        return true;
    }
    int key = platform::terminal_read_key(kPassMs);
    if (key == 'q' || key == 'Q' || key == platform::kKeyInterrupt) return false;
    if (key == 'r' || key == 'R') scan_soon(now_ms);
    return true;
}

}  // namespace

int run_launcher() {
    g_launcher.started_ms = platform::monotonic_ms();
    open_log();
    report("started in %s%s", g_launcher.folder,
           g_launcher.with_simulator ? ", with the simulator: ends once the simulator has gone" : "");
    read_launch_settings(&g_launcher.settings);
    // Early, so that --end-running sees a launcher still at the adapter
    // question as running.
    take_end_requests();
    // Before the table and raw keys: the choice may ask at the console. A
    // launcher the simulator started has nobody to answer.
    if (!settle_adapter(platform::terminal_is_interactive() && !g_launcher.with_simulator)) {
        log_close(&g_launcher.log);
        return 1;
    }
    set_up_console();
    if (!platform::children_end_with_us())
        report("the programs cannot be tied to the launcher: they would outlive it if it were killed");
    // Its programs mark the lines the launcher follows them by.
    if (!platform::set_environment_variable(kRunByLauncherVariable, "1"))
        report("the programs cannot be told that the launcher runs them: their states stay unknown");
    scan_setup(platform::monotonic_ms());

    uint64_t next_draw = 0;
    for (;;) {
        uint64_t now = platform::monotonic_ms();
        // Before any restart: once the simulator has gone, ending wins.
        if (simulator_gone_for_good(now)) break;
        scan_step(now);
        watch_outside_programs(now);
        for (ProgramSlot& slot : g_launcher.slots) service_program(&slot, now);
        if (g_launcher.table_on && now >= next_draw) {
            draw_table(now);
            next_draw = now + kDrawIntervalMs;
        }
        if (stop_asked() || end_requested() || !handle_keys(now)) break;
    }

    scan_stop();
    if (g_launcher.table_on) {
        draw_table(platform::monotonic_ms());
        leave_table();
        g_launcher.table_on = false;  // the lines of the end go below the table
    }
    report("ending: stopping every program");
    stop_all_programs();
    if (g_launcher.with_simulator) simulator_watch_end(&g_launcher.watch);
    report("ended");
    log_close(&g_launcher.log);
    platform::terminal_restore();
    return 0;
}
