// COM radio panel logic shared by COMM1-Relay and COMM2-Relay: the input,
// display and countdown steps of the update cycle. The two programs differ
// only in the row of the radio table they run with.
#pragma once

#include <cstdint>

#include "core/panel_lookup.h"
#include "core/program_profile.h"

// How the header line shows the transmit and receive marks.
enum ComHeaderStyle : uint8_t {
    // "T" when COM TRANSMIT:1 is on, else the marker when receive-all is 1.
    HEADER_TRANSMIT_THEN_RECEIVE_ALL,
    // Marker with "T" when receive-all is on; otherwise a plain header and
    // then the marker-sound header.
    HEADER_RECEIVE_ALL_THEN_MARKER_SOUND,
};

// One program's differences, as names looked up in the shared tables.
struct ComRadio {
    ProgramId program;
    const char* header_unit;  // "COM1"
    const char* active_mhz;   // "COM ACTIVE FREQUENCY:1"
    const char* standby_mhz;
    const char* partial_panel;  // "PARTIAL PANEL COMM:1"
    const char* whole_dec;
    const char* whole_inc;
    const char* fraction_dec;
    const char* fraction_inc;
    const char* swap;
    const char* transmit_select;
    ComHeaderStyle header;
    bool echo_frequencies;  // test-mode frequency line in the countdown step
};

// The radio's fields and events, resolved from the tables once.
struct ComFields {
    uint32_t active_mhz;
    uint32_t standby_mhz;
    PowerFields power;
    uint32_t transmit_1;
    uint32_t transmit_2;
    uint32_t receive_all;
    uint32_t marker_sound;
};

struct ComEvents {
    uint32_t whole_dec, whole_inc;
    uint32_t fraction_dec, fraction_inc;
    uint32_t swap, transmit_select;
    uint32_t receive_all_toggle;
};

struct ComPanelState {
    const ComRadio* radio;  // null until com_panel_start succeeded
    ComFields field;
    ComEvents event;
    // Single encoder: 0 steps whole megahertz, 1 steps the fraction.
    int32_t tune_mode;
};

extern ComPanelState g_com_panel;

// Frames a temporary input mode lasts after an encoder step or push.
constexpr uint8_t kComInputFrames = 100;

// The table row of radio 1 or 2; null for any other number.
const ComRadio* com_radio(int radio_number);

// Resolves the radio's fields and events and puts the panel state into its
// start state; false (and a console error) when the tables lack one of them.
bool com_panel_start(int radio_number);

// The update-cycle steps.
void com_input(const char* text, const uint8_t* block);
void com_display(const uint8_t* block);
void com_countdown(const uint8_t* block);

// The hooks to hand to run_program.
extern const PanelHooks kComPanelHooks;
