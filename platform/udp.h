// The platform layer's UDP and interface-table calls for the panel link
// (Winsock and GetIpAddrTable on Windows, BSD sockets and getifaddrs on
// POSIX).
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

typedef intptr_t UdpSocket;
constexpr UdpSocket kInvalidSocket = -1;

// Laid out like sockaddr_in (16 bytes), so it is passed to the socket calls
// as it is. Port and address are in network byte order.
struct SocketAddressV4 {
    uint16_t family;
    uint16_t port;
    uint32_t address;
    uint8_t zero[8];
};
static_assert(sizeof(SocketAddressV4) == 16, "IPv4 socket address is 16 bytes");

constexpr uint16_t kFamilyInet = 2;  // AF_INET on both platforms

uint16_t host_to_net16(uint16_t v);
uint32_t host_to_net32(uint32_t v);
uint32_t net_to_host32(uint32_t v);

// Formats an address (network order) in dotted form; buf holds 16 bytes.
void format_ipv4(uint32_t address_n, char* buf, size_t size);

// One row of the IPv4 address table. Address and mask in network order.
struct InterfaceRow {
    uint32_t address;
    uint32_t index;
    uint32_t mask;
};

enum InterfaceTableResult { TABLE_OK, TABLE_NO_MEMORY, TABLE_FAILED };

struct InterfaceTable {
    uint32_t count;
    InterfaceRow* rows;
    void* native;  // the platform's own block, freed by free_interface_table
};

// Fetches the unsorted IPv4 address table. On TABLE_FAILED, error holds the
// system's error code and the table is empty.
InterfaceTableResult read_interface_table(InterfaceTable* table, uint32_t* error);
void free_interface_table(InterfaceTable* table);

// The system's text for an error code; false when it has none.
bool error_text(uint32_t error, char* buf, size_t size);

// Starts the socket library (WSAStartup 2.0) once per process; 0 or the
// error code.
int net_startup();
int net_last_error();

UdpSocket udp_open();
// Turns on sending to broadcast addresses (needed for directed broadcast on
// Linux and under Wine).
void udp_allow_broadcast(UdpSocket s);
int udp_bind(UdpSocket s, const SocketAddressV4* address);  // 0 or -1

// What the error of a failed udp_bind (net_last_error) says.
enum BindFailure {
    BIND_PORT_TAKEN,     // another socket holds the port (also exclusively)
    BIND_ADDRESS_GONE,   // the address is none of this computer's (any more)
    BIND_OTHER_FAILURE,
};
BindFailure bind_failure(int error);
// The port the socket is bound to (host order); 0 when unknown.
uint16_t udp_local_port(UdpSocket s);
int udp_set_nonblocking(UdpSocket s, bool on);
int udp_send_to(UdpSocket s, const void* data, size_t length, const SocketAddressV4* to, int32_t to_length);

// Receives one datagram. Results:
constexpr int kReceiveNothing = -1;   // nothing waiting (or a failure)
constexpr int kReceiveTooLong = -2;   // a datagram that did not fit was dropped
// Otherwise the byte count. A datagram filling the whole buffer counts as too
// long. On Windows a report of an earlier send to a closed port
// (WSAECONNRESET) counts as nothing waiting.
int udp_receive_from(UdpSocket s, void* buf, size_t size, SocketAddressV4* from, int32_t* from_length);

// Waits up to timeout_ms for a datagram (for tools); true when one waits.
bool udp_wait_readable(UdpSocket s, int timeout_ms);

void udp_close(UdpSocket s);

}  // namespace platform
