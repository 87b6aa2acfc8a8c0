// The programs' one log channel: formatted reports on standard output,
// flushed at once so redirected output appears as it happens.
#pragma once

#if defined(__GNUC__)
#define RELAY_PRINTF(a, b) __attribute__((format(printf, a, b)))
#else
#define RELAY_PRINTF(a, b)
#endif

void console_print(const char* format, ...) RELAY_PRINTF(1, 2);
