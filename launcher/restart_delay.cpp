#include "launcher/restart_delay.h"

uint32_t restart_delay_ms(CrashBackoff* backoff, bool abnormal, uint64_t ran_ms) {
    if (!abnormal || ran_ms >= kLongestCrashDelayMs) backoff->next_delay_ms = 0;
    if (!abnormal) return kRestartAfterEndMs;
    uint32_t delay = backoff->next_delay_ms ? backoff->next_delay_ms : kFirstCrashDelayMs;
    backoff->next_delay_ms = delay >= kLongestCrashDelayMs / 2 ? kLongestCrashDelayMs : delay * 2;
    return delay;
}
