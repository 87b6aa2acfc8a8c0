#include "launcher/panel_search.h"

#include <cstring>

#include "core/bridge_state.h"
#include "core/printable_text.h"
#include "platform/child_process.h"

namespace {

platform::SocketAddressV4 socket_address(uint32_t address_n, uint16_t port) {
    platform::SocketAddressV4 a;
    std::memset(&a, 0, sizeof a);
    a.family = platform::kFamilyInet;
    a.port = platform::host_to_net16(port);
    a.address = address_n;
    return a;
}

void open_target(PanelSearch* search, int i, const Adapter& adapter) {
    const SearchTarget& target = search->targets[i];
    SearchResult* result = &search->results[i];
    platform::UdpSocket s = platform::udp_open();
    search->sockets[i] = s;
    if (s == platform::kInvalidSocket) return;  // counts as no answer
    platform::keep_from_children(s);
    platform::udp_allow_broadcast(s);
    platform::SocketAddressV4 local = socket_address(adapter.address, target.recv_port);
    if (platform::udp_bind(s, &local) != 0) {
        result->bind_error = platform::net_last_error();
        switch (platform::bind_failure(result->bind_error)) {
            case platform::BIND_PORT_TAKEN: result->outcome = SEARCH_PORT_TAKEN; break;
            case platform::BIND_ADDRESS_GONE: result->outcome = SEARCH_ADDRESS_GONE; break;
            case platform::BIND_OTHER_FAILURE: result->outcome = SEARCH_CANNOT_BIND; break;
        }
        platform::udp_close(s);
        search->sockets[i] = platform::kInvalidSocket;
        return;
    }
    platform::udp_set_nonblocking(s, true);
    // The port the program broadcasts to, low 16 bits as it keeps it.
    platform::SocketAddressV4 to =
        socket_address(adapter.address | ~adapter.mask, static_cast<uint16_t>(target.vran_port + 1));
    platform::udp_send_to(s, "ID", 2, &to, sizeof to);
}

void take_answers(PanelSearch* search, int i) {
    SearchResult* result = &search->results[i];
    const ProgramProfile* program = program_profile(search->targets[i].program);
    char text[kReceiveBufferSize];
    for (;;) {
        platform::SocketAddressV4 from;
        int32_t from_length = sizeof from;
        int n = platform::udp_receive_from(search->sockets[i], text, sizeof text, &from, &from_length);
        if (n == platform::kReceiveNothing) return;
        if (n < 0 || result->outcome == SEARCH_ANSWERED) continue;  // the first answer counts
        // A host elsewhere (a guest network, a VPN) answering is no panel here.
        if ((from.address ^ search->adapter.address) & search->adapter.mask) continue;
        text[n] = '\0';
        int variant = program_identity_variant(program, text);
        if (variant == 0) continue;  // another panel's answer or a stray key code
        result->outcome = SEARCH_ANSWERED;
        result->variant = variant;
        printable_text(text, result->identity, sizeof result->identity);
        platform::format_ipv4(from.address, result->address, sizeof result->address);
    }
}

}  // namespace

void search_begin(PanelSearch* search, const Adapter& adapter, const SearchTarget* targets, int count) {
    platform::net_startup();
    search->adapter = adapter;
    search->count = count < PROGRAM_COUNT ? count : PROGRAM_COUNT;
    for (int i = 0; i < search->count; ++i) {
        search->targets[i] = targets[i];
        std::memset(&search->results[i], 0, sizeof search->results[i]);
        open_target(search, i, adapter);
    }
}

void search_collect(PanelSearch* search) {
    for (int i = 0; i < search->count; ++i) {
        if (search->sockets[i] != platform::kInvalidSocket) take_answers(search, i);
    }
}

void search_end(PanelSearch* search) {
    search_collect(search);
    for (int i = 0; i < search->count; ++i) {
        platform::udp_close(search->sockets[i]);
        search->sockets[i] = platform::kInvalidSocket;
    }
}
