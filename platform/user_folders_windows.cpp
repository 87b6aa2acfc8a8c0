#include <windows.h>
#include <shlobj.h>

#include <string>

#include "platform/user_folders.h"
#include "platform/wide_text_windows.h"

namespace platform {
namespace {

bool shell_folder(int csidl, char* out, size_t size) {
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return false;
    return wide_to_utf8(path, out, size);
}

}  // namespace

bool local_app_data_folder(char* out, size_t size) { return shell_folder(CSIDL_LOCAL_APPDATA, out, size); }
bool roaming_app_data_folder(char* out, size_t size) { return shell_folder(CSIDL_APPDATA, out, size); }

bool own_program_path(char* out, size_t size) {
    // Long paths need more than MAX_PATH; grow until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return false;
        if (n < path.size()) {
            path.resize(n);
            return wide_to_utf8(path.c_str(), out, size);
        }
        if (path.size() >= 32768) return false;
        path.resize(path.size() * 2);
    }
}

}  // namespace platform
