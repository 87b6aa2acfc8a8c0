#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

#include "platform/wake_event.h"

namespace platform {

struct WakeEvent {
    std::mutex lock;
    std::condition_variable changed;
    bool set = false;
};

WakeEvent* wake_event_create() { return new (std::nothrow) WakeEvent; }

void wake_event_free(WakeEvent* event) { delete event; }

void wake_event_set(WakeEvent* event) {
    {
        std::lock_guard<std::mutex> hold(event->lock);
        event->set = true;
    }
    event->changed.notify_one();
}

bool wake_event_wait(WakeEvent* event, uint32_t timeout_ms) {
    std::unique_lock<std::mutex> hold(event->lock);
    bool woken = event->changed.wait_for(hold, std::chrono::milliseconds(timeout_ms), [event] { return event->set; });
    event->set = false;
    return woken;
}

}  // namespace platform
