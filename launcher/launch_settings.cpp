#include "launcher/launch_settings.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "core/bridge_state.h"
#include "core/config.h"
#include "launcher/launcher_report.h"
#include "platform/env.h"

namespace {

bool same_name(const char* a, const char* b, size_t length) {
    if (std::strlen(b) != length) return false;
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

ProgramId program_named(const char* name, size_t length) {
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        ProgramId id = static_cast<ProgramId>(i);
        if (same_name(name, program_profile(id)->name, length)) return id;
    }
    return PROGRAM_COUNT;
}

}  // namespace

ProgramId program_named(const char* name) { return program_named(name, std::strlen(name)); }

void mark_listed_programs(const char* list, bool* listed) {
    const char* p = list;
    while (*p) {
        while (*p == ' ' || *p == '\t' || *p == ',') ++p;
        const char* start = p;
        while (*p && *p != ',') ++p;
        const char* end = p;
        while (end > start && (end[-1] == ' ' || end[-1] == '\t')) --end;
        if (end == start) continue;
        ProgramId id = program_named(start, static_cast<size_t>(end - start));
        if (id == PROGRAM_COUNT) {
            report("PROGRAMS in [LAUNCH] names \"%.*s\", which is none of the nine programs: ignored",
                   static_cast<int>(end - start), start);
        } else {
            listed[id] = true;
        }
    }
}

void read_launch_settings(LaunchSettings* settings) {
    std::memset(settings, 0, sizeof *settings);
    // Each program's keys as it reads them (defaults where absent).
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        bridge_reset(program_profile(static_cast<ProgramId>(i)), nullptr);
        load_config_quietly();
        settings->vran_port[i] = g_bridge.vran_port;
        settings->recv_port[i] = g_bridge.recv_port;
        settings->interface_index = g_bridge.interface_index;
    }

    char path[kConfigPathSize];
    config_file_path(path);
    char value[512];
    platform::profile_string(kLaunchSection, "SCAN", "", value, sizeof value, path);
    settings->scan = value[0] == '\0' || std::atoi(value) != 0;
    platform::profile_string(kLaunchSection, "PROGRAMS", "", value, sizeof value, path);
    mark_listed_programs(value, settings->always);
}
