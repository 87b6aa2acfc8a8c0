#include <unistd.h>

#include "platform/user_folders.h"

namespace platform {

bool local_app_data_folder(char*, size_t) { return false; }
bool roaming_app_data_folder(char*, size_t) { return false; }

bool own_program_path(char* out, size_t size) {
    if (size == 0) return false;
    ssize_t n = readlink("/proc/self/exe", out, size);
    if (n <= 0 || static_cast<size_t>(n) >= size) return false;
    out[n] = '\0';
    return true;
}

}  // namespace platform
