#include "tools/virtual_panel/panel_display.h"

#include <cstring>

namespace {

const char kSelectors[kLineSelectors + 1] = "HFTCS";

bool equals(const unsigned char* bytes, size_t len, const char* text) {
    return len == std::strlen(text) && std::memcmp(bytes, text, len) == 0;
}

}  // namespace

void display_reset(PanelDisplay* display) { std::memset(display, 0, sizeof(*display)); }

int selector_index(char selector) {
    const char* p = selector ? std::strchr(kSelectors, selector) : nullptr;
    return p ? static_cast<int>(p - kSelectors) : -1;
}

DatagramKind display_apply(PanelDisplay* display, const unsigned char* bytes, size_t len) {
    ++display->datagrams;
    if (equals(bytes, len, "ID") || equals(bytes, len, "ID_Request")) return DATAGRAM_IDENTITY_REQUEST;
    if (equals(bytes, len, "B>ON")) {
        display->power = POWER_ON;
        return DATAGRAM_POWER;
    }
    if (equals(bytes, len, "B>OFF")) {
        display->power = POWER_OFF;
        return DATAGRAM_POWER;
    }
    if (len >= 2 && bytes[1] == '>') {
        int i = selector_index(static_cast<char>(bytes[0]));
        if (i >= 0) {
            size_t n = len - 2;
            if (n > kLineBytes) n = kLineBytes;
            std::memcpy(display->lines[i], bytes + 2, n);
            display->line_length[i] = n;
            display->line_seen[i] = true;
            return DATAGRAM_LINE;
        }
    }
    return DATAGRAM_OTHER;
}

void display_screen_text(const PanelDisplay* display, char selector, char* out, size_t out_size) {
    if (out_size == 0) return;
    int i = selector_index(selector);
    size_t n = 0;
    if (i >= 0) {
        for (size_t k = 0; k < display->line_length[i] && n + 1 < out_size; ++k) {
            unsigned char c = display->lines[i][k];
            char glyph;
            switch (c) {
                case 0x04: glyph = '!'; break;
                case 0x05: glyph = '^'; break;
                case 0x06: glyph = 'v'; break;
                case 0x07: glyph = '*'; break;
                default: glyph = (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?'; break;
            }
            out[n++] = glyph;
        }
    }
    // Short numeric lines ("C>12") and unsent lines fill up to the width.
    while (n < 16 && n + 1 < out_size) out[n++] = ' ';
    out[n] = '\0';
}

bool display_shows(const PanelDisplay* display, const unsigned char* bytes, size_t len, bool prefix) {
    if (equals(bytes, len, "B>ON")) return display->power == POWER_ON;
    if (equals(bytes, len, "B>OFF")) return display->power == POWER_OFF;
    if (len < 2 || bytes[1] != '>') return false;
    int i = selector_index(static_cast<char>(bytes[0]));
    if (i < 0 || !display->line_seen[i]) return false;
    size_t want = len - 2;
    size_t have = display->line_length[i];
    if (prefix ? have < want : have != want) return false;
    return std::memcmp(display->lines[i], bytes + 2, want) == 0;
}
