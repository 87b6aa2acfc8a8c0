// Internal links between the published calls of the simulator client.
#pragma once

#include "simclient/sim_client.h"
#include "simclient/sim_types.h"

// The live client behind a handle; null for none or a handle already closed.
ClientClient* client_from_handle(HANDLE_SIM handle);

// Builds and sends the opening message.
HRESULT_T send_open_message(ClientClient* client, const char* name);
