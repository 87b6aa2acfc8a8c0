#include "core/find_panel.h"

#include <cstdlib>
#include <cstring>

#include "core/bridge_state.h"
#include "core/config.h"
#include "core/console.h"
#include "core/interface_choice.h"
#include "core/panel_messages.h"
#include "core/printable_text.h"
#include "core/run_by_launcher.h"

namespace {

InterfaceTableReader g_read_table = platform::read_interface_table;

void fill_address(platform::SocketAddressV4* a, uint16_t port, uint32_t address_n) {
    std::memset(a, 0, sizeof(*a));
    a->family = platform::kFamilyInet;
    a->port = platform::host_to_net16(port);
    a->address = address_n;
}

void print_error_text(uint32_t error) {
    char text[512];
    if (platform::error_text(error, text, sizeof text)) console_print("\tError: %s", text);
}

void open_socket(uint32_t address_n, uint32_t broadcast_n) {
    int rc = platform::net_startup();
    if (rc != 0) {
        console_print("Error: startWinsock, error code: %d\n", rc);
    } else if (g_bridge.testmode) {
        console_print("Winsock is started!\n");
    }

    g_bridge.udp_socket = platform::udp_open();
    if (g_bridge.udp_socket == platform::kInvalidSocket) {
        console_print("Error: UDP socket was not created, error code: %d\n", platform::net_last_error());
    } else {
        platform::udp_allow_broadcast(g_bridge.udp_socket);
        if (g_bridge.testmode) console_print("UDP Socket created!\n");
    }

    fill_address(&g_bridge.local_address, g_bridge.recv_port, address_n);
    fill_address(&g_bridge.broadcast_address, static_cast<uint16_t>(g_bridge.vran_port + 1), broadcast_n);
    if (platform::udp_bind(g_bridge.udp_socket, &g_bridge.local_address) != 0) {
        console_print("Fehler: bind, error code: %d\n", platform::net_last_error());
    } else {
        console_print("Bind to Receive Port: \t%d\n", g_bridge.recv_port);
    }
}

void set_up_link() {
    g_bridge.link_initialised = 1;
    load_config();

    platform::InterfaceTable table;
    uint32_t error = 0;
    platform::InterfaceTableResult result = g_read_table(&table, &error);
    if (result == platform::TABLE_NO_MEMORY) {
        console_print("Memory allocation failed for GetIpAddrTable\n");
        std::exit(1);
    }
    if (result == platform::TABLE_FAILED) {
        console_print("GetIpAddrTable failed with error %d\n", static_cast<int>(error));
        print_error_text(error);
    }

    const platform::InterfaceRow* row = choose_interface(table, g_bridge.interface_index);
    if (!row) {
        list_interfaces(table, g_program->interface_heading);
        platform::free_interface_table(&table);
        return;
    }

    g_bridge.interface_found = 1;
    char dotted[16];
    platform::format_ipv4(row->address, dotted, sizeof dotted);
    console_print("\nIP Address %s is used\n", dotted);
    uint32_t broadcast_n = interface_broadcast(*row);
    if (g_bridge.testmode) {
        platform::format_ipv4(broadcast_n, dotted, sizeof dotted);
        console_print("Broadcast  %s is used\n", dotted);
    }
    open_socket(row->address, broadcast_n);
    platform::free_interface_table(&table);
}

// The received text as an identity reply: connects the panel, or reports
// it with the rejection message. True when it connected.
bool take_identity_reply() {
    int variant = identity_variant(g_bridge.receive_buffer);
    if (variant == 0) {
        console_print_received(g_program->rejection_message, g_bridge.receive_buffer);
        return false;
    }
    char dotted[16];
    platform::format_ipv4(g_bridge.panel_address.address, dotted, sizeof dotted);
    console_print_state(g_program->connect_message[variant - 1], dotted);
    g_bridge.encoder_version = variant;
    g_bridge.panel_connected = 1;
    return true;
}

}  // namespace

void set_interface_table_reader(InterfaceTableReader reader) {
    g_read_table = reader ? reader : platform::read_interface_table;
}

int identity_variant(const char* text) { return program_identity_variant(g_program, text); }

void find_panel() {
    if (!g_bridge.link_initialised) set_up_link();
    if (!g_bridge.interface_found) return;

    fill_address(&g_bridge.panel_address, g_bridge.vran_port, 0);
    platform::udp_set_nonblocking(g_bridge.udp_socket, true);
    if (g_bridge.testmode) console_print("Send ID request\n");
    if (send_line_to(&g_bridge.broadcast_address, sizeof(platform::SocketAddressV4), "ID") < 0)
        console_print("Error sendto\n");
    g_bridge.identity_pending = 0;

    // Key presses a panel sent while it was thought offline queue before its
    // identity reply; reading one datagram per search would make each of
    // them cost a search. What follows the reply stays for the update cycle.
    for (int taken = 0; taken < kMaxDatagramsPerSearch; ++taken) {
        int n = receive_panel_datagram();
        if (n == platform::kReceiveNothing) return;
        if (n == platform::kReceiveTooLong) continue;  // dropped: no room for its terminator
        if (take_identity_reply()) return;
    }
}
