// KEEP_FRAME_RATE: between passes the session loop waits for the
// simulator's next message instead of sleeping the idle time, so a frame is
// handled when it arrives. The passes the tenth-pass step counts are then
// periods of the idle time rather than wake-ups, which keeps their rhythm.
#pragma once

#include <cstdint>

// True when the current period of period_ms has ended, or none has begun;
// the next one begins now.
bool frame_period_ended(uint32_t period_ms);

// Waits until the simulator sends a message or the current period ends (one
// begins now if none has). However the simulator floods, it wakes early no
// more than once a millisecond of the period on average.
void wait_for_frame(uint32_t period_ms);
