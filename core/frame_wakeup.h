// KEEP_FRAME_RATE: between passes the session loop waits for the
// simulator's next message instead of sleeping the idle time, so a frame is
// handled when it arrives. The passes the tenth-pass step counts are then
// periods of the idle time rather than wake-ups, which keeps their rhythm.
#pragma once

#include <cstdint>

// True when the current period of period_ms has ended, or none has begun;
// the next one begins.
bool frame_period_ended(uint32_t period_ms);

// Waits until the simulator sends a message, at most period_ms (a period
// begins now if none has). However the simulator floods, it wakes early no
// more than period_ms times a period: once a millisecond on average.
void wait_for_frame(uint32_t period_ms);
