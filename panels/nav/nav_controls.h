// The controls of a NAV radio as every panel with a NAV knob works them: the
// page key, the knob's tuning mode, OBS select by a double push (one knob)
// or a push on the CDI page (two knobs), the fast OBS, swap, course and
// ident keys, and the temporary modes that end with a countdown. The NAV
// panel and the NAV half of the NAV/COM panel both run these, each with the
// codes its panel sends.
//
// How a panel uses it, once per datagram that passed its power gate:
//   nav_controls_input(&controls, radio, codes, g_bridge.encoder_version,
//                      &g_bridge.input_countdown, text, block);
// and once per frame after the display:
//   nav_controls_countdown(&controls, &g_bridge.input_countdown);
#pragma once

#include <cstdint>

#include "core/frequency_codes.h"
#include "panels/nav/nav_rules.h"

// Frames a temporary input mode lasts, and the window of a double push.
constexpr uint8_t kNavInputFrames = 100;
constexpr int32_t kNavDoublePushFrames = 30;

// The codes a panel's NAV controls send, and the few ways panels differ in
// what the two-knob version restarts.
struct NavControlCodes {
    // One knob: "<encoder>-" and "<encoder>+" ('R' on the NAV panel, 'N' on
    // the NAV/COM panel); "P" is its push.
    char encoder;
    // The ident key ('T' on the NAV panel, 'I' on the NAV/COM panel); "B",
    // "M" and "S" are the same on every panel.
    char ident_key;
    // Two knobs: the codes of whole megahertz down and up, then of the
    // fraction down and up.
    const char* dual_codes[4];
    // Two knobs: steps restart the countdown on every page where they act,
    // or only on the CDI page.
    bool dual_steps_restart_on_every_page;
    // Two knobs: the push on the DME page restarts the countdown.
    bool dual_dme_push_restarts;
};

// The page shown and the knob's modes; all zero is the start state.
struct NavControls {
    NavCopies copies;      // working copies of the active frequencies
    uint8_t nav_page;      // 0 frequencies, 1 CDI/OBS, 2 TO, 3 FROM, 4 DME
    int32_t tune_mode;     // one knob: 0 whole megahertz, 1 fraction
    uint8_t obs_select;    // CDI page: the knob turns the OBS
    int32_t obs_fast;      // one knob, OBS select: five OBS steps a detent
    int32_t press_window;  // frames in which a second push makes a double push
};

// Acts on one datagram: the knob or knobs of the given panel version (1 or
// 2), then the keys. `countdown` is the frames left of the temporary modes,
// restarted or cleared here. Codes that are not NAV controls are ignored.
void nav_controls_input(NavControls* controls, const NavRadio& radio, const NavControlCodes& codes,
                        int encoder_version, uint8_t* countdown, const char* text, const uint8_t* block);

// True when nav_controls_input takes the text as one of the NAV codes of the
// given panel version, whether or not it would act on it now.
bool nav_controls_take_code(const NavControlCodes& codes, int encoder_version, const char* text);

// End of frame: with the countdown at 0 the temporary modes end, otherwise
// it counts down one frame; the double-push window shrinks by one. True when
// the countdown was running.
bool nav_controls_countdown(NavControls* controls, uint8_t* countdown);
