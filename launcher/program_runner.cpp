#include "launcher/program_runner.h"

#include <cstdio>
#include <cstring>

#include "core/printable_text.h"
#include "core/run_by_launcher.h"
#include "launcher/launcher_report.h"
#include "launcher/outside_programs.h"
#include "platform/env.h"
#include "platform/process_folder.h"

namespace {

// A stop must be over within 3 s: the rest of the time goes to the kill.
constexpr uint64_t kStopGraceMs = 2500;
constexpr uint64_t kKillWaitMs = 400;

int slot_index(const ProgramSlot* slot) { return static_cast<int>(slot - g_launcher.slots); }

ProgramStatus* status_of(const ProgramSlot* slot) { return &g_launcher.status[slot_index(slot)]; }

// A line as it would stand on the program's console: without the mark.
void shown_text(const char* line, char* out, size_t size) {
    const char* state = state_line_text(line);
    printable_text(state ? state : line, out, size);
}

void take_line(void* context, const char* line) {
    auto* slot = static_cast<ProgramSlot*>(context);
    shown_text(line, slot->last_line, sizeof slot->last_line);
    status_apply_line(slot->profile, line, status_of(slot));
    report_line(slot->profile->name, slot->last_line);
}

// Up to reads times what the program has written; bounded, so that a
// chattering program cannot hold up the others.
void read_output(ProgramSlot* slot, int reads) {
    char bytes[1024];
    for (int i = 0; i < reads; ++i) {
        int n = platform::child_read(&slot->child, bytes, sizeof bytes);
        if (n <= 0) return;
        output_feed(&slot->output, bytes, static_cast<size_t>(n), take_line, slot);
    }
}

void take_output(ProgramSlot* slot) {
    read_output(slot, 16);
    // An unfinished line may already tell the state (the spinner's lines).
    if (slot->output.length > 0) status_apply_line(slot->profile, slot->output.pending, status_of(slot));
}

// The rest of an ended program's output, which its end has closed.
void drain_output(ProgramSlot* slot) {
    read_output(slot, 256);
    output_flush(&slot->output, take_line, slot);
    platform::child_release(&slot->child);
}

void plan_restart(ProgramSlot* slot, bool abnormal, uint64_t ran_ms, uint64_t now_ms) {
    slot->restart_at_ms = now_ms + restart_delay_ms(&slot->backoff, abnormal, ran_ms);
    slot->run = RUN_WAITING;
}

void on_end(ProgramSlot* slot, const platform::ChildExit& exit, uint64_t now_ms) {
    drain_output(slot);
    if (slot->restart_now) {
        slot->restart_now = false;
        status_ended(status_of(slot), false);  // stopped by us: nothing known of the simulator
        slot->run = RUN_WAITING;
        start_program(slot, now_ms);
        return;
    }
    bool abnormal = exit.crashed || exit.code != 0;
    slot->last_end = exit.crashed ? "crashed" : abnormal ? "failed" : "ended";
    status_ended(status_of(slot), !abnormal);
    plan_restart(slot, abnormal, now_ms - slot->started_ms, now_ms);
    char how[48];
    platform::child_exit_text(exit, how, sizeof how);
    report("%s %s (%s); starting it again in %u s", slot->profile->name, slot->last_end, how,
           static_cast<unsigned>((slot->restart_at_ms - now_ms + 500) / 1000));
}

}  // namespace

const char* last_words(const ProgramSlot* slot) {
    static char text[kOutputLineSize];
    if (slot->output.length == 0) return slot->last_line;
    shown_text(slot->output.pending, text, sizeof text);
    return text;
}

