// Relay-Launcher.log: every line the launcher reports, with its time and who
// said it, written through at once. Kept below its size limit by moving it to
// "<name>.1" (replacing the one before) when the next line would reach it;
// when that move fails, the lines go on into the file and the move is tried
// again a little later.
#pragma once

#include <cstdio>

constexpr long kLogLimitBytes = 1024 * 1024;
constexpr char kLogFileName[] = "Relay-Launcher.log";

struct LauncherLog {
    std::FILE* file;
    char path[1024];
    long size;
    long limit;
    long rotate_at;         // the size that moves it: the limit, or more after a failed move
    bool failed;            // a write failed; reported once
    bool rotation_failed;   // the last move failed; reported once
};

// Opens the log for appending; false (and reported on the console) when it
// cannot be written, after which writing does nothing.
bool log_open(LauncherLog* log, const char* path, long limit);

// Writes "<time> <tag>: <text>".
void log_write(LauncherLog* log, const char* time, const char* tag, const char* text);

void log_close(LauncherLog* log);
