// A console drawn in place: Relay-Launcher redraws its table with escape
// sequences when its output is a console that takes them, and prints plain
// lines otherwise.
#pragma once

namespace platform {

// True when standard output is a console or terminal that interprets escape
// sequences (on Windows: virtual-terminal processing, switched on here) and
// (POSIX) the process is in the terminal's foreground.
bool console_enable_escapes();

// Width of the console in characters; 0 when it cannot be told.
int console_columns();

}  // namespace platform
