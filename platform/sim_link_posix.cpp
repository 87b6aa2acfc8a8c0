// POSIX side of the simulator link. Each link owns one thread that waits on
// the socket and a wake-up descriptor, performs the one outstanding read and
// the one outstanding write, and delivers their completions, so the client
// above sees the same asynchronous behaviour as on Windows.
#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/pipe_path.h"
#include "platform/sim_link.h"
#include "platform/sim_link_faults.h"
#include "platform/wake_event.h"

namespace platform {

// NT statuses a completion reports, matching what Windows reports.
constexpr uint32_t kStatusCancelled = LINK_STATUS_CANCELLED;
constexpr uint32_t kStatusRemoteDisconnect = 0xC000013Cu;
constexpr uint32_t kStatusPipeBroken = 0xC000014Bu;
constexpr uint32_t kStatusConnectionReset = 0xC000020Du;

struct SimLink {
    int fd = -1;
    int wake_fd = -1;
    uint32_t kind = LINK_TCP;
    LinkCompletion completion = nullptr;
    void* context = nullptr;

    std::mutex lock;
    bool read_pending = false;
    uint8_t* read_buf = nullptr;
    uint32_t read_len = 0;
    bool write_pending = false;
    const uint8_t* write_buf = nullptr;
    uint32_t write_len = 0;
    uint32_t write_done = 0;
    bool closing = false;
    // Set when the thread's own wait failed: what the operations still
    // pending complete with, and what every later start fails with.
    uint32_t failure = 0;
    bool owner_gone = false;
    bool thread_done = false;
    std::thread::id thread_id;
    std::atomic<uint32_t> last_error{0};
};

static std::atomic<uint32_t> g_tcp_sockets_created{0};
static std::atomic<int32_t> g_live_links{0};

namespace {

// Wakes the link's thread to take up a new operation (call with the lock
// held). A start made by a completion, on that thread itself, needs none:
// the thread looks for work again before it waits.
void wake(SimLink* link) {
    if (std::this_thread::get_id() == link->thread_id) return;
    uint64_t one = 1;
    ssize_t ignored = write(link->wake_fd, &one, sizeof(one));
    (void)ignored;
}

uint32_t status_from_errno(int err, uint32_t kind) {
    switch (err) {
        case ECONNRESET:
            return kind == LINK_PIPE ? kStatusPipeBroken : kStatusConnectionReset;
        case EPIPE:
            return kind == LINK_PIPE ? kStatusPipeBroken : kStatusRemoteDisconnect;
        case ECONNABORTED:
            return kStatusRemoteDisconnect;
        case ECANCELED:
            return kStatusCancelled;
        default:
            return LINK_STATUS_UNSUCCESSFUL;
    }
}

// Final step of the thread: close the descriptors and free the link if its
// owner has already let it go.
void finish_thread(SimLink* link) {
    // Once thread_done is seen, link_free may delete the link at once: take
    // what is still needed before saying so.
    int fd = link->fd;
    int wake_fd = link->wake_fd;
    std::unique_lock<std::mutex> guard(link->lock);
    link->thread_done = true;
    bool free_now = link->owner_gone;
    guard.unlock();
    close(fd);
    close(wake_fd);
    if (free_now) delete link;
}

// Status of a start refused because the link is closing (call with the
// lock held).
uint32_t closed_status(const SimLink* link) { return link->failure ? link->failure : kStatusCancelled; }

// The thread's wait: poll, or the failure a test has armed in its place.
int wait_link(pollfd* fds, nfds_t count) {
    if (uint32_t injected = link_take_fault(LINK_FAULT_WAIT)) {
        errno = static_cast<int>(injected);
        return -1;
    }
    return poll(fds, count, -1);
}

void run_link(SimLink* link) {
    for (;;) {
        std::unique_lock<std::mutex> guard(link->lock);
        if (link->closing) {
            bool had_read = link->read_pending;
            bool had_write = link->write_pending;
            uint32_t status = closed_status(link);
            link->read_pending = false;
            link->write_pending = false;
            guard.unlock();
            if (had_read) link->completion(link->context, LINK_OP_READ, status, 0);
            if (had_write) link->completion(link->context, LINK_OP_WRITE, status, 0);
            guard.lock();
            if (link->read_pending || link->write_pending) continue;
            guard.unlock();
            finish_thread(link);
            return;
        }
        pollfd fds[2];
        fds[0] = {link->wake_fd, POLLIN, 0};
        short events = 0;
        if (link->read_pending) events |= POLLIN;
        if (link->write_pending) events |= POLLOUT;
        fds[1] = {link->fd, events, 0};
        guard.unlock();

        if (wait_link(fds, events ? 2 : 1) < 0) {
            int err = errno;
            if (err == EINTR) continue;
            // The link can no longer wait: it fails like a broken connection,
            // for what is pending now and for every later start.
            link->last_error = static_cast<uint32_t>(err);
            guard.lock();
            link->failure = status_from_errno(err, link->kind);
            link->closing = true;
            continue;
        }
        if (fds[0].revents & POLLIN) {
            uint64_t count;
            ssize_t ignored = read(link->wake_fd, &count, sizeof(count));
            (void)ignored;
        }
        guard.lock();
        if (link->closing || !events) continue;
        bool read_ready = link->read_pending && (fds[1].revents & (POLLIN | POLLHUP | POLLERR));
        bool write_ready = link->write_pending && (fds[1].revents & (POLLOUT | POLLHUP | POLLERR));
        guard.unlock();

        if (read_ready) {
            ssize_t n = recv(link->fd, link->read_buf, link->read_len, MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
                // Spurious wake-up: the read stays outstanding.
            } else {
                uint32_t status = 0;
                uint32_t bytes = 0;
                if (n > 0) {
                    bytes = static_cast<uint32_t>(n);
                } else if (n == 0) {
                    // A Windows pipe reports its peer's close as a broken
                    // pipe, a socket as a zero-byte read.
                    if (link->kind == LINK_PIPE) status = kStatusPipeBroken;
                } else {
                    link->last_error = static_cast<uint32_t>(errno);
                    status = status_from_errno(errno, link->kind);
                }
                guard.lock();
                link->read_pending = false;
                guard.unlock();
                link->completion(link->context, LINK_OP_READ, status, bytes);
            }
        }
        if (write_ready) {
            ssize_t n = send(link->fd, link->write_buf + link->write_done, link->write_len - link->write_done,
                             MSG_DONTWAIT | MSG_NOSIGNAL);
            bool done = false;
            uint32_t status = 0;
            if (n >= 0) {
                link->write_done += static_cast<uint32_t>(n);
                done = link->write_done >= link->write_len;
            } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                link->last_error = static_cast<uint32_t>(errno);
                status = status_from_errno(errno, link->kind);
                done = true;
            }
            if (done) {
                uint32_t bytes = status ? 0 : link->write_done;
                guard.lock();
                link->write_pending = false;
                guard.unlock();
                link->completion(link->context, LINK_OP_WRITE, status, bytes);
            }
        }
    }
}

SimLink* start_link(int fd, uint32_t kind, LinkCompletion completion, void* context) {
    int wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_fd < 0) {
        close(fd);
        return nullptr;
    }
    SimLink* link = new SimLink;
    link->fd = fd;
    link->wake_fd = wake_fd;
    link->kind = kind;
    link->completion = completion;
    link->context = context;
    try {
        std::thread thread(run_link, link);
        // Stored before any start can be made: the first comes from the
        // owner once this returns.
        link->thread_id = thread.get_id();
        thread.detach();
    } catch (...) {
        close(fd);
        close(wake_fd);
        delete link;
        return nullptr;
    }
    g_live_links++;
    return link;
}

}  // namespace

