#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/file_ops.h"
#include "platform/wide_text_windows.h"

namespace platform {
namespace {

DWORD attributes(const char* path) {
    std::wstring wide;
    if (!utf8_to_wide(path, &wide)) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(wide.c_str());
}

}  // namespace

bool folder_exists(const char* path) {
    DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool file_exists(const char* path) {
    DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

CopyOnce copy_file_once(const char* from, const char* to) {
    std::wstring wfrom, wto;
    if (!utf8_to_wide(from, &wfrom) || !utf8_to_wide(to, &wto)) return CopyOnce::failed;
    if (CopyFileW(wfrom.c_str(), wto.c_str(), TRUE)) return CopyOnce::copied;
    DWORD e = GetLastError();
    return e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS ? CopyOnce::already_there : CopyOnce::failed;
}

bool replace_file(const char* from, const char* to) {
    std::wstring wfrom, wto;
    if (!utf8_to_wide(from, &wfrom) || !utf8_to_wide(to, &wto)) return false;
    return MoveFileExW(wfrom.c_str(), wto.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool remove_file(const char* path) {
    std::wstring wide;
    return utf8_to_wide(path, &wide) && DeleteFileW(wide.c_str());
}

void last_error_text(char* out, size_t size) {
    DWORD code = GetLastError();
    wchar_t text[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                             512, nullptr);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' ')) text[--n] = L'\0';
    if (n == 0 || !wide_to_utf8(text, out, size)) std::snprintf(out, size, "system error %lu", code);
}

}  // namespace platform
