// Lines to the panel. Every host-to-panel text is formatted into a 24-byte
// buffer and sent as one datagram without terminator.
#pragma once

#include <cstdint>

#include "core/console.h"
#include "platform/udp.h"

// Blank forms of the display lines: selector, ">" and 16 blanks.
extern const char kBlankHeader[];  // "H>                "
extern const char kBlankMain[];    // "F>                "
extern const char kBlankSecondHeader[];  // "T>                "
extern const char kBlankSecondMain[];    // "C>                "

// Formats into the 24-byte buffer (a longer text is cut at 23 characters)
// and returns the length.
int format_line(char* buffer, const char* format, ...) RELAY_PRINTF(2, 3);

// Formats and sends to panel_address; the result of the send is ignored.
void send_line(const char* format, ...) RELAY_PRINTF(1, 2);

// Formats and sends to the given address; returns the send's result.
int send_line_to(const platform::SocketAddressV4* to, int32_t to_length, const char* format, ...)
    RELAY_PRINTF(3, 4);

// Receives one datagram without waiting into the receive buffer, terminated
// after its last byte; its source becomes panel_address. For the panel
// search, where an answer's source is the panel. Returns the length,
// platform::kReceiveNothing, or platform::kReceiveTooLong (dropped: no room
// for the terminator).
int receive_panel_datagram();

// The same for a connected panel's input: the source becomes panel_address
// only when the text is panel traffic (a code only from the panel's own
// host), so that whatever else reaches the port leaves the display where it
// is.
int receive_panel_input();

// Traffic only the panel sends: one of the program's identity texts, or a
// text the panel's input step takes as one of its codes, whether or not it
// acts on it at the moment.
bool is_panel_traffic(const char* text);
