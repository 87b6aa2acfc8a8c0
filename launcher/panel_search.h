// Looking for panels on one network adapter on behalf of several programs at
// once, as each program's own search does: a socket bound to the program's
// RECV_PORT on the adapter's address, "ID" to the adapter's broadcast
// address at VRAN_PORT + 1, and the answers compared with the program's
// identity texts; only answers from the adapter's own subnet count. A port
// that is in use belongs to the program itself, running outside the
// launcher.
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
    SEARCH_PORT_TAKEN,     // RECV_PORT is in use
    SEARCH_ADDRESS_GONE,   // the adapter's address is no longer this computer's
    SEARCH_CANNOT_BIND,    // RECV_PORT cannot be bound for another reason
    SEARCH_ANSWERED,       // the program's panel answered
};

struct SearchResult {
    SearchOutcome outcome;
    int variant;         // 1 or 2: which identity answered
    char identity[32];   // the identity text
    char address[16];    // where the answer came from, dotted
    int bind_error;      // when the port could not be bound
};

struct PanelSearch {
    Adapter adapter;
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
