#include "platform/sim_link_faults.h"

#include <atomic>

namespace platform {

static std::atomic<uint32_t> g_armed[LINK_FAULT_COUNT];

void link_test_fail_next(LinkFault fault, uint32_t os_error) {
    if (fault < LINK_FAULT_COUNT) g_armed[fault].store(os_error);
}

uint32_t link_take_fault(LinkFault fault) {
    if (g_armed[fault].load(std::memory_order_relaxed) == 0) return 0;
    return g_armed[fault].exchange(0);
}

}  // namespace platform
