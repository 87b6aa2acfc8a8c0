#include <windows.h>

#include "platform/wide_text_windows.h"

namespace platform {

bool utf8_to_wide(const char* text, std::wstring* out) {
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (n <= 0) return false;
    out->resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, &(*out)[0], n);
    out->resize(static_cast<size_t>(n - 1));
    return true;
}

bool wide_to_utf8(const wchar_t* text, char* out, size_t size) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, out, static_cast<int>(size), nullptr, nullptr);
    if (n <= 0) {
        if (size) out[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace platform
