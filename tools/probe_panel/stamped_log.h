// A log that another process writes (the stand-in's, a program's console),
// followed on a thread of its own so that each line is stamped when it
// arrives, not when the benchmark gets round to looking. Only lines holding
// the filter text are kept.
#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <string>

using ProbeClock = std::chrono::steady_clock;

struct StampedText {
    ProbeClock::time_point at;
    std::string text;
};

struct StampedLog {
    std::mutex lock;
    std::deque<StampedText> lines;
    std::string filter;  // empty: every line is kept
};

// Starts following the file or FIFO at `path`, waiting for it to appear and
// reading on at its end as it grows. The reader never ends, so it is left
// running at exit.
void stamped_log_start(StampedLog* log, const char* path, const char* filter);

void stamped_log_clear(StampedLog* log);

// The arrival time of the first kept line holding `text`, if there is one.
bool stamped_log_find(StampedLog* log, const char* text, ProbeClock::time_point* at);

// Kept lines holding `text` that arrived at or after `since`.
long stamped_log_count(StampedLog* log, const char* text, ProbeClock::time_point since);

// The arrival time of the n-th (from 1) of those lines, if there are n.
bool stamped_log_find_nth(StampedLog* log, const char* text, ProbeClock::time_point since, long n,
                          ProbeClock::time_point* at);

double ms_between(ProbeClock::time_point a, ProbeClock::time_point b);
