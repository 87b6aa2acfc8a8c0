#include <sched.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <new>

#include "platform/wake_event.h"

namespace platform {

// One word (clear, set, or clear with the waiter asleep) and an eventfd that
// setting writes only while the waiter sleeps, so a busy loop is set
// without a system call. The eventfd is watched edge-triggered and never
// read: each write is one wake-up, and a wait costs one system call, as a
// futex would.
struct WakeEvent {
    std::atomic<int> state{0};
    std::atomic<int> setting{0};  // settings under way, which free waits out
    int fd = -1;
    int epoll = -1;  // the eventfd alone
};

// The socket, level-triggered: a datagram left waiting ends the next wait.
// The event's eventfd joins it at the first wait with that event.
struct SocketWatch {
    int epoll = -1;
    WakeEvent* joined = nullptr;
};

namespace {

constexpr int kClear = 0;
constexpr int kSet = 1;
constexpr int kSleeping = 2;

constexpr uint32_t kEventTag = 0;
constexpr uint32_t kSocketTag = 1;

int64_t now_ns() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

bool watch_fd(int epoll, int fd, uint32_t events, uint32_t tag) {
    epoll_event e{};
    e.events = events;
    e.data.u32 = tag;
    return epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &e) == 0;
}

void close_fd(int fd) {
    if (fd >= 0) close(fd);
}

}  // namespace

WakeEvent* wake_event_create() {
    WakeEvent* event = new (std::nothrow) WakeEvent;
    if (!event) return nullptr;
    event->fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    event->epoll = epoll_create1(EPOLL_CLOEXEC);
    if (event->fd < 0 || event->epoll < 0 || !watch_fd(event->epoll, event->fd, EPOLLIN | EPOLLET, kEventTag)) {
        wake_event_free(event);
        return nullptr;
    }
    return event;
}

void wake_event_free(WakeEvent* event) {
    if (!event) return;
    // The setting that woke the last wait may still be on its way out of
    // the write; its descriptor must not be closed under it.
    while (event->setting.load(std::memory_order_acquire) != 0) sched_yield();
    close_fd(event->epoll);
    close_fd(event->fd);
    delete event;
}

void wake_event_set(WakeEvent* event) {
    event->setting.fetch_add(1, std::memory_order_relaxed);
    if (event->state.exchange(kSet) == kSleeping) {
        uint64_t one = 1;
        ssize_t ignored = write(event->fd, &one, sizeof(one));
        (void)ignored;
    }
    event->setting.fetch_sub(1, std::memory_order_release);
}

bool wake_event_wait(WakeEvent* event, uint32_t timeout_ms) {
    return wake_event_wait_or_datagram(event, nullptr, timeout_ms) == WAKE_EVENT;
}

SocketWatch* socket_watch_create(UdpSocket socket) {
    if (socket == kInvalidSocket) return nullptr;
    SocketWatch* watch = new (std::nothrow) SocketWatch;
    if (!watch) return nullptr;
    watch->epoll = epoll_create1(EPOLL_CLOEXEC);
    if (watch->epoll < 0 || !watch_fd(watch->epoll, static_cast<int>(socket), EPOLLIN, kSocketTag)) {
        socket_watch_free(watch);
        return nullptr;
    }
    return watch;
}

void socket_watch_free(SocketWatch* watch) {
    if (!watch) return;
    close_fd(watch->epoll);
    delete watch;
}

WakeCause wake_event_wait_or_datagram(WakeEvent* event, SocketWatch* watch, uint32_t timeout_ms) {
    if (watch && watch->joined != event) {
        watch->joined = watch_fd(watch->epoll, event->fd, EPOLLIN | EPOLLET, kEventTag) ? event : nullptr;
    }
    int epoll = watch && watch->joined == event ? watch->epoll : event->epoll;
    int64_t deadline = now_ns() + static_cast<int64_t>(timeout_ms) * 1000000;
    for (;;) {
        int seen = kClear;
        if (!event->state.compare_exchange_strong(seen, kSleeping) && seen == kSet) {
            // An exchange rather than a store, so that what a setting made
            // just now (a queued message) is seen too.
            event->state.exchange(kClear);
            return WAKE_EVENT;
        }
        int64_t left = deadline - now_ns();
        if (left <= 0) return event->state.exchange(kClear) == kSet ? WAKE_EVENT : WAKE_TIMEOUT;
        epoll_event ready[2];
        // A wake-up the other epoll set took, or a write made after the
        // waiter had woken, can end a wait early: the word decides.
        int64_t wait_ms = (left + 999999) / 1000000;
        int n = epoll_wait(epoll, ready, 2, static_cast<int>(wait_ms < INT32_MAX ? wait_ms : INT32_MAX));
        for (int i = 0; i < n; ++i) {
            if (ready[i].data.u32 == kSocketTag) {
                return event->state.exchange(kClear) == kSet ? WAKE_EVENT : WAKE_DATAGRAM;
            }
        }
    }
}

}  // namespace platform
