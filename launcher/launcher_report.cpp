#include "launcher/launcher_report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "launcher/launcher_state.h"
#include "platform/udp.h"

void error_words(uint32_t error, char* text, size_t size) {
    if (!platform::error_text(error, text, size)) std::snprintf(text, size, "error %u", error);
    size_t n = std::strlen(text);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' ')) text[--n] = '\0';
}

void time_stamp(char* buf, size_t size) {
    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local || std::strftime(buf, size, "%Y-%m-%d %H:%M:%S", local) == 0) std::snprintf(buf, size, "-");
}

void report_line(const char* tag, const char* text) {
    char stamp[24];
    time_stamp(stamp, sizeof stamp);
    log_write(&g_launcher.log, stamp, tag, text);
    // Under the table the date goes: the day is today.
    std::snprintf(g_launcher.recent[g_launcher.recent_next], kRecentLineSize, "%s %-14s %s", stamp + 11, tag, text);
    g_launcher.recent_next = (g_launcher.recent_next + 1) % kRecentLines;
    if (!g_launcher.table_on) console_print("%s %s: %s\n", stamp, tag, text);
}

void report(const char* format, ...) {
    char text[400];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    report_line(kLauncherName, text);
}
