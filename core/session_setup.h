// What a program registers with the simulator once per session, and the
// requests, event transmissions and data writes it issues later. The tables
// behind it hold every program's column.
#pragma once

#include <cstdint>

#include "core/program_profile.h"

// Definition, request and group ids.
constexpr uint32_t DEFINITION_PANEL_DATA = 0;
constexpr uint32_t DEFINITION_XPDR_STATE = 1;
constexpr uint32_t REQUEST_INITIAL = 0;
constexpr uint32_t REQUEST_PANEL_DATA = 1;
constexpr uint32_t EVENT_SIM_START = 0;
constexpr uint32_t GROUP_DEFAULT = 0;
constexpr uint32_t GROUP_NAV1_OBS = 1;

// One datum of the panel-data definition, as a program declares it.
struct DataDatum {
    const char* name;   // simulation variable, letter for letter
    const char* units;  // null for "Title"
    uint32_t type;      // SIMCONNECT_DATATYPE_*
    uint32_t offset;    // in the program's data block
};

// The program's datums in definition order: fills out with up to max
// pointers and returns how many it filled (the full count when out is null).
int layout_datums(LayoutColumn layout, const DataDatum** out, int max);
// Size of the data block of a layout (652, 644, 644, 572, 320, 320).
uint32_t layout_block_size(LayoutColumn layout);
// Offset of a variable with the given units in a layout; -1 when the layout
// does not declare it.
int32_t layout_offset(LayoutColumn layout, const char* name, const char* units);

// One client event as a program maps it.
struct ClientEvent {
    const char* name;
    uint32_t id;
};
// The program's events in the order it maps them: ascending id, or with each
// DME ident ENABLE just before its DISABLE where the program's profile says
// so; filled like layout_datums.
int mapped_events(const ProgramProfile* program, const ClientEvent** out, int max);
// The id of an event in a column; -1 when the column does not map it.
int32_t event_id(EventColumn column, const char* name);

// The registrations after a successful open, in their fixed order, on the
// handle in g_bridge.
void register_with_simulator(const ProgramProfile* program);

// Data request of definition 0 for the user aircraft; the result is ignored.
void request_data(uint32_t request_id, uint32_t period);

// Sends one client event to the user aircraft at standard priority.
void transmit_event(uint32_t event_id, uint32_t data);

// Writes "TRANSPONDER STATE:1" through definition 1 (HUB1- and XPDR-Relay).
void write_transponder_state(int32_t state);
