#include "platform/code_page_windows.h"

#include "platform/wide_text_windows.h"

namespace platform {

// Registry key names compare without case; aliases ("latin1") name another
// key.
UINT code_page_of(const char* charset) {
    std::wstring name;
    if (!utf8_to_wide(charset, &name)) return 0;
    for (int hops = 0; hops < 4; ++hops) {
        std::wstring key = L"MIME\\Database\\Charset\\" + name;
        DWORD cp = 0, bytes = sizeof cp;
        if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), L"InternetEncoding", RRF_RT_REG_DWORD, nullptr, &cp,
                         &bytes) == ERROR_SUCCESS) {
            return cp;
        }
        wchar_t alias[128];
        bytes = sizeof alias;
        if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), L"AliasForCharset", RRF_RT_REG_SZ, nullptr, alias,
                         &bytes) != ERROR_SUCCESS) {
            return 0;
        }
        name = alias;
    }
    return 0;
}

// The round trip catches what each code page does with a character it lacks
// (a best-fit look-alike, '?', or nothing).
bool encode_in_code_page(UINT cp, const std::wstring& text, std::string* out) {
    out->clear();
    if (text.empty()) return true;
    int len = static_cast<int>(text.size());
    DWORD flags = cp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int n = WideCharToMultiByte(cp, flags, text.data(), len, nullptr, 0, nullptr, nullptr);
    if (n == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
        flags = 0;
        n = WideCharToMultiByte(cp, flags, text.data(), len, nullptr, 0, nullptr, nullptr);
    }
    if (n <= 0) return false;
    out->resize(static_cast<size_t>(n));
    WideCharToMultiByte(cp, flags, text.data(), len, &(*out)[0], n, nullptr, nullptr);
    int back = MultiByteToWideChar(cp, 0, out->data(), n, nullptr, 0);
    std::wstring decoded(static_cast<size_t>(back > 0 ? back : 0), L'\0');
    if (back > 0) MultiByteToWideChar(cp, 0, out->data(), n, &decoded[0], back);
    return decoded == text;
}

bool keeps_ascii(UINT cp) {
    std::wstring ascii;
    std::string expected, bytes;
    for (int c = 1; c < 128; ++c) {
        ascii += static_cast<wchar_t>(c);
        expected += static_cast<char>(c);
    }
    return encode_in_code_page(cp, ascii, &bytes) && bytes == expected;
}

}  // namespace platform
