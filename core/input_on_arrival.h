// KEEP_FRAME_RATE: the panel's input is handled when it arrives, not at the
// next frame. Between frames the loop's wait also ends for a datagram; what
// the panel sent is then handled with the values of the connection's last
// frame (events go to the simulator at once), and the display step runs
// again with them, so that the lines the input changed (a page, a cursor, a
// mode mark) go out at once. Whatever counts frames (countdowns, the
// double-push window, the identity check) and the display of a new frame
// stay with the frames. Before a connection's first frame there are no
// values to use, and input waits for that frame.
#pragma once

#include <cstdint>

#include "platform/wake_event.h"

// After each frame's update cycle: its data block is the one later input is
// handled with.
void keep_frame_for_input(const uint8_t* block, uint32_t size);

// What the loop's wait watches besides the simulator: the panel's socket
// once a frame is in hand, else null.
platform::SocketWatch* input_watch();

// Handles what the panel has sent, at most as much as one frame takes.
void take_input_on_arrival();

// The panel went offline or the session ends: no frame in hand, and the
// socket no longer watched, so that it can be made blocking or closed.
void stop_input_on_arrival();
