#include "platform/ini_text_form.h"

#include <cstdint>

namespace platform {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;

void append_utf8(std::string* out, uint32_t c) {
    if (c < 0x80) {
        *out += static_cast<char>(c);
    } else if (c < 0x800) {
        *out += static_cast<char>(0xC0 | (c >> 6));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += static_cast<char>(0xE0 | (c >> 12));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (c >> 18));
        *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void append_unit(std::string* out, IniForm form, uint32_t unit) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    *out += form == IniForm::utf16le ? low : high;
    *out += form == IniForm::utf16le ? high : low;
}

}  // namespace

bool ini_text_from_file(const std::string& bytes, IniForm* form, std::string* text) {
    *form = IniForm::bytes;
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
        *form = IniForm::utf16le;
    } else if (bytes.compare(0, 2, "\xFE\xFF") == 0) {
        *form = IniForm::utf16be;
    } else {
        *text = bytes;
        return true;
    }
    bool whole = bytes.size() % 2 == 0;
    size_t count = bytes.size() / 2;
    auto unit = [&](size_t i) {
        uint32_t first = static_cast<unsigned char>(bytes[2 * i]), second = static_cast<unsigned char>(bytes[2 * i + 1]);
        return *form == IniForm::utf16le ? first | second << 8 : first << 8 | second;
    };
    text->clear();
    for (size_t i = 1; i < count; ++i) {
        uint32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < count && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(++i) - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            whole = false;
            c = kReplacement;
        }
        append_utf8(text, c);
    }
    return whole;
}

std::string ini_file_from_text(IniForm form, const std::string& text) {
    if (form == IniForm::bytes) return text;
    std::string out;
    append_unit(&out, form, 0xFEFF);
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        uint32_t c = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (size_t k = 1; k < length && i + k < text.size(); ++k) c = c << 6 | (text[i + k] & 0x3F);
        i += length;
        if (c >= 0x10000) {
            append_unit(&out, form, 0xD800 + ((c - 0x10000) >> 10));
            append_unit(&out, form, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            append_unit(&out, form, c);
        }
    }
    return out;
}

}  // namespace platform
