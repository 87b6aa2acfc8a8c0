// The benchmarks' own panel (COM1's, or the one whose identity it is given),
// its end of the UDP link: it listens where the panel would, answers the
// program's identity requests with the panel's identity and hands every
// other datagram over with its arrival time. With a loss probability it is a
// panel on a bad network: each datagram, in either direction, is lost with
// that probability.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/udp.h"
#include "tools/probe_panel/link_loss.h"
#include "tools/probe_panel/stamped_log.h"

struct ProbeLink {
    platform::UdpSocket socket = platform::kInvalidSocket;
    platform::SocketAddressV4 program{};
    bool program_known = false;  // a datagram came from the program
    std::string identity;
    LinkLoss loss{};
    // What went over the link; "lost" counts what the network dropped.
    long requests = 0;  // identity requests that reached the panel
    long requests_lost = 0;
    long answers_lost = 0;
    long lines_lost = 0;  // other datagrams to the panel
};

// The panel the benchmarks play, taken from COMM1-Relay's own profile.
const char* probe_identity();
uint16_t probe_port();

// Binds the panel's port on every local address; false when it cannot.
bool probe_link_open(ProbeLink* link, uint16_t port, const char* identity);

// Waits up to wait_ms for datagrams and takes every one waiting: identity
// requests are answered, the others are added to `texts` with the time they
// were taken in.
void probe_link_serve(ProbeLink* link, int wait_ms, std::vector<StampedText>* texts);

// Sends a panel code to the program, which must have been heard from; false
// when the network lost it.
bool probe_link_send(ProbeLink* link, const char* text);
