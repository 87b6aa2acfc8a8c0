#include "simclient/alloc_faults.h"

#include <atomic>
#include <cstdlib>

static std::atomic<bool> g_fail_next[ALLOC_POINT_COUNT];

void* client_malloc(ClientAllocPoint point, size_t size) {
    if (g_fail_next[point].load(std::memory_order_relaxed) && g_fail_next[point].exchange(false)) return nullptr;
    return std::malloc(size);
}

void client_test_fail_next_alloc(ClientAllocPoint point) {
    if (point < ALLOC_POINT_COUNT) g_fail_next[point].store(true);
}
