// The user's profile folders and the running program's own path, as UTF-8.
// Windows asks the shell (the folders) and the loader (the program path) in
// wide characters, so any user name or folder name comes through whole.
// POSIX has no such profile folders: those calls report false.
#pragma once

#include <cstddef>

namespace platform {

// Windows: %LOCALAPPDATA% (CSIDL_LOCAL_APPDATA) and %APPDATA% (CSIDL_APPDATA).
bool local_app_data_folder(char* out, size_t size);
bool roaming_app_data_folder(char* out, size_t size);

// The full path of the running executable; false when it does not fit.
bool own_program_path(char* out, size_t size);

}  // namespace platform
