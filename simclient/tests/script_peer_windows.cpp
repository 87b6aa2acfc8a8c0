// The scripted peer on Windows: TCP on loopback through Winsock and a named
// pipe server made with CreateNamedPipeA.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstring>

#include "simclient/tests/script_peer.h"

struct PeerListener {
    bool is_pipe;
    SOCKET socket;
    char pipe_name[256];
    HANDLE instance;  // the pipe instance waiting for the next client
};

struct PeerConn {
    bool is_pipe;
    SOCKET socket;
    HANDLE pipe;
};

// Winsock stays started for the whole test process.
static bool start_winsock() {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}
static const bool g_winsock = start_winsock();

// Wine gives every test its own server and so its own pipe namespace.
bool peer_isolated() { return g_winsock; }

PeerListener* peer_listen_tcp(bool ipv6, uint16_t* port) {
    SOCKET s = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return nullptr;
    sockaddr_storage storage;
    std::memset(&storage, 0, sizeof(storage));
    int len;
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
    if (bind(s, reinterpret_cast<sockaddr*>(&storage), len) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&storage), &len) != 0) {
        closesocket(s);
        return nullptr;
    }
    *port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                       : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
    PeerListener* l = new PeerListener;
    l->is_pipe = false;
    l->socket = s;
    l->instance = INVALID_HANDLE_VALUE;
    return l;
}

static HANDLE new_instance(const char* name) {
    return CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                            PIPE_UNLIMITED_INSTANCES, 65536, 65536, 0, nullptr);
}

PeerListener* peer_listen_pipe(const char* pipe_name) {
    HANDLE h = new_instance(pipe_name);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    PeerListener* l = new PeerListener;
    l->is_pipe = true;
    l->socket = INVALID_SOCKET;
    std::strncpy(l->pipe_name, pipe_name, sizeof(l->pipe_name) - 1);
    l->pipe_name[sizeof(l->pipe_name) - 1] = '\0';
    l->instance = h;
    return l;
}

// Waits for an overlapped operation; cancels it on timeout. Returns the bytes
// transferred, or -1 on failure or timeout.
static int32_t wait_overlapped(HANDLE h, OVERLAPPED* ov, BOOL started, uint32_t timeout_ms) {
    DWORD bytes = 0;
    if (!started) {
        DWORD err = GetLastError();
        if (err != ERROR_IO_PENDING) return err == ERROR_PIPE_CONNECTED ? 0 : -1;
        if (WaitForSingleObject(ov->hEvent, timeout_ms) != WAIT_OBJECT_0) {
            CancelIo(h);
            GetOverlappedResult(h, ov, &bytes, TRUE);
            return -1;
        }
    }
    if (!GetOverlappedResult(h, ov, &bytes, FALSE)) return -1;
    return static_cast<int32_t>(bytes);
}

PeerConn* peer_accept(PeerListener* listener, uint32_t timeout_ms) {
    if (!listener->is_pipe) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(listener->socket, &set);
        timeval tv{static_cast<long>(timeout_ms / 1000), static_cast<long>((timeout_ms % 1000) * 1000)};
        if (select(0, &set, nullptr, nullptr, &tv) <= 0) return nullptr;
        SOCKET s = accept(listener->socket, nullptr, nullptr);
        if (s == INVALID_SOCKET) return nullptr;
        return new PeerConn{false, s, INVALID_HANDLE_VALUE};
    }
    OVERLAPPED ov;
    std::memset(&ov, 0, sizeof(ov));
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    BOOL started = ConnectNamedPipe(listener->instance, &ov);
    int32_t rc = wait_overlapped(listener->instance, &ov, started, timeout_ms);
    CloseHandle(ov.hEvent);
    if (rc < 0) return nullptr;
    PeerConn* conn = new PeerConn{true, INVALID_SOCKET, listener->instance};
    listener->instance = new_instance(listener->pipe_name);
    return conn;
}

void peer_stop(PeerListener* listener) {
    if (!listener) return;
    if (listener->is_pipe) {
        if (listener->instance != INVALID_HANDLE_VALUE) CloseHandle(listener->instance);
    } else {
        closesocket(listener->socket);
    }
    delete listener;
}

int32_t peer_read(PeerConn* conn, uint8_t* buf, uint32_t len, uint32_t timeout_ms) {
    if (!conn->is_pipe) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(conn->socket, &set);
        timeval tv{static_cast<long>(timeout_ms / 1000), static_cast<long>((timeout_ms % 1000) * 1000)};
        if (select(0, &set, nullptr, nullptr, &tv) <= 0) return -1;
        int n = recv(conn->socket, reinterpret_cast<char*>(buf), static_cast<int>(len), 0);
        return n < 0 ? -1 : n;
    }
    OVERLAPPED ov;
    std::memset(&ov, 0, sizeof(ov));
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    BOOL started = ReadFile(conn->pipe, buf, len, nullptr, &ov);
    if (!started && GetLastError() == ERROR_BROKEN_PIPE) {
        CloseHandle(ov.hEvent);
        return 0;
    }
    int32_t rc = wait_overlapped(conn->pipe, &ov, started, timeout_ms);
    if (rc < 0 && GetLastError() == ERROR_BROKEN_PIPE) rc = 0;
    CloseHandle(ov.hEvent);
    return rc;
}

bool peer_write(PeerConn* conn, const uint8_t* buf, uint32_t len) {
    if (!conn->is_pipe) {
        uint32_t done = 0;
        while (done < len) {
            int n = send(conn->socket, reinterpret_cast<const char*>(buf + done), static_cast<int>(len - done), 0);
            if (n <= 0) return false;
            done += static_cast<uint32_t>(n);
        }
        return true;
    }
    OVERLAPPED ov;
    std::memset(&ov, 0, sizeof(ov));
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    BOOL started = WriteFile(conn->pipe, buf, len, nullptr, &ov);
    int32_t rc = wait_overlapped(conn->pipe, &ov, started, 5000);
    CloseHandle(ov.hEvent);
    return rc == static_cast<int32_t>(len);
}

void peer_abort(PeerConn* conn) {
    if (!conn) return;
    if (conn->is_pipe) {
        DisconnectNamedPipe(conn->pipe);
    } else {
        linger hard{1, 0};
        setsockopt(conn->socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof(hard));
    }
    peer_close(conn);
}

void peer_shutdown_send(PeerConn* conn) {
    if (conn && !conn->is_pipe) shutdown(conn->socket, SD_SEND);
}

void peer_close(PeerConn* conn) {
    if (!conn) return;
    if (conn->is_pipe) {
        // Closing (not disconnecting) lets the client still read what was
        // written before it sees the broken pipe.
        CloseHandle(conn->pipe);
    } else {
        closesocket(conn->socket);
    }
    delete conn;
}
#endif
