#include "core/run_by_launcher.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/env.h"

bool run_by_launcher() {
    static const bool yes = platform::environment_flag(kRunByLauncherVariable);
    return yes;
}

void console_print_state(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // The mark starts the line the launcher reads, after the blank lines.
    size_t lead = std::strspn(text, "\n");
    std::fwrite(text, 1, lead, stdout);
    if (run_by_launcher()) std::fputc(kStateLineMark, stdout);
    std::fputs(text + lead, stdout);
    std::fflush(stdout);
}

const char* state_line_text(const char* line) { return line[0] == kStateLineMark ? line + 1 : nullptr; }
