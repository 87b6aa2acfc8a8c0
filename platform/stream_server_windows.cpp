#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/stream_server.h"
#include "platform/udp.h"

namespace platform {

// A connection is a socket or one end of a named pipe. Pipe reads are
// overlapped so a read can wait with a timeout; a read still pending when the
// wait runs out stays pending for the next call, into the connection's own
// buffer.
struct StreamConnection {
    bool is_pipe;
    SOCKET sock;
    HANDLE pipe;
    OVERLAPPED read_ov;
    HANDLE read_event;
    bool read_pending;
    char read_buf[8192];
    DWORD read_have;  // bytes in read_buf not yet handed out
    DWORD read_pos;
    OVERLAPPED write_ov;
    HANDLE write_event;
};

struct StreamListener {
    bool is_pipe;
    SOCKET sock;
    std::string pipe_name;
    HANDLE pipe;  // the instance waiting for the next client
    OVERLAPPED ov;
    HANDLE event;
    bool connect_pending;
};

namespace {

bool g_net_started = false;

bool ensure_net() {
    if (!g_net_started) g_net_started = net_startup() == 0;
    return g_net_started;
}

int loopback_address(int family, uint16_t port, sockaddr_storage* ss) {
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

bool wait_socket(SOCKET s, bool for_write, uint32_t timeout_ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv;
    tv.tv_sec = static_cast<long>(timeout_ms / 1000);
    tv.tv_usec = static_cast<long>((timeout_ms % 1000) * 1000);
    int rc = for_write ? select(0, nullptr, &set, nullptr, &tv) : select(0, &set, nullptr, nullptr, &tv);
    return rc > 0;
}

StreamConnection* new_connection() {
    StreamConnection* c = new StreamConnection;
    std::memset(c, 0, sizeof(*c));
    c->sock = INVALID_SOCKET;
    c->pipe = INVALID_HANDLE_VALUE;
    return c;
}

// Sockets are non-blocking: select says there is room, not how much, and a
// blocking send of a larger chunk would wait for ever on a peer that has
// stopped reading.
StreamConnection* wrap_socket(SOCKET s) {
    u_long non_blocking = 1;
    ioctlsocket(s, FIONBIO, &non_blocking);
    StreamConnection* c = new_connection();
    c->sock = s;
    return c;
}

bool would_block() { return WSAGetLastError() == WSAEWOULDBLOCK; }

StreamConnection* wrap_pipe(HANDLE h) {
    StreamConnection* c = new_connection();
    c->is_pipe = true;
    c->pipe = h;
    c->read_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    c->write_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return c;
}

// A new server instance of the pipe, waiting for its client.
bool start_pipe_instance(StreamListener* l, bool first) {
    DWORD open_mode = PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    l->pipe = CreateNamedPipeA(l->pipe_name.c_str(), open_mode, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                               PIPE_UNLIMITED_INSTANCES, 65536, 65536, 0, nullptr);
    if (l->pipe == INVALID_HANDLE_VALUE) return false;
    std::memset(&l->ov, 0, sizeof(l->ov));
    ResetEvent(l->event);
    l->ov.hEvent = l->event;
    l->connect_pending = false;
    if (ConnectNamedPipe(l->pipe, &l->ov)) {
        SetEvent(l->event);
    } else {
        DWORD err = GetLastError();
        if (err == ERROR_IO_PENDING) {
            l->connect_pending = true;
        } else if (err == ERROR_PIPE_CONNECTED) {
            SetEvent(l->event);
        } else {
            CloseHandle(l->pipe);
            l->pipe = INVALID_HANDLE_VALUE;
            return false;
        }
    }
    return true;
}

// Ends an overlapped operation that may still be running before its record
// goes away.
void cancel_and_wait(HANDLE h, OVERLAPPED* ov) {
    DWORD n = 0;
    CancelIoEx(h, ov);
    GetOverlappedResult(h, ov, &n, TRUE);
}

}  // namespace

StreamListener* stream_listen_tcp(int family, uint16_t port, uint16_t* actual_port, int* error) {
    if (!ensure_net()) {
        if (error) *error = net_last_error();
        return nullptr;
    }
    int af = family == 6 ? AF_INET6 : AF_INET;
    SOCKET s = socket(af, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        if (error) *error = WSAGetLastError();
        return nullptr;
    }
    // Exclusive use: a second stand-in must fail rather than share the port.
    BOOL one = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&one), sizeof(one));
    sockaddr_storage ss;
    int len = loopback_address(family, port, &ss);
    if (bind(s, reinterpret_cast<sockaddr*>(&ss), len) != 0 || listen(s, 16) != 0) {
        if (error) *error = WSAGetLastError();
        closesocket(s);
        return nullptr;
    }
    len = sizeof(ss);
    getsockname(s, reinterpret_cast<sockaddr*>(&ss), &len);
    if (actual_port) {
        *actual_port = ntohs(af == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&ss)->sin6_port
                                            : reinterpret_cast<sockaddr_in*>(&ss)->sin_port);
    }
    StreamListener* l = new StreamListener;
    l->is_pipe = false;
    l->sock = s;
    l->pipe = INVALID_HANDLE_VALUE;
    l->event = nullptr;
    l->connect_pending = false;
    return l;
}

