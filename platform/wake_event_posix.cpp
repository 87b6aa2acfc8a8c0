#include <linux/futex.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <new>

#include "platform/wake_event.h"

namespace platform {

// One word: clear, set, or clear with the waiter asleep on it. Setting makes
// a system call only while the waiter sleeps, and touches nothing of the
// event after the waiter can see it set, so a waiter may free the event once
// it has seen its last setting.
struct WakeEvent {
    std::atomic<int> state{0};
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

void futex(std::atomic<int>* word, int op, int value, const timespec* timeout) {
    syscall(SYS_futex, reinterpret_cast<int*>(word), op | FUTEX_PRIVATE_FLAG, value, timeout, nullptr, 0);
}

}  // namespace

WakeEvent* wake_event_create() { return new (std::nothrow) WakeEvent; }

void wake_event_free(WakeEvent* event) { delete event; }

void wake_event_set(WakeEvent* event) {
    if (event->state.exchange(kSet) == kSleeping) futex(&event->state, FUTEX_WAKE, 1, nullptr);
}

bool wake_event_wait(WakeEvent* event, uint32_t timeout_ms) {
    int64_t deadline = now_ns() + static_cast<int64_t>(timeout_ms) * 1000000;
    for (;;) {
        int seen = kClear;
        if (!event->state.compare_exchange_strong(seen, kSleeping) && seen == kSet) {
            // An exchange rather than a store, so that what a setting made
            // just now (a queued message) is seen too.
            event->state.exchange(kClear);
            return true;
        }
        int64_t left = deadline - now_ns();
        if (left <= 0) return event->state.exchange(kClear) == kSet;
        timespec wait{static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
        futex(&event->state, FUTEX_WAIT, kSleeping, &wait);  // returns at once if no longer sleeping
    }
}

}  // namespace platform
