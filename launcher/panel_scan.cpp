#include "launcher/panel_scan.h"

#include <cstring>

#include "launcher/adapter_choice.h"
#include "launcher/launcher_report.h"
#include "launcher/launcher_state.h"
#include "launcher/outside_programs.h"
#include "launcher/program_runner.h"

namespace {

// Programs to search for: those not running, at the first search without
// SCAN only those in PROGRAMS. A program running outside the launcher by
// its process is left alone: a bind on its port could make its own fail.
int collect_targets(SearchTarget* targets) {
    uint32_t outside[PROGRAM_COUNT];
    find_outside_programs(outside);
    note_outside_programs(outside);
    int count = 0;
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        const ProgramSlot& slot = g_launcher.slots[i];
        if (slot.run != RUN_IDLE && !(slot.run == RUN_OUTSIDE && slot.outside_process == 0)) continue;
        if (!g_launcher.first_search_done && !g_launcher.settings.scan && !g_launcher.settings.always[i]) continue;
        targets[count++] = {static_cast<ProgramId>(i), g_launcher.settings.vran_port[i],
                            g_launcher.settings.recv_port[i]};
    }
    return count;
}

void report_bind_error(ProgramSlot* slot, const SearchTarget& target, int error) {
    if (slot->search_error == error) return;  // said already
    slot->search_error = error;
    char text[160];
    error_words(static_cast<uint32_t>(error), text, sizeof text);
    report("cannot search for the %s panel: UDP port %u cannot be bound: %s", slot->profile->section,
           target.recv_port, text);
}

void act_on(const SearchTarget& target, const SearchResult& result, uint64_t now_ms) {
    ProgramSlot* slot = &g_launcher.slots[target.program];
    const char* name = slot->profile->name;
    // Started meanwhile, or found running by hand: nothing to act on.
    if ((slot->run != RUN_IDLE && slot->run != RUN_OUTSIDE) || slot->outside_process) return;
    if (result.outcome == SEARCH_PORT_TAKEN) {
        if (slot->run != RUN_OUTSIDE) {
            report("%s already runs outside the launcher (UDP port %u is taken, error %d): not started", name,
                   target.recv_port, result.bind_error);
        }
        slot->run = RUN_OUTSIDE;
        slot->outside_process = 0;
        return;
    }
    // Nothing learned of the port: the adapter is read again.
    if (result.outcome == SEARCH_ADDRESS_GONE && slot->run == RUN_OUTSIDE) return;
    if (result.outcome == SEARCH_CANNOT_BIND) {
        report_bind_error(slot, target, result.bind_error);
    } else if (result.outcome != SEARCH_ADDRESS_GONE) {
        slot->search_error = 0;
    }
    if (slot->run == RUN_OUTSIDE) report("%s no longer holds UDP port %u", name, target.recv_port);
    slot->run = RUN_IDLE;
    if (result.outcome == SEARCH_ANSWERED) {
        const char* version = std::strrchr(result.identity, '_');
        report("found the %s panel at %s, version %s (%s)", slot->profile->section, result.address,
               version ? version + 1 : "?", result.identity);
        std::memcpy(slot->found_from, result.address, sizeof slot->found_from);
        std::memcpy(slot->found_identity, result.identity, sizeof slot->found_identity);
        start_program(slot, now_ms);
    } else if (g_launcher.settings.always[target.program]) {
        start_program(slot, now_ms);
    }
}

// Without an adapter nobody can be searched for: PROGRAMS start as they are.
void start_listed(uint64_t now_ms) {
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        if (g_launcher.settings.always[i] && g_launcher.slots[i].run == RUN_IDLE)
            start_program(&g_launcher.slots[i], now_ms);
    }
}

void plan_next(uint64_t now_ms) {
    g_launcher.next_search_ms = g_launcher.settings.scan ? now_ms + kScanIntervalMs : 0;
}

