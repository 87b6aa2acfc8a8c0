#include "core/printable_text.h"

#include <cstdio>
#include <cstring>

#include "core/bridge_state.h"
#include "core/console.h"
#include "core/run_by_launcher.h"

namespace {

void printable(const char* text, char* out, size_t out_size, bool keep_line_ends) {
    if (out_size == 0) return;
    size_t n = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        char piece[5] = {static_cast<char>(*p), '\0'};
        bool plain = (*p >= 0x20 && *p < 0x7f) || (*p == '\n' && keep_line_ends) || *p == '\t';
        if (!plain) std::snprintf(piece, sizeof piece, "\\x%02x", *p);
        size_t len = std::strlen(piece);
        if (n + len >= out_size) break;
        std::memcpy(out + n, piece, len);
        n += len;
    }
    out[n] = '\0';
}

}  // namespace

void printable_text(const char* text, char* out, size_t out_size) { printable(text, out, out_size, true); }

void console_print_received(const char* format, const char* text) {
    char shown[4 * kReceiveBufferSize];  // room for a whole receive buffer, every byte escaped
    // Under the launcher a received text stays on the line it is printed in.
    printable(text, shown, sizeof shown, !run_by_launcher());
    console_print(format, shown);
}
