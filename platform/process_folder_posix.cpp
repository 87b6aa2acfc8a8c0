#include <unistd.h>

#include <cstring>

#include "platform/process_folder.h"
#include "platform/user_folders.h"

namespace platform {

const char kExecutableSuffix[] = "";

bool executable_folder(char* buf, size_t size) {
    if (!own_program_path(buf, size)) return false;
    char* last = std::strrchr(buf, '/');
    if (!last) return false;
    if (last == buf) ++last;  // the root folder keeps its slash
    *last = '\0';
    return true;
}

bool change_directory(const char* folder) { return chdir(folder) == 0; }

}  // namespace platform
