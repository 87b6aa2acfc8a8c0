#include <windows.h>
#include <shlobj.h>

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

// All or nothing: the copy is written and flushed under a scratch name and
// only then named, so a power cut cannot leave a short copy that would count
// as made from then on.
CopyOnce copy_file_once(const char* from, const char* to) {
    if (file_exists(to)) return CopyOnce::already_there;
    std::string bytes, part = std::string(to) + ".partial";
    std::wstring wpart, wto;
    if (!utf8_to_wide(part.c_str(), &wpart) || !utf8_to_wide(to, &wto)) return CopyOnce::failed;
    bool ok = read_file(from, &bytes) && write_file(part.c_str(), bytes) &&
              MoveFileExW(wpart.c_str(), wto.c_str(), MOVEFILE_WRITE_THROUGH);
    if (ok) return CopyOnce::copied;
    DWORD e = GetLastError();
    DeleteFileW(wpart.c_str());
    bool made_meanwhile = file_exists(to);
    SetLastError(e);
    return made_meanwhile ? CopyOnce::already_there : CopyOnce::failed;
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

bool read_file(const char* path, std::string* bytes) {
    std::wstring wide;
    if (!utf8_to_wide(path, &wide)) return false;
    HANDLE in = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    bytes->clear();
    char buf[8192];
    DWORD n = 0;
    BOOL ok;
    while ((ok = ReadFile(in, buf, sizeof buf, &n, nullptr)) && n > 0) bytes->append(buf, n);
    DWORD e = GetLastError();
    CloseHandle(in);
    SetLastError(e);
    return ok != FALSE;
}

bool write_file(const char* path, const std::string& bytes) {
    std::wstring wide;
    if (!utf8_to_wide(path, &wide)) return false;
    HANDLE out = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = (bytes.empty() || WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) &&
              written == bytes.size() && FlushFileBuffers(out);
    DWORD e = GetLastError();
    CloseHandle(out);
    SetLastError(e);
    return ok;
}

bool make_folders(const char* path) {
    std::wstring wide;
    if (!utf8_to_wide(path, &wide)) return false;
    int rc = SHCreateDirectoryExW(nullptr, wide.c_str(), nullptr);
    if (rc == ERROR_SUCCESS || rc == ERROR_ALREADY_EXISTS || rc == ERROR_FILE_EXISTS) return folder_exists(path);
    SetLastError(static_cast<DWORD>(rc));
    return false;
}

bool system_path_to_utf8(const char* path, char* out, size_t size) {
    int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n <= 0) return false;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], n);
    return wide_to_utf8(wide.c_str(), out, size);
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