StreamListener* stream_listen_pipe(const char* pipe_name, int* error) {
    StreamListener* l = new StreamListener;
    l->is_pipe = true;
    l->sock = INVALID_SOCKET;
    l->pipe_name = pipe_name;
    l->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!l->event || !start_pipe_instance(l, true)) {
        if (error) *error = static_cast<int>(GetLastError());
        if (l->event) CloseHandle(l->event);
        delete l;
        return nullptr;
    }
    return l;
}

StreamConnection* stream_accept(StreamListener* l, uint32_t timeout_ms) {
    if (!l) return nullptr;
    if (!l->is_pipe) {
        if (!wait_socket(l->sock, false, timeout_ms)) return nullptr;
        SOCKET s = accept(l->sock, nullptr, nullptr);
        if (s == INVALID_SOCKET) return nullptr;
        BOOL one = TRUE;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof(one));
        return wrap_socket(s);
    }
    if (l->pipe == INVALID_HANDLE_VALUE && !start_pipe_instance(l, false)) {
        Sleep(timeout_ms);  // could not make an instance now; try again next time
        return nullptr;
    }
    if (WaitForSingleObject(l->event, timeout_ms) != WAIT_OBJECT_0) return nullptr;
    DWORD n = 0;
    bool ok = !l->connect_pending || GetOverlappedResult(l->pipe, &l->ov, &n, FALSE);
    HANDLE connected = l->pipe;
    l->pipe = INVALID_HANDLE_VALUE;
    if (!ok) {
        CloseHandle(connected);
        return nullptr;
    }
    start_pipe_instance(l, false);
    return wrap_pipe(connected);
}

void stream_close_listener(StreamListener* l) {
    if (!l) return;
    if (l->is_pipe) {
        if (l->pipe != INVALID_HANDLE_VALUE) {
            if (l->connect_pending) cancel_and_wait(l->pipe, &l->ov);
            CloseHandle(l->pipe);
        }
        CloseHandle(l->event);
    } else {
        closesocket(l->sock);
    }
    delete l;
}

StreamConnection* stream_connect_tcp(int family, uint16_t port) {
    if (!ensure_net()) return nullptr;
    sockaddr_storage ss;
    int len = loopback_address(family, port, &ss);
    SOCKET s = socket(ss.ss_family, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return nullptr;
    if (connect(s, reinterpret_cast<sockaddr*>(&ss), len) != 0) {
        closesocket(s);
        return nullptr;
    }
    return wrap_socket(s);
}

StreamConnection* stream_connect_pipe(const char* pipe_name) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        HANDLE h = CreateFileA(pipe_name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr);
        if (h != INVALID_HANDLE_VALUE) return wrap_pipe(h);
        if (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeA(pipe_name, 5000)) return nullptr;
    }
    return nullptr;
}

