// Raw keyboard input for the interactive tools: no echo, no line buffering,
// one key at a time without blocking, and the terminal put back as it was on
// the way out (also when the tool is ended by a signal).
#pragma once

namespace platform {

// Keys that are not plain characters.
constexpr int kKeyNone = -1;
constexpr int kKeyLeft = 0x101;
constexpr int kKeyRight = 0x102;
constexpr int kKeyUp = 0x103;
constexpr int kKeyDown = 0x104;
constexpr int kKeyInterrupt = 0x03;  // Ctrl+C arrives as a key in raw mode

// True when both standard input and standard output are a terminal, and
// (POSIX) the process is in the terminal's foreground.
bool terminal_is_interactive();

// Switches standard input to raw mode and standard output to escape-sequence
// processing (Windows: QuickEdit off too, so that a click into the window
// cannot hold up the tool's output); false when the terminal cannot be
// switched.
bool terminal_enter_raw();

// Puts the terminal back as terminal_enter_raw found it; safe to call twice.
void terminal_restore();

// Waits up to timeout_ms for one key; kKeyNone when none came (also once
// the input has ended: then every call waits its time). Arrow keys give the
// kKey* codes, everything else its character.
int terminal_read_key(int timeout_ms);

// Moves the cursor to the top left corner; terminal_clear also blanks the
// screen. Escape sequences on POSIX, the console API on Windows (where not
// every console interprets escape sequences).
void terminal_home();
void terminal_clear();

// True when text attributes may be set with escape sequences.
bool terminal_has_color();

// Set once the process has been asked to stop (SIGINT, SIGTERM, SIGHUP or
// the console's close and break events).
bool terminal_stop_requested();

}  // namespace platform
