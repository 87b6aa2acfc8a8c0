#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/end_request.h"

namespace platform {

namespace {
int g_socket = -1;
bool g_received = false;  // kept, as a set event is on Windows

// An abstract name, one per user: no file to leave behind, gone with the
// process.
socklen_t end_address(sockaddr_un* address) {
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    int n = std::snprintf(address->sun_path + 1, sizeof address->sun_path - 1, "relay-launcher-end/%u",
                          static_cast<unsigned>(getuid()));
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
}
}  // namespace

bool end_request_listen() {
    sockaddr_un address;
    socklen_t length = end_address(&address);
    g_socket = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (g_socket < 0) return false;
    int on = 1;
    // The sender's credentials come with each datagram, so that another
    // user cannot end this one's launcher.
    if (setsockopt(g_socket, SOL_SOCKET, SO_PASSCRED, &on, sizeof on) != 0 ||
        bind(g_socket, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        close(g_socket);
        g_socket = -1;
        return false;
    }
    return true;
}

bool end_request_received() {
    if (g_received || g_socket < 0) return g_received;
    // Bounded, so that another user's datagrams cannot hold the caller.
    for (int i = 0; i < 16; ++i) {
        char byte;
        iovec data = {&byte, 1};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
        msghdr message = {};
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        if (recvmsg(g_socket, &message, 0) < 0) return false;  // nothing (more) waiting
        cmsghdr* c = CMSG_FIRSTHDR(&message);
        if (!c || c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_CREDENTIALS) continue;
        ucred sender;
        std::memcpy(&sender, CMSG_DATA(c), sizeof sender);
        if (sender.uid == getuid()) return g_received = true;
    }
    return false;
}

bool end_request_send() {
    sockaddr_un address;
    socklen_t length = end_address(&address);
    int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    // A full queue holds requests already: the launcher is asked.
    bool sent = sendto(s, "E", 1, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&address), length) == 1 ||
                errno == EAGAIN;
    close(s);
    return sent;
}

bool end_request_listened() {
    sockaddr_un address;
    socklen_t length = end_address(&address);
    int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    // Connecting needs a socket bound at the name; nothing is sent.
    bool listened = connect(s, reinterpret_cast<sockaddr*>(&address), length) == 0;
    close(s);
    return listened;
}

}  // namespace platform
