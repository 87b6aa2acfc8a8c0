#include <unistd.h>

#include <cstring>

#include "platform/process_folder.h"

namespace platform {

const char kExecutableSuffix[] = "";

bool executable_folder(char* buf, size_t size) {
    if (size < 2) return false;
    ssize_t n = readlink("/proc/self/exe", buf, size - 1);
    if (n <= 0 || static_cast<size_t>(n) >= size - 1) return false;
    buf[n] = '\0';
    char* last = std::strrchr(buf, '/');
    if (!last) return false;
    if (last == buf) ++last;  // the root folder keeps its slash
    *last = '\0';
    return true;
}

bool change_directory(const char* folder) { return chdir(folder) == 0; }

}  // namespace platform
