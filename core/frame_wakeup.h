// KEEP_FRAME_RATE: between passes the session loop waits for the
// simulator's next message instead of sleeping the idle time, so a frame is
// handled when it arrives, and for the panel's next datagram (see
// input_on_arrival.h). The passes the tenth-pass step counts are then
// periods of the idle time rather than wake-ups, which keeps their rhythm.
#pragma once

#include <cstdint>

#include "platform/wake_event.h"

// True when the current period of period_ms has ended, or none has begun;
// the next one begins.
bool frame_period_ended(uint32_t period_ms);

// Waits until the simulator sends a message or, once a frame is in hand,
// the panel a datagram; at most period_ms (a period begins now if none
// has). However the simulator or the panel floods, each wakes it early no
// more than period_ms times a period: once a millisecond on average.
platform::WakeCause wait_for_frame(uint32_t period_ms);
