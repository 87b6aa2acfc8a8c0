// Windows side of the simulator link: a named pipe opened for overlapped I/O
// or a TCP socket, both bound to the system thread pool with
// BindIoCompletionCallback. The pool hands the completion function the NT
// status of the operation, which is what the client above expects.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/sim_link.h"
#include "platform/sim_link_faults.h"

namespace platform {

struct SimLink;

struct LinkOp {
    OVERLAPPED overlapped;
    SimLink* owner;
    uint16_t kind;
    WSABUF wsabuf;
};

struct SimLink {
    uint32_t kind;
    HANDLE pipe;
    SOCKET socket;
    HANDLE events[2];
    LinkOp read_op;
    LinkOp write_op;
    LinkCompletion completion;
    void* context;
    // Starts and the close take turns under this lock, so no read or write is
    // ever issued on a handle that is being closed (or whose value the
    // system has already given to another object).
    std::mutex lock;
    bool closed;
    std::atomic<uint32_t> last_error;
};

static std::atomic<uint32_t> g_tcp_sockets_created{0};
static std::atomic<int32_t> g_live_links{0};

// Windows hands the pool callback the operation's NT status; Wine hands it
// the Win32 error code instead. Both come out as NT statuses.
static uint32_t nt_status(SimLink* link, DWORD code) {
    if (code == 0 || code >= 0x80000000u) return code;
    switch (code) {
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
        case ERROR_PIPE_NOT_CONNECTED:
            return 0xC000014Bu;  // pipe broken
        case ERROR_NETNAME_DELETED:
            return 0xC000013Cu;  // remote disconnect
        case WSAECONNRESET:
        case ERROR_CONNECTION_ABORTED:
            return 0xC000020Du;  // connection reset
        case ERROR_OPERATION_ABORTED:
            return 0xC0000120u;  // cancelled
        case ERROR_MORE_DATA:
            return 0x80000005u;  // buffer overflow: the rest follows
        default:
            link->last_error = code;
            return LINK_STATUS_UNSUCCESSFUL;
    }
}

static VOID CALLBACK link_io_done(DWORD status, DWORD bytes, LPOVERLAPPED overlapped) {
    LinkOp* op = reinterpret_cast<LinkOp*>(reinterpret_cast<char*>(overlapped) - offsetof(LinkOp, overlapped));
    SimLink* link = op->owner;
    uint32_t nt = nt_status(link, status);
    // The callback may free the link; nothing here touches it afterwards.
    link->completion(link->context, op->kind, nt, static_cast<uint32_t>(bytes));
}

static SimLink* new_link(uint32_t kind, LinkCompletion completion, void* context) {
    SimLink* link = new SimLink;
    link->kind = kind;
    link->pipe = INVALID_HANDLE_VALUE;
    link->socket = INVALID_SOCKET;
    link->events[0] = link->events[1] = nullptr;
    std::memset(&link->read_op, 0, sizeof(link->read_op));
    std::memset(&link->write_op, 0, sizeof(link->write_op));
    link->read_op.owner = link;
    link->read_op.kind = LINK_OP_READ;
    link->write_op.owner = link;
    link->write_op.kind = LINK_OP_WRITE;
    link->completion = completion;
    link->context = context;
    link->closed = false;
    link->last_error = 0;
    g_live_links++;
    return link;
}

SimLink* link_open_pipe(const char* pipe_name, LinkCompletion completion, void* context) {
    // Identification only: whoever serves the pipe (a process that took the
    // simulator's pipe name first, or a server named in "Address") may learn
    // who we are but cannot act as us.
    const DWORD flags = FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;
    HANDLE pipe;
    for (;;) {
        pipe = CreateFileA(pipe_name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) break;
        if (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeA(pipe_name, 5000)) return nullptr;
    }
    if (!BindIoCompletionCallback(pipe, link_io_done, 0)) {
        CloseHandle(pipe);
        return nullptr;
    }
    SimLink* link = new_link(LINK_PIPE, completion, context);
    link->pipe = pipe;
    // Manual-reset events for the two operation records, as the pipe's
    // overlapped calls expect; the completion still goes to the pool.
    for (int i = 0; i < 2; ++i) {
        link->events[i] = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!link->events[i]) {
            std::printf("CreateEvent failed with %d.\n", static_cast<int>(GetLastError()));
            std::fflush(stdout);
        }
    }
    return link;
}

SimLink* link_open_tcp(const char* address, const char* port, uint32_t family, LinkCompletion completion,
                       void* context) {
    addrinfo hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_family = family == LINK_FAMILY_IPV6 ? AF_INET6 : AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (getaddrinfo(address, port, &hints, &found) != 0 || !found) return nullptr;
    SOCKET s = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    if (s == INVALID_SOCKET) {
        freeaddrinfo(found);
        return nullptr;
    }
    g_tcp_sockets_created++;
    bool ok = connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0 &&
              BindIoCompletionCallback(reinterpret_cast<HANDLE>(s), link_io_done, 0);
    freeaddrinfo(found);
    if (!ok) {
        closesocket(s);
        return nullptr;
    }
    SimLink* link = new_link(LINK_TCP, completion, context);
    link->socket = s;
    return link;
}

