#include "tools/probe_panel/stamped_log.h"

#include <cstdio>
#include <thread>

#include "platform/env.h"

namespace {

// How long the reader sleeps at the end of the log before it looks again.
constexpr uint32_t kFollowPauseMs = 10;

void keep_line(StampedLog* log, const std::string& line) {
    ProbeClock::time_point at = ProbeClock::now();
    if (line.find(log->filter) == std::string::npos) return;
    std::lock_guard<std::mutex> hold(log->lock);
    log->lines.push_back({at, line});
}

void follow(StampedLog* log, std::string path) {
    std::FILE* in;
    while (!(in = std::fopen(path.c_str(), "r"))) platform::sleep_ms(kFollowPauseMs);
    // A line is only taken once its line end is there: the writer may be
    // half-way through it when the reader reaches the end.
    std::string line;
    for (;;) {
        int c = std::fgetc(in);
        if (c == EOF) {
            std::clearerr(in);
            platform::sleep_ms(kFollowPauseMs);
        } else if (c == '\n') {
            keep_line(log, line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(c));
        }
    }
}

}  // namespace

void stamped_log_start(StampedLog* log, const char* path, const char* filter) {
    log->filter = filter;
    std::thread(follow, log, std::string(path)).detach();
}

void stamped_log_clear(StampedLog* log) {
    std::lock_guard<std::mutex> hold(log->lock);
    log->lines.clear();
}

bool stamped_log_find(StampedLog* log, const char* text, ProbeClock::time_point* at) {
    std::lock_guard<std::mutex> hold(log->lock);
    for (const StampedText& l : log->lines) {
        if (l.text.find(text) != std::string::npos) {
            *at = l.at;
            return true;
        }
    }
    return false;
}

long stamped_log_count(StampedLog* log, const char* text, ProbeClock::time_point since) {
    std::lock_guard<std::mutex> hold(log->lock);
    long count = 0;
    for (const StampedText& l : log->lines) {
        if (l.at >= since && l.text.find(text) != std::string::npos) ++count;
    }
    return count;
}

bool stamped_log_find_nth(StampedLog* log, const char* text, ProbeClock::time_point since, long n,
                          ProbeClock::time_point* at) {
    std::lock_guard<std::mutex> hold(log->lock);
    long seen = 0;
    for (const StampedText& l : log->lines) {
        if (l.at < since || l.text.find(text) == std::string::npos) continue;
        if (++seen == n) {
            *at = l.at;
            return true;
        }
    }
    return false;
}

double ms_between(ProbeClock::time_point a, ProbeClock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}
