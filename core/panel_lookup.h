// Resolving a panel's fields and events by name in the shared registration
// tables, once at program start, so panel logic reads offsets and sends ids
// without searching on every frame.
#pragma once

#include <cstdint>

#include "core/program_profile.h"

// The offset of a variable with the given units in a layout. False, with a
// console error naming it, when the layout does not declare it.
bool find_field(LayoutColumn layout, const char* name, const char* units, uint32_t* out);

// The id of a simulator event in an event column. False, with a console
// error naming it, when the column does not map it.
bool find_event(EventColumn column, const char* name, uint32_t* out);

// The three values every radio panel's power test reads.
struct PowerFields {
    uint32_t avionics_switch;  // "AVIONICS MASTER SWITCH"
    uint32_t panel_circuit;    // "CIRCUIT GENERAL PANEL ON"
    uint32_t partial_panel;    // the radio's "PARTIAL PANEL ...", "Enum"
};

// Resolves the two switches and the named partial-panel variable. A panel
// whose power test is the two switches alone passes null; only
// power_switches_on then applies.
bool find_power_fields(LayoutColumn layout, const char* partial_panel, PowerFields* out);

// Both switches on, whatever the state of any one radio: the power test of
// a panel that serves several radios.
bool power_switches_on(const uint8_t* block, const PowerFields& f);

// Input is taken only with both switches on and the radio not failed at all
// (partial panel exactly 0).
bool power_accepts_input(const uint8_t* block, const PowerFields& f);

// The display shows power on unless a switch is exactly 0 or the radio has
// the simulator's failed state (partial panel exactly 1).
bool power_shows_display(const uint8_t* block, const PowerFields& f);
