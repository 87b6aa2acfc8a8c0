// The platform layer: process, time, files, INI profiles, registry and
// folders. One interface; env_windows.cpp uses the Windows calls, env_posix.cpp
// puts small equivalents of our own in their place. Everything above this
// layer is portable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Separator the programs put between folder and file names.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The line end of the text files a program writes anew.
#ifdef _WIN32
constexpr char kLineEnd[] = "\r\n";
#else
constexpr char kLineEnd[] = "\n";
#endif

// Raises the process to above-normal priority; failure is ignored.
void raise_process_priority();

void sleep_ms(uint32_t milliseconds);

// Monotonic clock in milliseconds, to the millisecond on both platforms:
// the loop's periods, the knobs' arrival times, tools and tests.
uint64_t monotonic_ms();

// True when the environment variable is set to something other than empty
// or "0".
bool environment_flag(const char* name);

// Sets the variable in this process's environment, which every process it
// starts from then on inherits; false when the system refuses.
bool set_environment_variable(const char* name, const char* value);

// Writes the current directory into buf (NUL-terminated); false on failure.
bool current_directory(char* buf, size_t size);

// The user's application-data folder (Windows: the "AppData" value under
// HKCU "Shell Folders"; POSIX: $XDG_CONFIG_HOME, else $HOME/.config). Returns
// false when the folder cannot be read (the registry key does not open), and
// an empty text when the key has no such value.
bool app_data_folder(char* buf, size_t size);

// The shared and the personal documents folders (Windows: SHGetFolderPathA
// with CSIDL_COMMON_DOCUMENTS / CSIDL_PERSONAL; POSIX: /etc/xdg and
// $XDG_DOCUMENTS_DIR, else $HOME/Documents). False when there is none.
bool shared_documents_folder(char* buf, size_t size);
bool personal_documents_folder(char* buf, size_t size);

// The user's own folder for files a program makes for itself and may lose
// (Windows: SHGetFolderPathA with CSIDL_LOCAL_APPDATA; POSIX:
// $XDG_CACHE_HOME, else $HOME/.cache). False when there is none.
bool local_cache_folder(char* buf, size_t size);

// Joins folder and file with one separator (PathCombineA on Windows).
bool join_path(char* out, size_t size, const char* folder, const char* file);

// Reads one key of an INI file the way GetPrivateProfileStringA does for what
// the programs use: section and key compared without regard to case, blanks
// around keys and values trimmed, the first matching section and key win.
// Copies at most size-1 characters and returns the count copied; copies
// default_value when the key or the file is absent.
uint32_t profile_string(const char* section, const char* key, const char* default_value, char* out,
                        uint32_t size, const char* path);

// Reads a whole section as "key=value\0...\0\0"; returns the characters copied
// (0 when the section is absent or empty).
uint32_t profile_section(const char* section, char* out, uint32_t size, const char* path);

// Reads a text value under HKEY_CURRENT_USER. POSIX has no registry: false.
bool registry_read_string(const char* key_path, const char* value_name, char* out, uint32_t size);

}  // namespace platform
