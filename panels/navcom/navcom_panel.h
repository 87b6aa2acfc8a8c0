// NAV/COM radio panel logic shared by NAVCOM1-Relay and NAVCOM2-Relay: a
// COM half (tuning, swap, transmit select, receive-all) and a NAV half that
// works and shows its radio as the NAV panel does, through the shared NAV
// and COM radio rules. The two programs differ only in the row of the
// program table they run with.
#pragma once

#include <cstdint>

#include "core/program_profile.h"
#include "panels/com/com_radio.h"
#include "panels/nav/nav_controls.h"
#include "panels/nav/nav_rules.h"

// One program's differences, as data. Everything else that differs (event
// names, variables, texts) follows from the radio number through the COM
// and NAV radio tables and from the program's profile.
struct NavComProgram {
    ProgramId program;
    int radio_number;  // the COM radio and the NAV radio the panel serves
    // On the initial frame after the panel is found: select this radio for
    // transmit and switch receive-all on, each only when not yet so.
    bool startup_events;
    // The other radio's "COM TRANSMIT": receive-all is toggled only while
    // the other radio transmits.
    const char* other_transmit;
};

// Fields beyond the two radios' own, resolved from the tables once.
struct NavComFields {
    ComRadioFields com;
    uint32_t other_transmit;
    uint32_t marker_sound;  // "MARKER SOUND", read by the start-up events
};

struct NavComPanelState {
    const NavComProgram* program;  // null until navcom_panel_start succeeded
    NavRadio nav_radio;            // its power fields gate and blank the whole panel
    NavComFields field;
    ComRadioEvents com_event;
    // The NAV half's page and modes; their countdown is the program's input
    // countdown.
    NavControls nav;
    int32_t com_tune_mode;  // one knob: 0 whole megahertz, 1 fraction
    uint8_t com_countdown;  // frames left of the COM fraction mode
};

extern NavComPanelState g_navcom_panel;

// Frames the COM fraction mode lasts after the last COM knob step or push.
constexpr uint8_t kComHalfInputFrames = 100;

// The NAV half's codes on both programs' panels: "N-"/"N+", "P" and "I" on
// one knob per half; with two knobs per half, knob 2 steps whole megahertz
// and knob 1 the fraction, and every step that acts and the push on the DME
// page restart the countdown.
extern const NavControlCodes kNavComNavCodes;

// The table row of radio 1 or 2; null for any other number.
const NavComProgram* navcom_program(int radio_number);

// Resolves both radios' fields and events and puts the panel state into
// its start state; false (and a console error) when the tables lack one.
bool navcom_panel_start(int radio_number);

// The update-cycle steps.
void navcom_initial_frame(const uint8_t* block);
void navcom_input(const char* text, const uint8_t* block);
void navcom_display(const uint8_t* block);
void navcom_countdown(const uint8_t* block);
bool navcom_takes_code(const char* text);

// The hooks to hand to run_program.
extern const PanelHooks kNavComPanelHooks;