void start_program(ProgramSlot* slot, uint64_t now_ms) {
    // One copy per program on this computer: a copy started by hand is left
    // alone.
    uint32_t outside[PROGRAM_COUNT];
    find_outside_programs(outside);
    note_outside_programs(outside);
    if (slot->run == RUN_OUTSIDE) return;
    char path[sizeof g_launcher.folder + 64];
    std::snprintf(path, sizeof path, "%s%c%s%s", g_launcher.folder, platform::kPathSeparator, slot->profile->name,
                  platform::kExecutableSuffix);
    if (slot->run == RUN_WAITING) ++slot->restarts;
    output_clear(&slot->output);
    status_started(status_of(slot));
    slot->started_ms = now_ms;
    uint32_t error = 0;
    const char* folder = g_launcher.run_folder[0] ? g_launcher.run_folder : g_launcher.folder;
    platform::ChildStart started = platform::child_start(&slot->child, path, folder, &error);
    if (started != platform::CHILD_STARTED) {
        char text[160];
        error_words(error, text, sizeof text);
        plan_restart(slot, true, 0, now_ms);
        slot->last_end = "no start";
        if (started == platform::CHILD_NOT_TIED) {
            report("%s was ended at once: it cannot be tied to the launcher, and would outlive it unseen (%s); "
                   "trying again in %u s",
                   slot->profile->name, text, static_cast<unsigned>((slot->restart_at_ms - now_ms) / 1000));
        } else {
            report("%s cannot be started from %s: %s; trying again in %u s", slot->profile->name, path, text,
                   static_cast<unsigned>((slot->restart_at_ms - now_ms) / 1000));
        }
        return;
    }
    slot->run = RUN_RUNNING;
    report("started %s (process %u)", slot->profile->name, slot->child.id);
}

void service_program(ProgramSlot* slot, uint64_t now_ms) {
    if (slot->run == RUN_WAITING && now_ms >= slot->restart_at_ms) start_program(slot, now_ms);
    if (slot->run != RUN_RUNNING) return;
    take_output(slot);
    platform::ChildExit exit;
    if (platform::child_poll_exit(&slot->child, &exit)) on_end(slot, exit, now_ms);
}

void restart_program(ProgramSlot* slot, const char* why) {
    if (slot->run != RUN_RUNNING || slot->restart_now) return;
    report("starting %s again %s", slot->profile->name, why);
    slot->restart_now = true;
    // Ended at once: a program that ignored a stop request would never come
    // back, and one without its panel has nothing to finish.
    platform::child_kill(&slot->child);
}

void stop_all_programs() {
    bool asked[PROGRAM_COUNT] = {};
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        ProgramSlot* slot = &g_launcher.slots[i];
        if (slot->run != RUN_RUNNING) continue;
        asked[i] = platform::child_request_stop(&slot->child);
        if (!asked[i]) platform::child_kill(&slot->child);  // no way to ask: at once
    }
    uint64_t start = platform::monotonic_ms();
    uint64_t kill_at = start + kStopGraceMs;
    bool killed = false;
    for (;;) {
        uint64_t now = platform::monotonic_ms();
        int running = 0;
        for (int i = 0; i < PROGRAM_COUNT; ++i) {
            ProgramSlot* slot = &g_launcher.slots[i];
            if (slot->run != RUN_RUNNING) continue;
            take_output(slot);
            platform::ChildExit exit;
            if (!platform::child_poll_exit(&slot->child, &exit)) {
                ++running;
                continue;
            }
            drain_output(slot);
            slot->run = RUN_STOPPED;
            char how[48];
            platform::child_exit_text(exit, how, sizeof how);
            if (killed || !asked[i]) {
                report("%s ended: killed (%s)", slot->profile->name, how);
            } else {
                report("%s ended: stopped (%s)", slot->profile->name, how);
            }
        }
        if (running == 0) return;
        if (!killed && now >= kill_at) {
            for (ProgramSlot& slot : g_launcher.slots) {
                if (slot.run == RUN_RUNNING) platform::child_kill(&slot.child);
            }
            killed = true;
        } else if (killed && now >= kill_at + kKillWaitMs) {
            for (ProgramSlot& slot : g_launcher.slots) {
                if (slot.run == RUN_RUNNING) report("%s did not end, even when killed", slot.profile->name);
            }
            return;
        }
        platform::sleep_ms(20);
    }
}
