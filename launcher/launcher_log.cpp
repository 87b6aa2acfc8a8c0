#include "launcher/launcher_log.h"

#include <cerrno>
#include <cstring>

#include "core/console.h"

namespace {

void give_up(LauncherLog* log, const char* what) {
    if (!log->failed) console_print("Relay-Launcher: %s %s: %s\n", what, log->path, std::strerror(errno));
    log->failed = true;
    if (log->file) std::fclose(log->file);
    log->file = nullptr;
}

// The older file may be held open (a viewer, a virus scanner): the lines go
// on into the current file, and the move is tried again some lines later.
void rotation_failed(LauncherLog* log) {
    int error = errno;
    log->file = std::fopen(log->path, "a");
    if (!log->file) return give_up(log, "cannot write");
    if (!log->rotation_failed) {
        console_print("Relay-Launcher: cannot move %s to %s.1 (%s): it grows on until that works\n", log->path,
                      log->path, std::strerror(error));
    }
    log->rotation_failed = true;
    log->rotate_at = log->size + log->limit / 16;
}

void rotate(LauncherLog* log) {
    char older[sizeof log->path + 2];
    std::snprintf(older, sizeof older, "%s.1", log->path);
    std::fclose(log->file);
    log->file = nullptr;
    std::remove(older);  // rename does not replace a file everywhere
    if (std::rename(log->path, older) != 0) return rotation_failed(log);
    log->file = std::fopen(log->path, "w");
    log->size = 0;
    log->rotate_at = log->limit;
    log->rotation_failed = false;
    if (!log->file) give_up(log, "cannot write");
}

}  // namespace

bool log_open(LauncherLog* log, const char* path, long limit) {
    std::snprintf(log->path, sizeof log->path, "%s", path);
    log->limit = limit;
    log->rotate_at = limit;
    log->failed = false;
    log->rotation_failed = false;
    log->file = std::fopen(path, "a");
    if (!log->file) {
        give_up(log, "cannot write");
        return false;
    }
    std::fseek(log->file, 0, SEEK_END);
    log->size = std::ftell(log->file);
    return true;
}

void log_write(LauncherLog* log, const char* time, const char* tag, const char* text) {
    if (!log->file) return;
    char line[512];
    int n = std::snprintf(line, sizeof line, "%s %s: %s\n", time, tag, text);
    if (n < 0) return;
    long length = n < static_cast<int>(sizeof line) ? n : static_cast<long>(sizeof line) - 1;
    // One byte to spare: a text-mode file may write the line end as two.
    if (log->size + length + 1 >= log->rotate_at) rotate(log);
    if (!log->file) return;
    if (std::fwrite(line, 1, static_cast<size_t>(length), log->file) != static_cast<size_t>(length) ||
        std::fflush(log->file) != 0) {
        return give_up(log, "cannot write");
    }
    long size = std::ftell(log->file);
    log->size = size >= 0 ? size : log->size + length + 1;
}

void log_close(LauncherLog* log) {
    if (log->file) std::fclose(log->file);
    log->file = nullptr;
}
