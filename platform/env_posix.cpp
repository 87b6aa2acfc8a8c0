#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/env.h"
#include "platform/file_ops.h"
#include "platform/ini_reader.h"
#include "platform/ini_text_form.h"

namespace platform {
namespace {

bool copy_text(char* buf, size_t size, const char* text) {
    size_t n = std::strlen(text);
    if (n + 1 > size) return false;
    std::memcpy(buf, text, n + 1);
    return true;
}

// The file's text as the profile functions read it (UTF-16 as UTF-8); false
// when it cannot be read.
bool read_profile_text(const char* path, std::string* text) {
    std::string bytes;
    IniForm form;
    if (!read_file(path, &bytes)) return false;
    ini_text_from_file(bytes, &form, text);  // a broken character reads as U+FFFD
    return true;
}

// The folder the variable names, else the one of that name in $HOME.
bool user_folder(const char* variable, const char* in_home, char* buf, size_t size) {
    const char* named = std::getenv(variable);
    if (named && *named) return copy_text(buf, size, named);
    const char* home = std::getenv("HOME");
    if (!home || !*home) return false;
    return join_path(buf, size, home, in_home);
}

}  // namespace

// Above-normal priority is a lower nice value; an unprivileged user may not
// lower it, which is fine.
void raise_process_priority() {
    errno = 0;
    int current = getpriority(PRIO_PROCESS, 0);
    if (errno == 0) setpriority(PRIO_PROCESS, 0, current - 2);
}

void sleep_ms(uint32_t milliseconds) {
    timespec ts{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

uint64_t monotonic_ms() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

bool environment_flag(const char* name) {
    const char* value = std::getenv(name);
    return value && *value && std::strcmp(value, "0") != 0;
}

bool set_environment_variable(const char* name, const char* value) { return setenv(name, value, 1) == 0; }

bool current_directory(char* buf, size_t size) { return getcwd(buf, size) != nullptr; }

bool app_data_folder(char* buf, size_t size) { return user_folder("XDG_CONFIG_HOME", ".config", buf, size); }

bool shared_documents_folder(char* buf, size_t size) { return copy_text(buf, size, "/etc/xdg"); }

bool personal_documents_folder(char* buf, size_t size) {
    return user_folder("XDG_DOCUMENTS_DIR", "Documents", buf, size);
}

bool local_cache_folder(char* buf, size_t size) { return user_folder("XDG_CACHE_HOME", ".cache", buf, size); }

bool join_path(char* out, size_t size, const char* folder, const char* file) {
    size_t n = std::strlen(folder);
    bool needs_separator = n > 0 && folder[n - 1] != '/';
    int written = std::snprintf(out, size, "%s%s%s", folder, needs_separator ? "/" : "", file);
    return written >= 0 && static_cast<size_t>(written) < size;
}

uint32_t profile_string(const char* section, const char* key, const char* default_value, char* out, uint32_t size,
                        const char* path) {
    if (size == 0) return 0;
    std::string text;
    int32_t n = read_profile_text(path, &text) ? ini_find_value(text.c_str(), section, key, out, size) : -1;
    if (n >= 0) return static_cast<uint32_t>(n);
    const char* def = default_value ? default_value : "";
    size_t len = std::strlen(def);
    if (len > size - 1) len = size - 1;
    std::memcpy(out, def, len);
    out[len] = '\0';
    return static_cast<uint32_t>(len);
}

uint32_t profile_section(const char* section, char* out, uint32_t size, const char* path) {
    std::string text;
    if (!read_profile_text(path, &text)) {
        if (size) out[0] = '\0';
        if (size > 1) out[1] = '\0';
        return 0;
    }
    return ini_copy_section(text.c_str(), section, out, size);
}

bool registry_read_string(const char*, const char*, char* out, uint32_t size) {
    if (size) out[0] = '\0';
    return false;
}

}  // namespace platform
