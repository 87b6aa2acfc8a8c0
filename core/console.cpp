#include "core/console.h"

#include <cstdarg>
#include <cstdio>

void console_print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fflush(stdout);
}
