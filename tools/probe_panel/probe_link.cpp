#include "tools/probe_panel/probe_link.h"

#include <cstring>

#include "core/program_profile.h"

const char* probe_identity() { return program_profile(PROGRAM_COMM1)->identity[0]; }

// The panel listens one above the program's port.
uint16_t probe_port() { return static_cast<uint16_t>(program_profile(PROGRAM_COMM1)->default_port + 1); }

bool probe_link_open(ProbeLink* link, uint16_t port, const char* identity) {
    link->identity = identity;
    if (platform::net_startup() != 0) return false;
    link->socket = platform::udp_open();
    if (link->socket == platform::kInvalidSocket) return false;
    platform::udp_allow_broadcast(link->socket);
    platform::SocketAddressV4 local{};
    local.family = platform::kFamilyInet;
    local.port = platform::host_to_net16(port);
    if (platform::udp_bind(link->socket, &local) != 0) return false;
    platform::udp_set_nonblocking(link->socket, true);
    return true;
}

void probe_link_serve(ProbeLink* link, int wait_ms, std::vector<StampedText>* texts) {
    if (!platform::udp_wait_readable(link->socket, wait_ms)) return;
    ProbeClock::time_point at = ProbeClock::now();
    char buf[256];
    platform::SocketAddressV4 from;
    int32_t from_len = sizeof(from);
    int n;
    while ((n = platform::udp_receive_from(link->socket, buf, sizeof(buf), &from, &from_len)) !=
           platform::kReceiveNothing) {
        if (n < 0) continue;
        std::string text(buf, static_cast<size_t>(n));
        bool request = text == "ID" || text == "ID_Request";
        if (link_loses(&link->loss)) {
            if (request) {
                ++link->requests_lost;
            } else {
                ++link->lines_lost;
            }
            continue;
        }
        if (!request) {
            texts->push_back({at, text});
            continue;
        }
        ++link->requests;
        link->program = from;
        link->program_known = true;
        if (link_loses(&link->loss)) {
            ++link->answers_lost;
            continue;
        }
        platform::udp_send_to(link->socket, link->identity.data(), link->identity.size(), &from, sizeof(from));
    }
}

bool probe_link_send(ProbeLink* link, const char* text) {
    if (link_loses(&link->loss)) return false;
    platform::udp_send_to(link->socket, text, std::strlen(text), &link->program, sizeof(link->program));
    return true;
}
