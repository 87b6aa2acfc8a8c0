#include "launcher/outside_programs.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "launcher/launcher_report.h"
#include "launcher/launcher_state.h"
#include "launcher/program_runner.h"
#include "platform/process_folder.h"
#include "platform/process_list.h"

namespace {

// The program an executable file name belongs to, the suffix in any case.
ProgramId program_of(const char* executable) {
    size_t length = std::strlen(executable), suffix = std::strlen(platform::kExecutableSuffix);
    if (length <= suffix || length - suffix >= 32) return PROGRAM_COUNT;
    for (size_t i = 0; i < suffix; ++i) {
        if (std::tolower(static_cast<unsigned char>(executable[length - suffix + i])) !=
            std::tolower(static_cast<unsigned char>(platform::kExecutableSuffix[i])))
            return PROGRAM_COUNT;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%.*s", static_cast<int>(length - suffix), executable);
    return program_named(name);
}

bool is_our_child(uint32_t id) {
    for (const ProgramSlot& slot : g_launcher.slots) {
        if (slot.child.running && slot.child.id == id) return true;
    }
    return false;
}

void take_process(void* context, uint32_t id, const char* executable) {
    ProgramId program = program_of(executable);
    if (program == PROGRAM_COUNT || is_our_child(id)) return;
    static_cast<uint32_t*>(context)[program] = id;
}

}  // namespace

void find_outside_programs(uint32_t* process_ids) {
    std::memset(process_ids, 0, sizeof(uint32_t) * PROGRAM_COUNT);
    if (!platform::list_processes(take_process, process_ids))
        std::memset(process_ids, 0, sizeof(uint32_t) * PROGRAM_COUNT);
}

void note_outside_programs(const uint32_t* process_ids) {
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        ProgramSlot* slot = &g_launcher.slots[i];
        bool free = slot->run == RUN_IDLE || slot->run == RUN_WAITING || slot->run == RUN_OUTSIDE;
        if (process_ids[i] && free) {
            if (slot->run != RUN_OUTSIDE || slot->outside_process == 0) {
                report("%s already runs outside the launcher (process %u): not started, and its panel not "
                       "searched for while it runs",
                       slot->profile->name, process_ids[i]);
            }
            slot->run = RUN_OUTSIDE;
            slot->outside_process = process_ids[i];
        } else if (!process_ids[i] && slot->run == RUN_OUTSIDE && slot->outside_process) {
            report("%s no longer runs outside the launcher", slot->profile->name);
            slot->run = RUN_IDLE;
            slot->outside_process = 0;
        }
    }
}

void watch_outside_programs(uint64_t now_ms) {
    if (now_ms < g_launcher.next_outside_check_ms) return;
    g_launcher.next_outside_check_ms = now_ms + kOutsideCheckMs;
    bool was_outside[PROGRAM_COUNT];
    bool watched = false;
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        was_outside[i] = g_launcher.slots[i].outside_process != 0;
        watched = watched || was_outside[i];
    }
    if (!watched) return;
    uint32_t outside[PROGRAM_COUNT];
    find_outside_programs(outside);
    note_outside_programs(outside);
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        if (was_outside[i] && g_launcher.settings.always[i] && g_launcher.slots[i].run == RUN_IDLE)
            start_program(&g_launcher.slots[i], now_ms);
    }
}
