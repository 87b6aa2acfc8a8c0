#include "tools/virtual_panel/readable_text.h"

#include <cstdio>
#include <cstring>

size_t to_readable(const unsigned char* bytes, size_t len, char* out, size_t out_size) {
    if (out_size == 0) return 0;
    size_t n = 0;
    for (size_t i = 0; i < len; ++i) {
        char piece[8];
        unsigned char c = bytes[i];
        if (c == '\\') {
            std::strcpy(piece, "\\\\");
        } else if (c == 0x07) {
            std::strcpy(piece, "\\a");
        } else if (c == '\n') {
            std::strcpy(piece, "\\n");
        } else if (c == '\r') {
            std::strcpy(piece, "\\r");
        } else if (c == '\t') {
            std::strcpy(piece, "\\t");
        } else if (c < 0x20 || c >= 0x7f) {
            std::snprintf(piece, sizeof(piece), "\\x%02x", c);
        } else {
            piece[0] = static_cast<char>(c);
            piece[1] = '\0';
        }
        size_t plen = std::strlen(piece);
        if (n + plen >= out_size) break;
        std::memcpy(out + n, piece, plen);
        n += plen;
    }
    out[n] = '\0';
    return n;
}

static int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int from_readable(const char* text, unsigned char* out, size_t out_size) {
    size_t n = 0;
    for (const char* p = text; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\\') {
            ++p;
            switch (*p) {
                case '\\': c = '\\'; break;
                case 'a': c = 0x07; break;
                case 'n': c = '\n'; break;
                case 'r': c = '\r'; break;
                case 't': c = '\t'; break;
                case 'x': {
                    int hi = hex_value(p[1]);
                    int lo = hi < 0 ? -1 : hex_value(p[2]);
                    if (lo < 0) return -1;
                    c = static_cast<unsigned char>(hi * 16 + lo);
                    p += 2;
                    break;
                }
                default: return -1;  // also a trailing lone backslash
            }
        }
        if (n >= out_size) return -1;
        out[n++] = c;
    }
    return static_cast<int>(n);
}
