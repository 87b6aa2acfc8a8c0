// The scripted peer on POSIX: TCP on loopback and the abstract Unix socket
// that stands for the local pipe.
#ifndef _WIN32
#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/pipe_path.h"
#include "simclient/tests/script_peer.h"

struct PeerListener {
    int fd;
};
struct PeerConn {
    int fd;
};

static bool write_file(const char* path, const char* text) {
    int fd = open(path, O_WRONLY);
    if (fd < 0) return false;
    ssize_t n = write(fd, text, std::strlen(text));
    close(fd);
    return n == static_cast<ssize_t>(std::strlen(text));
}

// Runs before main, while the process has one thread: a user and network
// namespace of our own, with its loopback up.
static bool isolate_network() {
    uid_t uid = getuid();
    gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) return false;
    char map[64];
    std::snprintf(map, sizeof(map), "%u %u 1", static_cast<unsigned>(uid), static_cast<unsigned>(uid));
    write_file("/proc/self/setgroups", "deny");
    if (!write_file("/proc/self/uid_map", map)) return false;
    std::snprintf(map, sizeof(map), "%u %u 1", static_cast<unsigned>(gid), static_cast<unsigned>(gid));
    write_file("/proc/self/gid_map", map);
    int s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) return false;
    ifreq req;
    std::memset(&req, 0, sizeof(req));
    std::strcpy(req.ifr_name, "lo");
    bool up = ioctl(s, SIOCGIFFLAGS, &req) == 0;
    req.ifr_flags |= IFF_UP;
    up = up && ioctl(s, SIOCSIFFLAGS, &req) == 0;
    close(s);
    return up;
}

static const bool g_isolated = isolate_network();

bool peer_isolated() { return g_isolated; }

PeerListener* peer_listen_tcp(bool ipv6, uint16_t* port) {
    int fd = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    sockaddr_storage storage;
    std::memset(&storage, 0, sizeof(storage));
    socklen_t len;
    if (ipv6) {
        sockaddr_in6* a = reinterpret_cast<sockaddr_in6*>(&storage);
        a->sin6_family = AF_INET6;
        a->sin6_addr = in6addr_loopback;
        len = sizeof(*a);
    } else {
        sockaddr_in* a = reinterpret_cast<sockaddr_in*>(&storage);
        a->sin_family = AF_INET;
        a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        len = sizeof(*a);
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&storage), len) != 0 || listen(fd, 8) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &len) != 0) {
        close(fd);
        return nullptr;
    }
    *port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                       : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
    return new PeerListener{fd};
}

PeerListener* peer_listen_pipe(const char* pipe_name) {
    char name[108];
    if (!platform::pipe_socket_name(pipe_name, name, sizeof(name))) return nullptr;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    sockaddr_un addr;
    std::memset(&addr, 0, sizeof(addr));
    addr.sun_family = AF_UNIX;
    size_t n = std::strlen(name);
    std::memcpy(addr.sun_path + 1, name, n);
    socklen_t len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(fd, 8) != 0) {
        close(fd);
        return nullptr;
    }
    return new PeerListener{fd};
}

PeerConn* peer_accept(PeerListener* listener, uint32_t timeout_ms) {
    pollfd p{listener->fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(timeout_ms)) <= 0) return nullptr;
    int fd = accept4(listener->fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return nullptr;
    return new PeerConn{fd};
}

void peer_stop(PeerListener* listener) {
    if (!listener) return;
    close(listener->fd);
    delete listener;
}

int32_t peer_read(PeerConn* conn, uint8_t* buf, uint32_t len, uint32_t timeout_ms) {
    pollfd p{conn->fd, POLLIN, 0};
    int rc;
    do {
        rc = poll(&p, 1, static_cast<int>(timeout_ms));
    } while (rc < 0 && errno == EINTR);
    if (rc <= 0) return -1;
    ssize_t n = recv(conn->fd, buf, len, 0);
    return n < 0 ? -1 : static_cast<int32_t>(n);
}

bool peer_write(PeerConn* conn, const uint8_t* buf, uint32_t len) {
    uint32_t done = 0;
    while (done < len) {
        ssize_t n = send(conn->fd, buf + done, len - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<uint32_t>(n);
    }
    return true;
}

void peer_close(PeerConn* conn) {
    if (!conn) return;
    close(conn->fd);
    delete conn;
}

void peer_abort(PeerConn* conn) {
    if (!conn) return;
    linger hard{1, 0};  // closing then sends a reset (TCP; no effect on the pipe's Unix socket)
    setsockopt(conn->fd, SOL_SOCKET, SO_LINGER, &hard, sizeof(hard));
    peer_close(conn);
}

void peer_shutdown_send(PeerConn* conn) {
    if (conn) shutdown(conn->fd, SHUT_WR);
}
#endif
