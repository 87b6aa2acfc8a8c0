#include "core/config.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/bridge_state.h"
#include "core/console.h"
#include "platform/env.h"

namespace {

constexpr size_t kPathSize = kConfigPathSize;
constexpr uint32_t kValueSize = 128;

// Off while another program reads a program's keys on its behalf.
bool g_reports_on = true;

void report(const char* format, ...) RELAY_PRINTF(1, 2);
void report(const char* format, ...) {
    if (!g_reports_on) return;
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    console_print("%s", text);
}

bool file_exists(const char* path) {
    std::FILE* f = std::fopen(path, "r");
    if (!f) return false;
    std::fclose(f);
    return true;
}

// Locates the file as the programs always have: the current directory, then
// the application-data folder. The path stays set even when nothing is there,
// so every key then reads its default. Without `report` nothing is printed.
void locate_file(char* path, bool report) {
    char current[260];
    if (!platform::current_directory(current, sizeof current)) current[0] = '\0';
    if (report) console_print("Current Dir: %s\n", current);

    const char here[] = {'.', platform::kPathSeparator, '\0'};
    if (file_exists(kConfigFileName)) {
        std::snprintf(path, kPathSize, "%s%s", here, kConfigFileName);
        if (report) console_print("Current CFG: %s\n", kConfigFileName);
        return;
    }

    char folder[kPathSize];
    if (platform::app_data_folder(folder, sizeof folder)) {
        if (folder[0] == '\0') {
            // The key has no application-data value: fall back to here.
            std::snprintf(folder, sizeof folder, "%s", here);
        } else {
            const char sep = platform::kPathSeparator;
            size_t n = std::strlen(folder);
            std::snprintf(folder + n, sizeof folder - n, "%cTarnel%cSimConnect%c", sep, sep, sep);
        }
    } else {
        if (report) console_print("Couldn't read registry value!\n");
        std::snprintf(folder, sizeof folder, "%s", here);
    }
    std::snprintf(path, kPathSize, "%s%s", folder, kConfigFileName);

    if (!report) return;
    if (file_exists(path)) {
        console_print("Current CFG: %s\n", path);
    } else {
        console_print(g_program->not_found_message, kConfigFileName);
    }
}

// ACCELERATION, read after KEEP_FRAME_RATE: the detents' arrival times it
// works on are only taken with that key. Opt-in too: 0 and 1 (one step a
// detent) print nothing.
void set_acceleration(int32_t steps) {
    if (steps < 0) {
        report("Acceleration %d is negative, acceleration is off\n", steps);
        return;
    }
    if (steps < 2) return;
    if (steps > kMaxAcceleration) {
        report("Acceleration %d is above %d, %d is used\n", steps, kMaxAcceleration, kMaxAcceleration);
        steps = kMaxAcceleration;
    } else {
        report("Acceleration redefined: %d\n", steps);
    }
    if (g_bridge.keep_frame_rate == 0) {
        report("Acceleration needs KEEP_FRAME_RATE and is off\n");
        return;
    }
    g_bridge.acceleration = steps;
}

// Reads one key; false when absent or empty.
bool read_key(const char* path, const char* section, const char* key, char* value) {
    platform::profile_string(section, key, "", value, kValueSize, path);
    return value[0] != '\0';
}

void read_one(const char* path, ConfigKey key) {
    char value[kValueSize];
    const char* section = g_program->section;
    switch (key) {
        case KEY_IDLE_MS:
            if (read_key(path, g_program->idle_section, "IDLE_MS", value)) {
                int32_t ms = std::atoi(value);
                if (ms < 0) {
                    // A negative time would become an endless sleep.
                    report("IDLE-Time %dms is negative, %dms are used\n", ms, kDefaultIdleMs);
                    ms = kDefaultIdleMs;
                } else {
                    report("IDLE-Time redefined: %dms\n", ms);
                }
                g_bridge.idle_ms = ms;
            }
            break;
        case KEY_PERIOD_VISUAL_OR_SIM:
            if (read_key(path, section, "PERIOD_VISUAL_OR_SIM", value))
                g_bridge.period_visual_or_sim = std::atoi(value);
            break;
        case KEY_KEEP_FRAME_RATE:
            // Opt-in: a 0 reads and prints exactly as an absent key.
            if (read_key(path, section, "KEEP_FRAME_RATE", value)) {
                g_bridge.keep_frame_rate = std::atoi(value);
                if (g_bridge.keep_frame_rate != 0)
                    report("Keep Frame Rate redefined: %d\n", g_bridge.keep_frame_rate);
            }
            break;
        case KEY_ACCELERATION:
            if (read_key(path, section, "ACCELERATION", value)) set_acceleration(std::atoi(value));
            break;
        case KEY_VRAN_PORT:
            if (read_key(path, section, "VRAN_PORT", value)) {
                g_bridge.vran_port = static_cast<uint16_t>(std::atoi(value));
                report("Remote Port redefined: %d\n", g_bridge.vran_port);
            }
            break;
        case KEY_RECV_PORT:
            if (read_key(path, section, "RECV_PORT", value)) {
                g_bridge.recv_port = static_cast<uint16_t>(std::atoi(value));
                report("Local Port redefined: %d\n", g_bridge.recv_port);
            }
            break;
        case KEY_TESTMODE:
            if (read_key(path, section, "TESTMODE", value)) g_bridge.testmode = std::atoi(value);
            break;
        case KEY_INTERFACE_INDEX:
            if (read_key(path, "NET", "INTERFACE_INDEX", value)) g_bridge.interface_index = std::atoi(value);
            break;
        case KEY_ADF_STBY:
            if (read_key(path, section, "ADF_STBY", value)) g_bridge.adf_stby = std::atoi(value);
            break;
        case KEY_FL_MODE:
            if (read_key(path, section, "FL_MODE", value)) {
                int32_t mode = std::atoi(value);
                // The multi-function panel keeps it in one byte.
                g_bridge.fl_mode = g_program->id == PROGRAM_HUB1 ? static_cast<uint8_t>(mode) : mode;
            }
            break;
        case KEY_XPDR_CODE:
            if (read_key(path, section, "XPDR_CODE", value))
                g_bridge.xpdr_code = static_cast<uint32_t>(std::strtol(value, nullptr, 16));
            break;
        case KEY_START_DISPLAY:
            if (read_key(path, section, "START_DISPLAY", value)) {
                uint8_t page = static_cast<uint8_t>(std::atoi(value));
                g_bridge.start_display = page > 5 ? 1 : page;
            }
            break;
        case KEY_STANDBY:
            if (read_key(path, section, "STANDBY", value)) g_bridge.standby = std::atoi(value);
            break;
        case KEY_END:
            break;
    }
}

// STAY_RUNNING, in "NET" for every program, read after the program's own
// keys. Opt-in like KEEP_FRAME_RATE: a 0 prints nothing.
void read_stay_running(const char* path) {
    char value[kValueSize];
    if (!read_key(path, "NET", "STAY_RUNNING", value)) return;
    g_bridge.stay_running = std::atoi(value);
    if (g_bridge.stay_running != 0) report("Stay Running redefined: %d\n", g_bridge.stay_running);
}

}  // namespace

void load_config() {
    char path[kPathSize];
    locate_file(path, g_reports_on);
    for (const ConfigKey* key = g_program->key_order; *key != KEY_END; ++key) read_one(path, *key);
    read_stay_running(path);
}

void load_stay_running() {
    char path[kPathSize];
    locate_file(path, false);
    read_stay_running(path);
}

void load_config_quietly() {
    g_reports_on = false;
    load_config();
    g_reports_on = true;
}

void config_file_path(char* path) { locate_file(path, false); }
