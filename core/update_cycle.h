// The handler the session loop gives to SimConnect_CallDispatch: the quit
// message, and one update cycle per panel-data frame.
#pragma once

#include <cstdint>

#include "simclient/sim_types.h"

void on_sim_message(SIMCONNECT_RECV* message, uint32_t size, void* context);

// Most datagrams one frame takes from the panel; the rest wait for the next
// frame, so a flood cannot hold the program inside one frame.
constexpr int kMaxDatagramsPerFrame = 64;

// Takes in what the panel has sent, at most kMaxDatagramsPerFrame datagrams:
// identity texts renew the link, every other datagram goes to the panel's
// input step with the given frame block. Returns how many went there.
int drain_panel_input(const uint8_t* block);

// Hands one datagram that is no identity text to the panel's input step, as
// the drain does: whatever the step does not take as an accelerated detent
// ends the knob's run (encoder_acceleration.h).
void hand_to_input_step(const char* text, const uint8_t* block);
