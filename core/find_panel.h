// Panel discovery: the one-time link set-up (configuration, interface,
// socket) and the "ID" broadcast with the replies waiting for it.
#pragma once

#include <cstdint>

#include "platform/udp.h"

// Called on every tenth pass while no panel is connected. Reads what is
// waiting until an identity reply or nothing is left, at most this many.
constexpr int kMaxDatagramsPerSearch = 64;
void find_panel();

// 1 or 2 when the text is the program's variant-1 or variant-2 identity,
// else 0.
int identity_variant(const char* text);

// Where the interface table comes from (the system's by default); tests give
// a table of loopback rows so that nothing leaves the machine.
typedef platform::InterfaceTableResult (*InterfaceTableReader)(platform::InterfaceTable* table, uint32_t* error);
void set_interface_table_reader(InterfaceTableReader reader);
