// COM radio panel logic shared by COMM1-Relay and COMM2-Relay: the input,
// display and countdown steps of the update cycle. The two programs differ
// only in the row of the radio table they run with.
#pragma once

#include <cstdint>

#include "core/panel_lookup.h"
#include "core/program_profile.h"
#include "panels/com/com_radio.h"

// How the header line shows the transmit and receive marks.
enum ComHeaderStyle : uint8_t {
    // "T" when COM TRANSMIT:1 is on, else the marker when receive-all is 1.
    HEADER_TRANSMIT_THEN_RECEIVE_ALL,
    // Marker with "T" when receive-all is on; otherwise a plain header and
    // then the marker-sound header.
    HEADER_RECEIVE_ALL_THEN_MARKER_SOUND,
};

// One program's differences.
struct ComRadio {
    ProgramId program;
    int radio_number;
    const char* partial_panel;  // "PARTIAL PANEL COMM:1"
    ComHeaderStyle header;
    bool echo_frequencies;  // test-mode frequency line in the countdown step
};

// The panel's fields beyond the radio's own, resolved from the tables once.
struct ComFields {
    ComRadioFields radio;
    PowerFields power;
    uint32_t transmit_2;  // "COM TRANSMIT:2": gate of the receive-all key
    uint32_t marker_sound;
};

struct ComPanelState {
    const ComRadio* radio;  // null until com_panel_start succeeded
    ComFields field;
    ComRadioEvents event;
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
bool com_takes_code(const char* text);

// The hooks to hand to run_program.
extern const PanelHooks kComPanelHooks;
