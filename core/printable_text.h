// Text received from the network, printed so that it cannot act on the
// user's terminal: printable ASCII, line feed and tab go out as they are,
// every other byte as "\xhh" (an escape sequence sent by a host on the LAN
// shows as "\x1b[2J" instead of clearing the screen).
#pragma once

#include <cstddef>

// Writes the printable form of text into out; always terminated, cut short
// when out is too small.
void printable_text(const char* text, char* out, size_t out_size);

// console_print of a format holding one %s, filled with the printable form
// of a received text (with its line ends escaped too when the launcher runs
// the program: run_by_launcher.h).
void console_print_received(const char* format, const char* text);
