#include <windows.h>

#include <cstring>

#include "platform/process_folder.h"

namespace platform {

const char kExecutableSuffix[] = ".exe";

// In the ANSI code page, not as own_program_path's UTF-8: the folder goes to
// the ANSI calls that start the programs, which read their own folder the
// same way.
bool executable_folder(char* buf, size_t size) {
    if (size < 2) return false;
    DWORD n = GetModuleFileNameA(nullptr, buf, static_cast<DWORD>(size));
    if (n == 0 || n >= size) return false;
    char* last = std::strrchr(buf, '\\');
    if (!last) return false;
    if (last > buf && last[-1] == ':') ++last;  // "C:\" keeps its backslash
    *last = '\0';
    return true;
}

bool change_directory(const char* folder) { return SetCurrentDirectoryA(folder) != 0; }

}  // namespace platform
