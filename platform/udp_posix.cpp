#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/udp.h"

namespace platform {

// The POSIX interface table: one row per IPv4 address, in the order
// getifaddrs lists them, with the interface index and mask.
InterfaceTableResult read_interface_table(InterfaceTable* table, uint32_t* error) {
    table->count = 0;
    table->rows = nullptr;
    table->native = nullptr;
    struct ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        *error = static_cast<uint32_t>(errno);
        return TABLE_FAILED;
    }
    uint32_t count = 0;
    for (struct ifaddrs* it = list; it; it = it->ifa_next) {
        if (it->ifa_addr && it->ifa_addr->sa_family == AF_INET) ++count;
    }
    InterfaceRow* rows = static_cast<InterfaceRow*>(std::calloc(count ? count : 1, sizeof(InterfaceRow)));
    if (!rows) {
        freeifaddrs(list);
        return TABLE_NO_MEMORY;
    }
    uint32_t n = 0;
    for (struct ifaddrs* it = list; it; it = it->ifa_next) {
        if (!it->ifa_addr || it->ifa_addr->sa_family != AF_INET) continue;
        const sockaddr_in* a = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
        rows[n].address = a->sin_addr.s_addr;
        rows[n].mask = it->ifa_netmask ? reinterpret_cast<const sockaddr_in*>(it->ifa_netmask)->sin_addr.s_addr : 0;
        rows[n].index = if_nametoindex(it->ifa_name);
        ++n;
    }
    freeifaddrs(list);
    table->count = n;
    table->rows = rows;
    table->native = rows;
    return TABLE_OK;
}

void free_interface_table(InterfaceTable* table) {
    std::free(table->native);
    table->native = nullptr;
    table->rows = nullptr;
    table->count = 0;
}

bool error_text(uint32_t error, char* buf, size_t size) {
    const char* text = std::strerror(static_cast<int>(error));
    if (!text || size == 0) return false;
    std::strncpy(buf, text, size - 1);
    buf[size - 1] = '\0';
    return true;
}

int net_startup() { return 0; }
int net_last_error() { return errno; }

UdpSocket udp_open() {
    int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    return s < 0 ? kInvalidSocket : static_cast<UdpSocket>(s);
}

void udp_allow_broadcast(UdpSocket s) {
    int on = 1;
    ::setsockopt(static_cast<int>(s), SOL_SOCKET, SO_BROADCAST, &on, sizeof(on));
}

int udp_bind(UdpSocket s, const SocketAddressV4* address) {
    return ::bind(static_cast<int>(s), reinterpret_cast<const sockaddr*>(address), sizeof(*address)) == 0 ? 0 : -1;
}

BindFailure bind_failure(int error) {
    if (error == EADDRINUSE) return BIND_PORT_TAKEN;
    return error == EADDRNOTAVAIL ? BIND_ADDRESS_GONE : BIND_OTHER_FAILURE;
}

uint16_t udp_local_port(UdpSocket s) {
    sockaddr_in a;
    socklen_t len = sizeof(a);
    if (::getsockname(static_cast<int>(s), reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    return ntohs(a.sin_port);
}

int udp_set_nonblocking(UdpSocket s, bool on) {
    int fd = static_cast<int>(s);
    int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0) return -1;
    flags = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return ::fcntl(fd, F_SETFL, flags) == 0 ? 0 : -1;
}

int udp_send_to(UdpSocket s, const void* data, size_t length, const SocketAddressV4* to, int32_t to_length) {
    ssize_t n = ::sendto(static_cast<int>(s), data, length, 0, reinterpret_cast<const sockaddr*>(to),
                         static_cast<socklen_t>(to_length));
    return n < 0 ? -1 : static_cast<int>(n);
}

int udp_receive_from(UdpSocket s, void* buf, size_t size, SocketAddressV4* from, int32_t* from_length) {
    sockaddr_in source;
    socklen_t len = sizeof(source);
    // MSG_TRUNC reports the datagram's real length, so one that did not fit
    // is recognised and dropped rather than used cut short.
    ssize_t n = ::recvfrom(static_cast<int>(s), buf, size, MSG_TRUNC, reinterpret_cast<sockaddr*>(&source), &len);
    if (n < 0) return kReceiveNothing;
    if (static_cast<size_t>(n) >= size) return kReceiveTooLong;
    std::memcpy(from, &source, sizeof(*from));
    *from_length = static_cast<int32_t>(sizeof(*from));
    return static_cast<int>(n);
}

bool udp_wait_readable(UdpSocket s, int timeout_ms) {
    pollfd p{static_cast<int>(s), POLLIN, 0};
    return ::poll(&p, 1, timeout_ms) > 0;
}

void udp_close(UdpSocket s) {
    if (s != kInvalidSocket) ::close(static_cast<int>(s));
}

}  // namespace platform
