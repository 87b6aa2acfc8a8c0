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

void rotate(LauncherLog* log) {
    char older[sizeof log->path + 2];
    std::snprintf(older, sizeof older, "%s.1", log->path);
    std::fclose(log->file);
    log->file = nullptr;
    std::remove(older);  // rename does not replace a file everywhere
    if (std::rename(log->path, older) != 0) return give_up(log, "cannot rotate");
    log->file = std::fopen(log->path, "w");
    log->size = 0;
    if (!log->file) give_up(log, "cannot write");
}

}  // namespace

bool log_open(LauncherLog* log, const char* path, long limit) {
    std::snprintf(log->path, sizeof log->path, "%s", path);
    log->limit = limit;
    log->failed = false;
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
    if (log->size + length + 1 >= log->limit) rotate(log);
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
