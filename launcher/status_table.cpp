#include "launcher/status_table.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "launcher/launcher_report.h"
#include "launcher/launcher_state.h"
#include "launcher/panel_scan.h"
#include "launcher/program_runner.h"
#include "platform/console_screen.h"

namespace {

constexpr int kDefaultWidth = 120;
// Program, panel (address and version), simulator, panel state, uptime,
// restarts, last line: the last line starts in column 79.
constexpr char kRowFormat[] = "%-13s %-20s %-9s %-9s %-10s %-11s %s";

struct Screen {
    char text[16384];
    size_t length;
    int width;
};

// One line, cut to the console's width so that nothing wraps and the next
// drawing lands where this one did; the rest of the old line is cleared.
void put_line(Screen* screen, const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    int cut = screen->width - 1 < static_cast<int>(sizeof line) - 1 ? screen->width - 1 : sizeof line - 1;
    if (static_cast<int>(std::strlen(line)) > cut) line[cut] = '\0';
    for (char* p = line; *p; ++p) {
        if (*p == '\t') *p = ' ';  // a tab would throw the columns of the row out
    }
    int n = std::snprintf(screen->text + screen->length, sizeof screen->text - screen->length, "%s\x1b[K\n", line);
    if (n > 0 && screen->length + static_cast<size_t>(n) < sizeof screen->text) screen->length += static_cast<size_t>(n);
}

const char* simulator_text(SimulatorState s) {
    static const char* const kTexts[] = {"waiting", "connected", "lost", "ended"};
    return kTexts[s];
}

const char* panel_text(PanelState s) {
    static const char* const kTexts[] = {"searching", "connected", "offline"};
    return kTexts[s];
}

void put_program(Screen* screen, const ProgramSlot& slot, const ProgramStatus& status, uint64_t now_ms) {
    const char* name = slot.profile->name;
    if (slot.run == RUN_OUTSIDE && slot.outside_process) {
        put_line(screen, "%-13s runs outside the launcher (process %u)", name, slot.outside_process);
        return;
    }
    if (slot.run == RUN_OUTSIDE) {
        put_line(screen, "%-13s runs outside the launcher (its UDP port is taken)", name);
        return;
    }
    char panel[48];
    const char* from = status.panel_from[0] ? status.panel_from : slot.found_from;
    const char* version = std::strrchr(slot.found_identity, '_');
    std::snprintf(panel, sizeof panel, "%s%s%s", from[0] ? from : "-", version ? " v" : "", version ? version + 1 : "");
    char time[24];
    if (slot.run == RUN_RUNNING) {
        uint64_t s = (now_ms - slot.started_ms) / 1000;
        std::snprintf(time, sizeof time, "%u:%02u:%02u", static_cast<unsigned>(s / 3600),
                      static_cast<unsigned>(s / 60 % 60), static_cast<unsigned>(s % 60));
    } else if (slot.run == RUN_WAITING) {
        uint64_t left = slot.restart_at_ms > now_ms ? slot.restart_at_ms - now_ms : 0;
        std::snprintf(time, sizeof time, "in %u s", static_cast<unsigned>((left + 999) / 1000));
    } else {
        std::snprintf(time, sizeof time, "ended");
    }
    char restarts[24];
    std::snprintf(restarts, sizeof restarts, "%u %s", slot.restarts, slot.last_end ? slot.last_end : "");
    put_line(screen, kRowFormat, name, panel, simulator_text(status.simulator),
             panel_text(status.panel), time, restarts, last_words(&slot));
}

void put_heading(Screen* screen, uint64_t now_ms) {
    char where[64] = "no network adapter to search on";
    if (g_launcher.adapters_unsettled) {
        int left = scan_seconds_left(now_ms);
        if (g_launcher.searching) {
            std::snprintf(where, sizeof where, "searching for panels on every adapter");
        } else if (left >= 0) {
            std::snprintf(where, sizeof where, "no panel on any adapter yet, next search in %d s", left);
        } else {
            std::snprintf(where, sizeof where, "no panel on any adapter yet");
        }
    } else if (g_launcher.adapter_found) {
        char dotted[16];
        platform::format_ipv4(g_launcher.adapter.address, dotted, sizeof dotted);
        int left = scan_seconds_left(now_ms);
        if (g_launcher.searching) {
            std::snprintf(where, sizeof where, "searching for panels on %s", dotted);
        } else if (left >= 0) {
            std::snprintf(where, sizeof where, "panels on %s, next search in %d s", dotted, left);
        } else {
            std::snprintf(where, sizeof where, "panels on %s", dotted);
        }
    }
    put_line(screen, "%s - %s - q quits, r searches now", kLauncherName, where);
    put_line(screen, "");
    put_line(screen, kRowFormat, "Program", "Panel", "Simulator", "Panel", "Uptime", "Restarts", "Last line");
}

}  // namespace

void draw_table(uint64_t now_ms) {
    static Screen screen;
    screen.length = 0;
    screen.width = platform::console_columns();
    if (screen.width <= 0) screen.width = kDefaultWidth;
    put_heading(&screen, now_ms);
    int shown = 0;
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        const ProgramSlot& slot = g_launcher.slots[i];
        if (slot.run == RUN_IDLE) continue;
        put_program(&screen, slot, g_launcher.status[i], now_ms);
        ++shown;
    }
    if (shown == 0) put_line(&screen, "(no program running yet)");
    put_line(&screen, "");
    put_line(&screen, "Last lines:");
    for (int i = 0; i < kRecentLines; ++i) {
        const char* line = g_launcher.recent[(g_launcher.recent_next + i) % kRecentLines];
        if (line[0]) put_line(&screen, "%s", line);
    }
    std::fputs("\x1b[?25l\x1b[H", stdout);  // cursor hidden and home
    std::fwrite(screen.text, 1, screen.length, stdout);
    std::fputs("\x1b[J", stdout);  // whatever the last drawing left below
    std::fflush(stdout);
}

void leave_table() {
    std::fputs("\x1b[?25h", stdout);
    std::fflush(stdout);
}
