// Looking for panels on one network adapter on behalf of several programs at
// once, as each program's own search does: a socket bound to the program's
// RECV_PORT on the adapter's address, "ID" to the adapter's broadcast
// address at VRAN_PORT + 1, and the answers compared with the program's
// identity texts. A port that cannot be bound belongs to the program itself,
// running outside the launcher.
#pragma once

#include <cstdint>

#include "core/program_profile.h"
#include "platform/udp.h"

// How long a search collects answers.
constexpr uint32_t kSearchMs = 1000;

struct Adapter {
    uint32_t address;  // network order
    uint32_t mask;
};

struct SearchTarget {
    ProgramId program;
    uint16_t vran_port;
    uint16_t recv_port;
};

enum SearchOutcome : uint8_t {
    SEARCH_NO_ANSWER,
    SEARCH_PORT_TAKEN,  // RECV_PORT could not be bound
    SEARCH_ANSWERED,    // the program's panel answered
};

struct SearchResult {
    SearchOutcome outcome;
    int variant;         // 1 or 2: which identity answered
    char identity[32];   // the identity text
    char address[16];    // where the answer came from, dotted
    int bind_error;      // with SEARCH_PORT_TAKEN
};

struct PanelSearch {
    int count;
    SearchTarget targets[PROGRAM_COUNT];
    platform::UdpSocket sockets[PROGRAM_COUNT];
    SearchResult results[PROGRAM_COUNT];
};

// Binds the sockets and sends the requests; results[i] belongs to
// targets[i]. Nothing waits.
void search_begin(PanelSearch* search, const Adapter& adapter, const SearchTarget* targets, int count);

// Takes every answer that has arrived, without waiting.
void search_collect(PanelSearch* search);

// Takes the last answers and closes the sockets.
void search_end(PanelSearch* search);

// Whole searches for the same programs on several adapters at once (one on
// each: searches[i] on adapters[i]): begin, collect for duration_ms, end.
void search_panels(PanelSearch* searches, const Adapter* adapters, int adapter_count, const SearchTarget* targets,
                   int count, uint32_t duration_ms);
