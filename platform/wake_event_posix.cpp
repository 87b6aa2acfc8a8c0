#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <new>

#include "platform/wake_event.h"

namespace platform {

// One word (clear, set, or clear with the waiter asleep) and an eventfd the
// waiter polls, beside the panel's socket when it watches one. Setting
// writes the eventfd only while the waiter sleeps, so a busy loop is set
// without a system call.
struct WakeEvent {
    std::atomic<int> state{0};
    int fd = -1;
};

struct SocketWatch {
    int fd;
};

namespace {

constexpr int kClear = 0;
constexpr int kSet = 1;
constexpr int kSleeping = 2;

int64_t now_ns() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// A count written after the waiter had already woken for another reason is
// no news: whether the event is set is the word's to say.
void drain_eventfd(int fd) {
    uint64_t count;
    ssize_t ignored = read(fd, &count, sizeof(count));
    (void)ignored;
}

}  // namespace

WakeEvent* wake_event_create() {
    WakeEvent* event = new (std::nothrow) WakeEvent;
    if (!event) return nullptr;
    event->fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (event->fd < 0) {
        delete event;
        return nullptr;
    }
    return event;
}

void wake_event_free(WakeEvent* event) {
    if (!event) return;
    close(event->fd);
    delete event;
}

void wake_event_set(WakeEvent* event) {
    int fd = event->fd;
    if (event->state.exchange(kSet) == kSleeping) {
        uint64_t one = 1;
        ssize_t ignored = write(fd, &one, sizeof(one));
        (void)ignored;
    }
}

bool wake_event_wait(WakeEvent* event, uint32_t timeout_ms) {
    return wake_event_wait_or_datagram(event, nullptr, timeout_ms) == WAKE_EVENT;
}

SocketWatch* socket_watch_create(UdpSocket socket) {
    if (socket == kInvalidSocket) return nullptr;
    return new (std::nothrow) SocketWatch{static_cast<int>(socket)};
}

void socket_watch_free(SocketWatch* watch) { delete watch; }

WakeCause wake_event_wait_or_datagram(WakeEvent* event, SocketWatch* watch, uint32_t timeout_ms) {
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
        pollfd fds[2] = {{event->fd, POLLIN, 0}, {watch ? watch->fd : -1, POLLIN, 0}};
        timespec wait{static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
        int n = ppoll(fds, watch ? 2 : 1, &wait, nullptr);
        if (n <= 0) continue;  // the deadline, or a signal: the loop decides
        if (fds[0].revents != 0) drain_eventfd(event->fd);
        if (watch && fds[1].revents != 0) {
            return event->state.exchange(kClear) == kSet ? WAKE_EVENT : WAKE_DATAGRAM;
        }
    }
}

}  // namespace platform
