// The virtual panel's picture of its displays: the last text of every line
// element the program has sent and the power light, updated datagram by
// datagram the way the hardware would show them.
#pragma once

#include <cstddef>

constexpr int kLineSelectors = 5;  // H, F, T, C, S
constexpr size_t kLineBytes = 64;  // the program sends at most 23 bytes

enum PowerLight { POWER_UNKNOWN, POWER_ON, POWER_OFF };

enum DatagramKind {
    DATAGRAM_IDENTITY_REQUEST,  // "ID" or "ID_Request"
    DATAGRAM_POWER,             // "B>ON" / "B>OFF"
    DATAGRAM_LINE,              // one of the line elements
    DATAGRAM_OTHER,             // anything the panel would not understand
};

struct PanelDisplay {
    unsigned char lines[kLineSelectors][kLineBytes];  // bytes after "X>"
    size_t line_length[kLineSelectors];
    bool line_seen[kLineSelectors];
    PowerLight power;
    unsigned long datagrams;  // every datagram taken in, for redraw checks
};

void display_reset(PanelDisplay* display);

// Classifies one datagram and, for power and line datagrams, updates the
// display.
DatagramKind display_apply(PanelDisplay* display, const unsigned char* bytes, size_t len);

// True when the display already shows what the datagram would show: the
// power light for "B>ON"/"B>OFF", the line's text for a line datagram (with
// prefix set, a line starting with it). Other datagrams never match.
bool display_shows(const PanelDisplay* display, const unsigned char* bytes, size_t len, bool prefix);

// Index of a line selector letter, -1 for anything else.
int selector_index(char selector);

// The line as the panel's screen shows it: 16 columns, symbol bytes drawn as
// visible glyphs ("!" flag, "^" TO, "v" FROM, "*" audio), padded with blanks
// when the line has not been sent yet. out holds at least kLineBytes.
void display_screen_text(const PanelDisplay* display, char selector, char* out, size_t out_size);