SimLink* link_open_pipe(const char* pipe_name, LinkCompletion completion, void* context) {
    char name[108];
    if (!pipe_socket_name(pipe_name, name, sizeof(name))) return nullptr;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    sockaddr_un addr;
    std::memset(&addr, 0, sizeof(addr));
    addr.sun_family = AF_UNIX;
    size_t len = std::strlen(name);
    std::memcpy(addr.sun_path + 1, name, len);  // abstract: leading NUL
    socklen_t addr_len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + len);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), addr_len) != 0) {
        close(fd);
        return nullptr;
    }
    return start_link(fd, LINK_PIPE, completion, context);
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
    int fd = socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, found->ai_protocol);
    if (fd < 0) {
        freeaddrinfo(found);
        return nullptr;
    }
    g_tcp_sockets_created++;
    int rc = connect(fd, found->ai_addr, found->ai_addrlen);
    freeaddrinfo(found);
    if (rc != 0) {
        close(fd);
        return nullptr;
    }
    return start_link(fd, LINK_TCP, completion, context);
}

uint32_t link_kind(const SimLink* link) { return link->kind; }

namespace {

// Why a start cannot be handed to the thread (call with the lock held); 0
// when it can.
uint32_t start_refused(SimLink* link, bool pending, uint32_t len, LinkFault fault) {
    if (link->closing) return closed_status(link);
    if (pending || len == 0) return LINK_STATUS_UNSUCCESSFUL;
    if (uint32_t injected = link_take_fault(fault)) {
        link->last_error = injected;
        return status_from_errno(static_cast<int>(injected), link->kind);
    }
    return 0;
}

}  // namespace

