// Looking for the panels on every network adapter at once, for when nobody
// has said which one they are on: for each adapter that INTERFACE_INDEX can
// choose, every program's search from that adapter's address.
#pragma once

#include <cstdint>

#include "core/program_profile.h"
#include "launcher/launch_settings.h"
#include "launcher/panel_search.h"
#include "platform/udp.h"

// Adapters searched at most; the rest are not looked at.
constexpr int kMostAdapters = 16;

struct AdapterFinding {
    uint32_t index;  // the INTERFACE_INDEX that chooses this adapter
    Adapter adapter;
    bool answered[PROGRAM_COUNT];  // the program's panel answered here
    int panels;                    // how many answered
};

struct AdapterSearch {
    int count;  // adapters searched: the first of findings
    AdapterFinding findings[kMostAdapters];
    PanelSearch searches[kMostAdapters];
};

// The adapters the programs can be set to: for each index the row they take
// with it, never the loopback nor a row without an address. Fills at most
// `most` findings and returns how many adapters there are.
int adapter_candidates(const platform::InterfaceTable& table, AdapterFinding* findings, int most);

// Begins every program's search on each of the first count adapters of
// search->findings, all at once; nothing waits. The programs with a process
// in outside (find_outside_programs) are left out: their ports are theirs.
void adapter_search_begin(AdapterSearch* search, const LaunchSettings& settings, const uint32_t* outside,
                          int count);

// Takes every answer that has arrived, without waiting.
void adapter_search_collect(AdapterSearch* search);

// Takes the last answers, closes the sockets and notes in each finding
// which panels answered.
void adapter_search_end(AdapterSearch* search);

// The whole search, kSearchMs long.
void search_adapters(AdapterSearch* search, const LaunchSettings& settings, const uint32_t* outside, int count);

// "COM1, NAV2, XPDR": the panels that answered on the adapter.
void answered_panels(const AdapterFinding& finding, char* text, size_t size);
