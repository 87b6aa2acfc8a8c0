// When a program that ended is started again: 2 s after a clean end (after a
// simulator session it then waits for the next); after a crash or an error
// code sooner the first time, then twice as long after each crash in a row,
// up to a minute, so that a program that cannot run does not spin.
#pragma once

#include <cstdint>

constexpr uint32_t kRestartAfterEndMs = 2000;
constexpr uint32_t kFirstCrashDelayMs = 1000;
constexpr uint32_t kLongestCrashDelayMs = 60000;

struct CrashBackoff {
    uint32_t next_delay_ms;  // 0: no crash in a row yet
};

// Milliseconds to wait before the next start of a program that ran for
// ran_ms and then ended, abnormally or not. A run as long as the longest
// delay ends a row of crashes.
uint32_t restart_delay_ms(CrashBackoff* backoff, bool abnormal, uint64_t ran_ms);
