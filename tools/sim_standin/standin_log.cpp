#include "tools/sim_standin/standin_log.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

int g_log_level = 0;

namespace {
std::mutex g_log_lock;
}

void standin_log(int level, const char* format, ...) {
    if (level > g_log_level) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    std::lock_guard<std::mutex> hold(g_log_lock);
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void standin_print(const char* text) {
    std::lock_guard<std::mutex> hold(g_log_lock);
    std::fputs(text, stdout);
    std::fflush(stdout);
}