uint32_t link_start_read(SimLink* link, uint8_t* buf, uint32_t len) {
    std::lock_guard<std::mutex> guard(link->lock);
    if (uint32_t refused = start_refused(link, link->read_pending, len, LINK_FAULT_READ)) return refused;
    link->read_buf = buf;
    link->read_len = len;
    link->read_pending = true;
    wake(link);
    return 0;
}

uint32_t link_start_write(SimLink* link, const uint8_t* buf, uint32_t len) {
    std::lock_guard<std::mutex> guard(link->lock);
    if (uint32_t refused = start_refused(link, link->write_pending, len, LINK_FAULT_WRITE)) return refused;
    link->write_buf = buf;
    link->write_len = len;
    link->write_done = 0;
    link->write_pending = true;
    wake(link);
    return 0;
}

void link_set_nodelay(SimLink* link) {
    int one = 1;
    setsockopt(link->fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
}

uint32_t link_last_os_error(const SimLink* link) { return link->last_error; }

void link_close(SimLink* link, bool was_open) {
    std::lock_guard<std::mutex> guard(link->lock);
    if (link->closing) return;
    link->closing = true;
    // The descriptor itself is closed by the link's thread once it is done
    // with it, so no other open can reuse its number under our feet.
    if (was_open || link->kind == LINK_PIPE) shutdown(link->fd, SHUT_RDWR);
    wake(link);
}

void link_free(SimLink* link) {
    g_live_links--;
    std::unique_lock<std::mutex> guard(link->lock);
    if (!link->closing) {
        link->closing = true;
        shutdown(link->fd, SHUT_RDWR);
        wake(link);
    }
    link->owner_gone = true;
    bool free_now = link->thread_done;
    guard.unlock();
    if (free_now) delete link;
}

void notify_window(void*, uint32_t) {}
// POSIX has no event objects: the handle is a wake event of our own.
void notify_event(void* event_handle) { wake_event_set(static_cast<WakeEvent*>(event_handle)); }

bool link_net_startup() { return true; }
void link_net_cleanup() {}

uint32_t link_tcp_sockets_created() { return g_tcp_sockets_created; }

int32_t link_live_count() { return g_live_links; }

}  // namespace platform
