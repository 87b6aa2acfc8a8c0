// The session with the simulator: open, register, the main loop with its
// tenth-pass step, and the close.
#pragma once

#include <cstdint>

// Glyph printed for a spinner position (0..7), backspace included.
const char* spinner_glyph(int32_t step);
// Advances the search spinner by one attempt and prints its glyph.
void advance_spinner();

// One attempt at a session: returns at once when the simulator cannot be
// opened, else after the whole session.
void run_session();

// The pause between passes and attempts; tests put a recorder in its place.
typedef void (*SleepFunction)(uint32_t milliseconds);
void set_sleep_function(SleepFunction sleep);
void session_sleep(uint32_t milliseconds);
