#include <arpa/inet.h>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/pipe_path.h"
#include "platform/stream_server.h"

namespace platform {

struct StreamListener {
    int fd;
};

struct StreamConnection {
    int fd;
};

namespace {

StreamConnection* wrap(int fd) {
    if (fd < 0) return nullptr;
    StreamConnection* c = new StreamConnection;
    c->fd = fd;
    return c;
}

// Abstract-namespace address for a pipe name; false when the name is no
// local pipe.
bool pipe_address(const char* pipe_name, sockaddr_un* addr, socklen_t* len) {
    char name[100];
    if (!pipe_socket_name(pipe_name, name, sizeof(name))) return false;
    std::memset(addr, 0, sizeof(*addr));
    addr->sun_family = AF_UNIX;
    size_t n = std::strlen(name);
    std::memcpy(addr->sun_path + 1, name, n);  // sun_path[0] = 0: abstract
    *len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
    return true;
}

// Fills a loopback address of the family with the port.
socklen_t loopback_address(int family, uint16_t port, sockaddr_storage* ss) {
    std::memset(ss, 0, sizeof(*ss));
    if (family == 6) {
        sockaddr_in6* a = reinterpret_cast<sockaddr_in6*>(ss);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(port);
        a->sin6_addr = in6addr_loopback;
        return sizeof(sockaddr_in6);
    }
    sockaddr_in* a = reinterpret_cast<sockaddr_in*>(ss);
    a->sin_family = AF_INET;
    a->sin_port = htons(port);
    a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return sizeof(sockaddr_in);
}

bool wait_fd(int fd, short events, uint32_t timeout_ms) {
    pollfd p;
    p.fd = fd;
    p.events = events;
    p.revents = 0;
    for (;;) {
        int rc = poll(&p, 1, static_cast<int>(timeout_ms));
        if (rc < 0 && errno == EINTR) continue;
        return rc > 0;
    }
}

}  // namespace

StreamListener* stream_listen_tcp(int family, uint16_t port, uint16_t* actual_port, int* error) {
    int af = family == 6 ? AF_INET6 : AF_INET;
    int fd = socket(af, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        if (error) *error = errno;
        return nullptr;
    }
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    if (af == AF_INET6) setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof(one));
    sockaddr_storage ss;
    socklen_t len = loopback_address(family, port, &ss);
    if (bind(fd, reinterpret_cast<sockaddr*>(&ss), len) != 0 || listen(fd, 16) != 0) {
        if (error) *error = errno;
        close(fd);
        return nullptr;
    }
    len = sizeof(ss);
    getsockname(fd, reinterpret_cast<sockaddr*>(&ss), &len);
    if (actual_port) {
        *actual_port = ntohs(af == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&ss)->sin6_port
                                            : reinterpret_cast<sockaddr_in*>(&ss)->sin_port);
    }
    StreamListener* l = new StreamListener;
    l->fd = fd;
    return l;
}

StreamListener* stream_listen_pipe(const char* pipe_name, int* error) {
    sockaddr_un addr;
    socklen_t len;
    if (!pipe_address(pipe_name, &addr, &len)) {
        if (error) *error = EINVAL;
        return nullptr;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        if (error) *error = errno;
        return nullptr;
    }
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(fd, 16) != 0) {
        if (error) *error = errno;
        close(fd);
        return nullptr;
    }
    StreamListener* l = new StreamListener;
    l->fd = fd;
    return l;
}

StreamConnection* stream_accept(StreamListener* listener, uint32_t timeout_ms) {
    if (!listener || !wait_fd(listener->fd, POLLIN, timeout_ms)) return nullptr;
    int fd = accept4(listener->fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return nullptr;
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));  // fails harmlessly on Unix sockets
    return wrap(fd);
}

void stream_close_listener(StreamListener* listener) {
    if (!listener) return;
    close(listener->fd);
    delete listener;
}

StreamConnection* stream_connect_tcp(int family, uint16_t port) {
    sockaddr_storage ss;
    socklen_t len = loopback_address(family, port, &ss);
    int fd = socket(ss.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    if (connect(fd, reinterpret_cast<sockaddr*>(&ss), len) != 0) {
        close(fd);
        return nullptr;
    }
    return wrap(fd);
}

StreamConnection* stream_connect_pipe(const char* pipe_name) {
    sockaddr_un addr;
    socklen_t len;
    if (!pipe_address(pipe_name, &addr, &len)) return nullptr;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
        close(fd);
        return nullptr;
    }
    return wrap(fd);
}

int stream_receive(StreamConnection* conn, void* buf, size_t size, uint32_t timeout_ms) {
    if (!conn) return -1;
    if (!wait_fd(conn->fd, POLLIN, timeout_ms)) return 0;
    for (;;) {
        ssize_t n = recv(conn->fd, buf, size, 0);
        if (n > 0) return static_cast<int>(n);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
        return -1;  // orderly close or error
    }
}

bool stream_send_all(StreamConnection* conn, const void* data, size_t size, uint32_t timeout_ms) {
    if (!conn) return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        if (!wait_fd(conn->fd, POLLOUT, timeout_ms)) return false;
        ssize_t n = send(conn->fd, p, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void stream_close(StreamConnection* conn) {
    if (!conn) return;
    shutdown(conn->fd, SHUT_RDWR);
    close(conn->fd);
    delete conn;
}

}  // namespace platform
