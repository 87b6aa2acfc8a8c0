// Datagrams in a printable, unambiguous form: the escape notation the panel
// protocol is written in ("\a" for 0x07, "\x04" to "\x06" for the symbol
// bytes, "\\" for a backslash). Scripts use the same notation to write codes
// and expected lines, so what the tool prints can be pasted back into them.
#pragma once

#include <cstddef>

// Writes the readable form of len bytes into out (always terminated; cut
// short when out is too small). Returns the length written.
size_t to_readable(const unsigned char* bytes, size_t len, char* out, size_t out_size);

// Decodes the notation back into bytes. Returns the byte count, or -1 when
// the text holds a malformed escape or does not fit.
int from_readable(const char* text, unsigned char* out, size_t out_size);
