#include "launcher/adapter_search.h"

#include <cstdio>

#include "core/interface_choice.h"

int adapter_candidates(const platform::InterfaceTable& table, AdapterFinding* findings, int most) {
    int count = 0;
    for (uint32_t i = 0; i < table.count; ++i) {
        const platform::InterfaceRow& row = table.rows[i];
        // A second address of an adapter is never chosen: the first one is.
        if (row.address == 0 || choose_interface(table, static_cast<int32_t>(row.index)) != &row) continue;
        if (count < most) findings[count] = AdapterFinding{row.index, {row.address, row.mask}, {}, 0};
        ++count;
    }
    return count;
}

void search_adapters(const LaunchSettings& settings, AdapterFinding* findings, int count) {
    SearchTarget targets[PROGRAM_COUNT];
    for (int i = 0; i < PROGRAM_COUNT; ++i)
        targets[i] = {static_cast<ProgramId>(i), settings.vran_port[i], settings.recv_port[i]};
    static PanelSearch searches[kMostAdapters];
    Adapter adapters[kMostAdapters] = {};
    if (count > kMostAdapters) count = kMostAdapters;
    for (int a = 0; a < count; ++a) adapters[a] = findings[a].adapter;
    search_panels(searches, adapters, count, targets, PROGRAM_COUNT, kSearchMs);
    for (int a = 0; a < count; ++a) {
        for (int i = 0; i < searches[a].count; ++i) {
            if (searches[a].results[i].outcome != SEARCH_ANSWERED) continue;
            findings[a].answered[searches[a].targets[i].program] = true;
            ++findings[a].panels;
        }
    }
}

void answered_panels(const AdapterFinding& finding, char* text, size_t size) {
    size_t used = 0;
    text[0] = '\0';
    for (int i = 0; i < PROGRAM_COUNT && used < size; ++i) {
        if (!finding.answered[i]) continue;
        int n = std::snprintf(text + used, size - used, "%s%s", used ? ", " : "",
                              program_profile(static_cast<ProgramId>(i))->section);
        if (n > 0) used += static_cast<size_t>(n);
    }
}
