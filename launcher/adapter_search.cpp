#include "launcher/adapter_search.h"

#include <cstdio>

#include "core/interface_choice.h"
#include "platform/env.h"

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

void adapter_search_begin(AdapterSearch* search, const LaunchSettings& settings, const uint32_t* outside,
                          int count) {
    SearchTarget targets[PROGRAM_COUNT];
    int programs = 0;
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        if (outside[i]) continue;
        targets[programs++] = {static_cast<ProgramId>(i), settings.vran_port[i], settings.recv_port[i]};
    }
    search->count = count < kMostAdapters ? count : kMostAdapters;
    for (int a = 0; a < search->count; ++a)
        search_begin(&search->searches[a], search->findings[a].adapter, targets, programs);
}

void adapter_search_collect(AdapterSearch* search) {
    for (int a = 0; a < search->count; ++a) search_collect(&search->searches[a]);
}

void adapter_search_end(AdapterSearch* search) {
    for (int a = 0; a < search->count; ++a) {
        PanelSearch* one = &search->searches[a];
        AdapterFinding* finding = &search->findings[a];
        search_end(one);
        for (int i = 0; i < one->count; ++i) {
            if (one->results[i].outcome != SEARCH_ANSWERED) continue;
            finding->answered[one->targets[i].program] = true;
            ++finding->panels;
        }
    }
}

void search_adapters(AdapterSearch* search, const LaunchSettings& settings, const uint32_t* outside, int count) {
    adapter_search_begin(search, settings, outside, count);
    uint64_t end = platform::monotonic_ms() + kSearchMs;
    while (platform::monotonic_ms() < end) {
        platform::sleep_ms(20);
        adapter_search_collect(search);
    }
    adapter_search_end(search);
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
