#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <cstring>

#include "platform/udp.h"

namespace platform {

// GetIpAddrTable as the programs have always called it: first with room for
// one row (28 bytes), then with the size it asks for.
InterfaceTableResult read_interface_table(InterfaceTable* table, uint32_t* error) {
    table->count = 0;
    table->rows = nullptr;
    table->native = nullptr;
    HANDLE heap = GetProcessHeap();
    ULONG size = 28;
    MIB_IPADDRTABLE* mib = static_cast<MIB_IPADDRTABLE*>(HeapAlloc(heap, 0, size));
    if (!mib) return TABLE_NO_MEMORY;
    DWORD rc = GetIpAddrTable(mib, &size, FALSE);
    if (rc == ERROR_INSUFFICIENT_BUFFER) {
        HeapFree(heap, 0, mib);
        mib = static_cast<MIB_IPADDRTABLE*>(HeapAlloc(heap, 0, size));
        if (!mib) return TABLE_NO_MEMORY;
        rc = GetIpAddrTable(mib, &size, FALSE);
    }
    if (rc != NO_ERROR) {
        // Whatever the failed call left in the block is not read: the table
        // counts as empty.
        HeapFree(heap, 0, mib);
        *error = rc;
        return TABLE_FAILED;
    }
    DWORD n = mib->dwNumEntries;
    InterfaceRow* rows = static_cast<InterfaceRow*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, (n ? n : 1) * sizeof(InterfaceRow)));
    if (!rows) {
        HeapFree(heap, 0, mib);
        return TABLE_NO_MEMORY;
    }
    for (DWORD i = 0; i < n; ++i) {
        rows[i].address = mib->table[i].dwAddr;
        rows[i].index = mib->table[i].dwIndex;
        rows[i].mask = mib->table[i].dwMask;
    }
    HeapFree(heap, 0, mib);
    table->count = n;
    table->rows = rows;
    table->native = rows;
    return TABLE_OK;
}

void free_interface_table(InterfaceTable* table) {
    if (table->native) HeapFree(GetProcessHeap(), 0, table->native);
    table->native = nullptr;
    table->rows = nullptr;
    table->count = 0;
}

bool error_text(uint32_t error, char* buf, size_t size) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<LPSTR>(&text), 0, nullptr);
    if (n == 0 || !text) return false;
    std::strncpy(buf, text, size - 1);
    buf[size - 1] = '\0';
    LocalFree(text);
    return true;
}

int net_startup() {
    // Once per process: a program that sets its link up again for every
    // simulator session must not pile up Winsock references.
    static bool started = false;
    if (started) return 0;
    WSADATA data;
    int rc = WSAStartup(MAKEWORD(2, 0), &data);
    started = rc == 0;
    return rc;
}

int net_last_error() { return WSAGetLastError(); }

UdpSocket udp_open() {
    SOCKET s = ::socket(AF_INET, SOCK_DGRAM, 0);
    return s == INVALID_SOCKET ? kInvalidSocket : static_cast<UdpSocket>(s);
}

void udp_allow_broadcast(UdpSocket s) {
    BOOL on = TRUE;
    ::setsockopt(static_cast<SOCKET>(s), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof(on));
}

int udp_bind(UdpSocket s, const SocketAddressV4* address) {
    return ::bind(static_cast<SOCKET>(s), reinterpret_cast<const sockaddr*>(address), sizeof(*address)) == 0 ? 0 : -1;
}

BindFailure bind_failure(int error) {
    // WSAEACCES: a socket holds the port exclusively (SO_EXCLUSIVEADDRUSE).
    if (error == WSAEADDRINUSE || error == WSAEACCES) return BIND_PORT_TAKEN;
    return error == WSAEADDRNOTAVAIL ? BIND_ADDRESS_GONE : BIND_OTHER_FAILURE;
}

uint16_t udp_local_port(UdpSocket s) {
    sockaddr_in a;
    int len = sizeof(a);
    if (::getsockname(static_cast<SOCKET>(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    return ntohs(a.sin_port);
}

int udp_set_nonblocking(UdpSocket s, bool on) {
    u_long mode = on ? 1 : 0;
    return ioctlsocket(static_cast<SOCKET>(s), FIONBIO, &mode) == 0 ? 0 : -1;
}

int udp_send_to(UdpSocket s, const void* data, size_t length, const SocketAddressV4* to, int32_t to_length) {
    int n = ::sendto(static_cast<SOCKET>(s), static_cast<const char*>(data), static_cast<int>(length), 0,
                     reinterpret_cast<const sockaddr*>(to), to_length);
    return n == SOCKET_ERROR ? -1 : n;
}

int udp_receive_from(UdpSocket s, void* buf, size_t size, SocketAddressV4* from, int32_t* from_length) {
    sockaddr_in source;
    int len = sizeof(source);
    int n = ::recvfrom(static_cast<SOCKET>(s), static_cast<char*>(buf), static_cast<int>(size), 0,
                       reinterpret_cast<sockaddr*>(&source), &len);
    if (n == SOCKET_ERROR) {
        // WSAEMSGSIZE: the datagram did not fit and is gone. WSAECONNRESET only
        // reports that an earlier send found no listener: nothing is waiting.
        return WSAGetLastError() == WSAEMSGSIZE ? kReceiveTooLong : kReceiveNothing;
    }
    if (static_cast<size_t>(n) >= size) return kReceiveTooLong;
    std::memcpy(from, &source, sizeof(*from));
    *from_length = static_cast<int32_t>(sizeof(*from));
    return n;
}

bool udp_wait_readable(UdpSocket s, int timeout_ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(static_cast<SOCKET>(s), &set);
    timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    return ::select(0, &set, nullptr, nullptr, &tv) > 0;
}

void udp_close(UdpSocket s) { ::closesocket(static_cast<SOCKET>(s)); }

}  // namespace platform
