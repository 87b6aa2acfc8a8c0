#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/process_list.h"

namespace platform {

namespace {

// The name in /proc/<id>/stat, "<id> (<name>) <state> ...", unless the
// process has ended and only waits to be reaped (state Z).
bool running_name(const char* id, char* name, size_t size) {
    char path[300], line[256];
    std::snprintf(path, sizeof path, "/proc/%s/stat", id);
    std::FILE* f = std::fopen(path, "r");
    if (!f) return false;  // gone meanwhile
    size_t n = std::fread(line, 1, sizeof line - 1, f);
    std::fclose(f);
    line[n] = '\0';
    const char* open = std::strchr(line, '(');
    const char* close = std::strrchr(line, ')');  // the name may hold ')'
    if (!open || !close || close < open || close[1] != ' ' || close[2] == 'Z') return false;
    std::snprintf(name, size, "%.*s", static_cast<int>(close - open - 1), open + 1);
    return true;
}

// The process's network namespace is ours. One elsewhere can take neither
// a port nor a panel from us (nor can one we may not look at be told).
bool same_network(const char* id, const struct stat& ours) {
    char path[300];
    std::snprintf(path, sizeof path, "/proc/%s/ns/net", id);
    struct stat its;
    return stat(path, &its) == 0 && its.st_ino == ours.st_ino && its.st_dev == ours.st_dev;
}

}  // namespace

bool list_processes(ProcessVisitor visit, void* context) {
    struct stat ours;
    if (stat("/proc/self/ns/net", &ours) != 0) return false;
    DIR* proc = opendir("/proc");
    if (!proc) return false;
    while (const dirent* entry = readdir(proc)) {
        char* end;
        unsigned long id = std::strtoul(entry->d_name, &end, 10);
        char name[32];
        if (*end != '\0' || end == entry->d_name || !same_network(entry->d_name, ours) ||
            !running_name(entry->d_name, name, sizeof name))
            continue;
        visit(context, static_cast<uint32_t>(id), name);
    }
    closedir(proc);
    return true;
}

}  // namespace platform