void end_search(uint64_t now_ms) {
    search_end(&g_launcher.search);
    bool address_gone = false;
    for (int i = 0; i < g_launcher.search.count; ++i) {
        act_on(g_launcher.search.targets[i], g_launcher.search.results[i], now_ms);
        address_gone = address_gone || g_launcher.search.results[i].outcome == SEARCH_ADDRESS_GONE;
    }
    if (address_gone) {
        read_adapter_again();
    } else {
        g_launcher.adapter_lost = false;  // back: the next loss is told again
    }
    g_launcher.first_search_done = true;
    plan_next(now_ms);
}

// The programs started before the adapter was settled run where nothing
// names it: they start again from the folder that does.
void end_search_on_every_adapter(uint64_t now_ms) {
    adapter_search_end(&g_launcher.adapter_search);
    if (!settle_adapter_from_search()) {
        plan_next(now_ms);
        return;
    }
    if (g_launcher.run_folder[0]) {
        for (ProgramSlot& slot : g_launcher.slots) {
            if (slot.run == RUN_RUNNING) restart_program(&slot, "to use the adapter the panels are on");
        }
    }
    g_launcher.first_search_done = true;  // every program's panel is looked for now
    g_launcher.next_search_ms = now_ms;
}

void begin_search_on_every_adapter(uint64_t now_ms) {
    if (!search_every_adapter_again()) {
        plan_next(now_ms);
        return;
    }
    g_launcher.searching = true;
    g_launcher.searching_all = true;
    g_launcher.search_ends_ms = now_ms + kSearchMs;
}

}  // namespace

void scan_setup(uint64_t now_ms) {
    if (!g_launcher.adapter_found) {
        start_listed(now_ms);
        if (g_launcher.adapters_unsettled) plan_next(now_ms);
        return;
    }
    char dotted[16];
    platform::format_ipv4(g_launcher.adapter.address, dotted, sizeof dotted);
    report("searching for panels on %s", dotted);
    g_launcher.next_search_ms = now_ms;
}

void scan_step(uint64_t now_ms) {
    if (g_launcher.searching) {
        if (g_launcher.searching_all) {
            adapter_search_collect(&g_launcher.adapter_search);
        } else {
            search_collect(&g_launcher.search);
        }
        if (now_ms < g_launcher.search_ends_ms) return;
        g_launcher.searching = false;
        if (g_launcher.searching_all) {
            g_launcher.searching_all = false;
            end_search_on_every_adapter(now_ms);
        } else {
            end_search(now_ms);
        }
        return;
    }
    if (g_launcher.next_search_ms == 0 || now_ms < g_launcher.next_search_ms) return;
    if (!g_launcher.adapter_found) {
        if (g_launcher.adapters_unsettled) begin_search_on_every_adapter(now_ms);
        return;
    }
    SearchTarget targets[PROGRAM_COUNT];
    int count = collect_targets(targets);
    if (count == 0) {
        g_launcher.first_search_done = true;
        plan_next(now_ms);
        return;
    }
    search_begin(&g_launcher.search, g_launcher.adapter, targets, count);
    g_launcher.searching = true;
    g_launcher.search_ends_ms = now_ms + kSearchMs;
}

void scan_soon(uint64_t now_ms) {
    if ((g_launcher.adapter_found || g_launcher.adapters_unsettled) && !g_launcher.searching)
        g_launcher.next_search_ms = now_ms;
}

void scan_stop() {
    if (!g_launcher.searching) return;
    if (g_launcher.searching_all) {
        adapter_search_end(&g_launcher.adapter_search);
    } else {
        search_end(&g_launcher.search);
    }
    g_launcher.searching = false;
    g_launcher.searching_all = false;
}

int scan_seconds_left(uint64_t now_ms) {
    if (g_launcher.searching || g_launcher.next_search_ms == 0) return -1;
    uint64_t due = g_launcher.next_search_ms;
    return due <= now_ms ? 0 : static_cast<int>((due - now_ms + 999) / 1000);
}
