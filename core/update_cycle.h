// The handler the session loop gives to SimConnect_CallDispatch: the quit
// message, and one update cycle per panel-data frame.
#pragma once

#include <cstdint>

#include "simclient/sim_types.h"

void on_sim_message(SIMCONNECT_RECV* message, uint32_t size, void* context);

// Most datagrams one frame takes from the panel; the rest wait for the next
// frame, so a flood cannot hold the program inside one frame.
constexpr int kMaxDatagramsPerFrame = 64;
