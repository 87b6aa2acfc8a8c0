// NAV radio panel logic shared by NAV1-Relay and NAV2-Relay: the input,
// display and countdown steps of the update cycle. The two programs differ
// only in the row of the program table they run with; what a NAV radio shows
// and sends is in nav_rules.h, shared with the other panels that show one.
#pragma once

#include <cstdint>

#include "core/frequency_codes.h"
#include "core/program_profile.h"
#include "panels/nav/nav_rules.h"

// One program's differences, as data.
struct NavProgram {
    ProgramId program;
    int radio_number;
    NavRaster raster;  // local fraction steps on pages 1 to 3
    // Dual-encoder panel: the codes of whole megahertz down and up, then of
    // the fraction down and up. Which knob steps whole megahertz, and how it
    // names its direction, differs between the two panels.
    const char* dual_codes[4];
    // Dual-encoder panel: knob steps restart the countdown on every page
    // where they act, or only on the OBS page.
    bool dual_steps_restart_on_every_page;
    // Dual-encoder panel: the push on the DME page restarts the countdown.
    bool dual_dme_push_restarts;
    // Test mode: the radio frequencies on the console while counting down.
    bool echo_frequencies;
};

// The fields of the test-mode frequency lines.
struct NavEchoFields {
    uint32_t nav1_active, nav1_standby;
    uint32_t nav2_active, nav2_standby;
    uint32_t adf1_active, adf1_standby;
};

struct NavPanelState {
    const NavProgram* program;  // null until nav_panel_start succeeded
    NavRadio radio;
    NavEchoFields echo;
    NavCopies copies;
    uint8_t nav_page;      // 0 frequencies, 1 CDI/OBS, 2 TO, 3 FROM, 4 DME
    int32_t tune_mode;     // single encoder: 0 whole megahertz, 1 fraction
    uint8_t obs_select;    // page 1: the encoder turns the OBS
    int32_t obs_fast;      // single encoder, OBS select: five OBS steps a detent
    int32_t press_window;  // frames in which a second push makes a double push
};

extern NavPanelState g_nav_panel;

// Frames a temporary input mode lasts, and the window of a double push.
constexpr uint8_t kNavInputFrames = 100;
constexpr int32_t kNavDoublePushFrames = 30;

// The table row of radio 1 or 2; null for any other number.
const NavProgram* nav_program(int radio_number);

// Resolves the radio's fields and events and puts the panel state into its
// start state; false (and a console error) when the tables lack one of them.
bool nav_panel_start(int radio_number);

// The update-cycle steps.
void nav_input(const char* text, const uint8_t* block);
void nav_display(const uint8_t* block);
void nav_countdown(const uint8_t* block);

// The hooks to hand to run_program.
extern const PanelHooks kNavPanelHooks;
