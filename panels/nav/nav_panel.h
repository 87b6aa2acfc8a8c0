// NAV radio panel logic shared by NAV1-Relay and NAV2-Relay: the input,
// display and countdown steps of the update cycle. The two programs differ
// only in the row of the program table they run with; what a NAV radio shows
// and sends is in nav_rules.h, shared with the other panels that show one.
#pragma once

#include <cstdint>

#include "core/frequency_codes.h"
#include "core/program_profile.h"
#include "panels/nav/nav_controls.h"
#include "panels/nav/nav_rules.h"

// One program's differences, as data.
struct NavProgram {
    ProgramId program;
    int radio_number;
    NavRaster raster;  // local fraction steps on pages 1 to 3
    // The panel's codes. Which of the two knobs steps whole megahertz, how
    // it names its direction and what it restarts differ between the two
    // panels.
    NavControlCodes controls;
    // Test mode: the radio frequencies on the console while counting down.
    bool echo_frequencies;
};

// The fields of the test-mode frequency lines.
struct NavEchoFields {
    uint32_t nav1_active, nav1_standby;
    uint32_t nav2_active, nav2_standby;
    uint32_t adf1_active, adf1_standby;
};

// The page and the knob's modes, and what the panel runs with.
struct NavPanelState : NavControls {
    const NavProgram* program;  // null until nav_panel_start succeeded
    NavRadio radio;
    NavEchoFields echo;
};

extern NavPanelState g_nav_panel;

// The table row of radio 1 or 2; null for any other number.
const NavProgram* nav_program(int radio_number);

// Resolves the radio's fields and events and puts the panel state into its
// start state; false (and a console error) when the tables lack one of them.
bool nav_panel_start(int radio_number);

// The update-cycle steps.
void nav_input(const char* text, const uint8_t* block);
void nav_display(const uint8_t* block);
void nav_countdown(const uint8_t* block);
bool nav_takes_code(const char* text);

// The hooks to hand to run_program.
extern const PanelHooks kNavPanelHooks;