int stream_receive(StreamConnection* c, void* buf, size_t size, uint32_t timeout_ms) {
    if (!c) return -1;
    if (!c->is_pipe) {
        if (!wait_socket(c->sock, false, timeout_ms)) return 0;
        int n = recv(c->sock, static_cast<char*>(buf), static_cast<int>(size > 65536 ? 65536 : size), 0);
        if (n == SOCKET_ERROR && would_block()) return 0;
        return n > 0 ? n : -1;
    }
    if (c->read_have == 0) {
        if (!c->read_pending) {
            std::memset(&c->read_ov, 0, sizeof(c->read_ov));
            ResetEvent(c->read_event);
            c->read_ov.hEvent = c->read_event;
            DWORD n = 0;
            if (ReadFile(c->pipe, c->read_buf, sizeof(c->read_buf), &n, &c->read_ov)) {
                c->read_have = n;
                c->read_pos = 0;
                if (n == 0) return 0;
            } else if (GetLastError() == ERROR_IO_PENDING) {
                c->read_pending = true;
            } else {
                return -1;  // broken pipe: the peer has gone
            }
        }
        if (c->read_pending) {
            if (WaitForSingleObject(c->read_event, timeout_ms) != WAIT_OBJECT_0) return 0;
            DWORD n = 0;
            c->read_pending = false;
            if (!GetOverlappedResult(c->pipe, &c->read_ov, &n, FALSE)) return -1;
            c->read_have = n;
            c->read_pos = 0;
            if (n == 0) return 0;
        }
    }
    size_t take = c->read_have < size ? c->read_have : size;
    std::memcpy(buf, c->read_buf + c->read_pos, take);
    c->read_pos += static_cast<DWORD>(take);
    c->read_have -= static_cast<DWORD>(take);
    return static_cast<int>(take);
}

bool stream_send_all(StreamConnection* c, const void* data, size_t size, uint32_t timeout_ms) {
    if (!c) return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        int chunk = static_cast<int>(size > 65536 ? 65536 : size);
        DWORD sent = 0;
        if (!c->is_pipe) {
            if (!wait_socket(c->sock, true, timeout_ms)) return false;
            int n = send(c->sock, p, chunk, 0);
            if (n == SOCKET_ERROR && would_block()) continue;
            if (n <= 0) return false;
            sent = static_cast<DWORD>(n);
        } else {
            std::memset(&c->write_ov, 0, sizeof(c->write_ov));
            ResetEvent(c->write_event);
            c->write_ov.hEvent = c->write_event;
            if (!WriteFile(c->pipe, p, static_cast<DWORD>(chunk), &sent, &c->write_ov)) {
                if (GetLastError() != ERROR_IO_PENDING) return false;
                if (WaitForSingleObject(c->write_event, timeout_ms) != WAIT_OBJECT_0) {
                    cancel_and_wait(c->pipe, &c->write_ov);
                    return false;
                }
                if (!GetOverlappedResult(c->pipe, &c->write_ov, &sent, FALSE)) return false;
            }
            if (sent == 0) return false;
        }
        p += sent;
        size -= sent;
    }
    return true;
}

void stream_close(StreamConnection* c) {
    if (!c) return;
    if (c->is_pipe) {
        if (c->read_pending) cancel_and_wait(c->pipe, &c->read_ov);
        CloseHandle(c->pipe);
        CloseHandle(c->read_event);
        CloseHandle(c->write_event);
    } else {
        shutdown(c->sock, SD_BOTH);
        closesocket(c->sock);
    }
    delete c;
}

}  // namespace platform
