// Which network adapter the panels are looked for on: the choice every
// program makes from the IPv4 address table and INTERFACE_INDEX, and the list
// it prints when no adapter qualifies. Relay-Launcher chooses the same way.
#pragma once

#include <cstdint>

#include "platform/udp.h"

// The first row whose index is the configured one (or any row when the table
// holds just the loopback and one adapter), never the loopback; null when
// none qualifies.
const platform::InterfaceRow* choose_interface(const platform::InterfaceTable& table, int32_t interface_index);

// The row's directed broadcast address (network order), from its address
// and mask; the row's own broadcast field is not used.
uint32_t interface_broadcast(const platform::InterfaceRow& row);

// The heading, then every row with its index and address.
void list_interfaces(const platform::InterfaceTable& table, const char* heading);