uint32_t link_kind(const SimLink* link) { return link->kind; }

static void reset_op(LinkOp* op, HANDLE event) {
    std::memset(&op->overlapped, 0, sizeof(op->overlapped));
    op->overlapped.hEvent = event;
}

// A call that failed at once posts no completion: its status goes back to
// the caller instead, translated as a completion's would be.
static uint32_t failed_at_once(SimLink* link, DWORD err) {
    link->last_error = err;
    uint32_t status = nt_status(link, err);
    return status ? status : LINK_STATUS_UNSUCCESSFUL;
}

// Why a start is refused before any call is made (call with the lock held);
// 0 when it may go ahead.
static uint32_t start_refused(SimLink* link, uint32_t len, LinkFault fault) {
    if (link->closed) return LINK_STATUS_CANCELLED;
    if (len == 0) return LINK_STATUS_UNSUCCESSFUL;
    if (uint32_t injected = link_take_fault(fault)) return failed_at_once(link, injected);
    return 0;
}

uint32_t link_start_read(SimLink* link, uint8_t* buf, uint32_t len) {
    std::lock_guard<std::mutex> guard(link->lock);
    if (uint32_t refused = start_refused(link, len, LINK_FAULT_READ)) return refused;
    LinkOp* op = &link->read_op;
    reset_op(op, link->events[0]);
    op->wsabuf.buf = reinterpret_cast<char*>(buf);
    op->wsabuf.len = len;
    if (link->kind == LINK_TCP) {
        DWORD flags = 0;
        if (WSARecv(link->socket, &op->wsabuf, 1, nullptr, &flags, &op->overlapped, nullptr) == 0) return 0;
        int err = WSAGetLastError();
        return err == WSA_IO_PENDING ? 0 : failed_at_once(link, static_cast<DWORD>(err));
    }
    if (ReadFile(link->pipe, buf, len, nullptr, &op->overlapped)) return 0;
    DWORD err = GetLastError();
    return err == ERROR_IO_PENDING ? 0 : failed_at_once(link, err);
}

uint32_t link_start_write(SimLink* link, const uint8_t* buf, uint32_t len) {
    std::lock_guard<std::mutex> guard(link->lock);
    if (uint32_t refused = start_refused(link, len, LINK_FAULT_WRITE)) return refused;
    LinkOp* op = &link->write_op;
    reset_op(op, link->events[1]);
    op->wsabuf.buf = reinterpret_cast<char*>(const_cast<uint8_t*>(buf));
    op->wsabuf.len = len;
    if (link->kind == LINK_TCP) {
        if (WSASend(link->socket, &op->wsabuf, 1, nullptr, 0, &op->overlapped, nullptr) == 0) return 0;
        int err = WSAGetLastError();
        return err == WSA_IO_PENDING ? 0 : failed_at_once(link, static_cast<DWORD>(err));
    }
    if (WriteFile(link->pipe, buf, len, nullptr, &op->overlapped)) return 0;
    DWORD err = GetLastError();
    return err == ERROR_IO_PENDING ? 0 : failed_at_once(link, err);
}

void link_set_nodelay(SimLink* link) {
    if (link->kind != LINK_TCP) return;
    BOOL one = TRUE;
    setsockopt(link->socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof(one));
}

uint32_t link_last_os_error(const SimLink* link) {
    uint32_t stored = link->last_error;
    if (stored) return stored;
    return link->kind == LINK_TCP ? static_cast<uint32_t>(WSAGetLastError()) : static_cast<uint32_t>(GetLastError());
}

void link_close(SimLink* link, bool was_open) {
    std::lock_guard<std::mutex> guard(link->lock);
    if (link->closed) return;
    link->closed = true;
    if (link->kind == LINK_TCP) {
        if (was_open) {
            shutdown(link->socket, SD_BOTH);
            CancelIo(reinterpret_cast<HANDLE>(link->socket));
        }
        closesocket(link->socket);
        link->socket = INVALID_SOCKET;
    } else {
        CloseHandle(link->pipe);
        link->pipe = INVALID_HANDLE_VALUE;
        for (HANDLE& event : link->events) {
            if (event) CloseHandle(event);
            event = nullptr;
        }
    }
}

void link_free(SimLink* link) {
    g_live_links--;
    link_close(link, false);
    delete link;
}

void notify_window(void* window, uint32_t user_message) {
    PostMessageA(static_cast<HWND>(window), user_message, 0, 0);
}

void notify_event(void* event_handle) { SetEvent(static_cast<HANDLE>(event_handle)); }

bool link_net_startup() {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 0), &data) == 0;
}

void link_net_cleanup() { WSACleanup(); }

uint32_t link_tcp_sockets_created() { return g_tcp_sockets_created; }

int32_t link_live_count() { return g_live_links; }

}  // namespace platform
