#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>

#include "platform/env.h"

namespace platform {

void raise_process_priority() { SetPriorityClass(GetCurrentProcess(), ABOVE_NORMAL_PRIORITY_CLASS); }

void sleep_ms(uint32_t milliseconds) { Sleep(milliseconds); }

// The performance counter: GetTickCount64 moves in steps of 10 to 16 ms,
// too coarse for the 80 ms that tell a fast turn from a slow one.
uint64_t monotonic_ms() {
    static const uint64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<uint64_t>(f.QuadPart);
    }();
    if (frequency == 0) return GetTickCount64();  // documented never to happen since Windows XP
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    uint64_t ticks = static_cast<uint64_t>(now.QuadPart);
    // In two parts, so that the product cannot overflow however long the
    // machine has been up.
    return ticks / frequency * 1000 + ticks % frequency * 1000 / frequency;
}

bool environment_flag(const char* name) {
    char value[8];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && (n >= sizeof value || std::strcmp(value, "0") != 0);
}

bool set_environment_variable(const char* name, const char* value) {
    return SetEnvironmentVariableA(name, value) != 0;
}

bool current_directory(char* buf, size_t size) {
    DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(size), buf);
    return n > 0 && n < size;
}

bool app_data_folder(char* buf, size_t size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(size > 1024 ? 1023 : size - 1);
    LONG rc = RegQueryValueExA(key, "AppData", nullptr, &type, reinterpret_cast<BYTE*>(buf), &bytes);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        // The key opened without an "AppData" value: an empty folder tells
        // the caller to fall back to the current folder.
        buf[0] = '\0';
        return true;
    }
    buf[bytes < size ? bytes : size - 1] = '\0';
    return true;
}

static bool folder_path(int csidl, char* buf, size_t size) {
    char path[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path))) return false;
    if (std::strlen(path) + 1 > size) return false;
    std::strcpy(buf, path);
    return true;
}

bool shared_documents_folder(char* buf, size_t size) { return folder_path(CSIDL_COMMON_DOCUMENTS, buf, size); }
bool personal_documents_folder(char* buf, size_t size) { return folder_path(CSIDL_PERSONAL, buf, size); }
bool local_cache_folder(char* buf, size_t size) { return folder_path(CSIDL_LOCAL_APPDATA, buf, size); }

bool join_path(char* out, size_t size, const char* folder, const char* file) {
    char joined[MAX_PATH];
    if (!PathCombineA(joined, folder, file)) return false;
    if (std::strlen(joined) + 1 > size) return false;
    std::strcpy(out, joined);
    return true;
}

uint32_t profile_string(const char* section, const char* key, const char* default_value, char* out, uint32_t size,
                        const char* path) {
    return GetPrivateProfileStringA(section, key, default_value, out, size, path);
}

uint32_t profile_section(const char* section, char* out, uint32_t size, const char* path) {
    return GetPrivateProfileSectionA(section, out, size, path);
}

bool registry_read_string(const char* key_path, const char* value_name, char* out, uint32_t size) {
    HKEY key;
    if (size) out[0] = '\0';
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key_path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD bytes = size;
    LONG rc = RegQueryValueExA(key, value_name, nullptr, &type, reinterpret_cast<BYTE*>(out), &bytes);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ || bytes == 0) {
        if (size) out[0] = '\0';
        return false;
    }
    out[bytes < size ? bytes : size - 1] = '\0';
    return true;
}

}  // namespace platform
