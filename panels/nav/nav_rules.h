// The rules of a NAV radio as every panel that shows one applies them: the
// NAV panel programs, the NAV half of the NAV/COM panels and the NAV pages of
// the multi-function panel. Nothing here keeps state of its own: each call
// takes a radio resolved from the caller's own tables and the page state the
// caller keeps for that radio.
//
// How a program uses it:
//   NavRadio radio;
//   nav_radio_resolve(layout, events, 1, RASTER_50_KHZ, &radio);  // once, at start
//   nav_send_page(radio, block, page, obs_select, 'C');           // display step, after "B>ON"
//   nav_encoder_step(radio, &copies, block, page, obs_select, NAV_WHOLE_UP, 1);
//   nav_ident(radio, block, page); nav_set_course(radio, block); ...
#pragma once

#include <cstdint>

#include "core/frequency_codes.h"
#include "core/panel_lookup.h"
#include "core/program_profile.h"

// ---- The radio ---------------------------------------------------------------

// Offsets of what a NAV page reads, in the caller's data block.
struct NavRadioFields {
    uint32_t active_mhz;        // NAV ACTIVE FREQUENCY:n, "MHz"
    uint32_t standby_mhz;       // NAV STANDBY FREQUENCY:n, "MHz"
    uint32_t active_bcd16[2];   // NAV ACTIVE FREQUENCY:1 and :2, "Frequency BCD16"
    uint32_t obs;               // NAV OBS:n, degrees
    uint32_t radial;            // NAV RADIAL:n, degrees
    uint32_t tofrom;            // NAV TOFROM:n: 0 none, 1 TO, 2 FROM
    uint32_t has_localizer;     // NAV HAS LOCALIZER:n
    uint32_t signal;            // NAV SIGNAL:n
    uint32_t cdi;               // NAV CDI:n, -127..127
    uint32_t selected_dme;      // "SELECTED DME": 1.0 or 2.0
    uint32_t dme;               // NAV DME:n, nautical miles
    uint32_t dme_speed;         // NAV DMESPEED:n, knots
    uint32_t nav_sound;         // NAV SOUND:n
    uint32_t dme_sound;         // "DME SOUND"
    PowerFields power;          // the switches and PARTIAL PANEL NAV:n
};

// Client event ids of the radio's events, from the caller's event column.
struct NavRadioEvents {
    uint32_t whole_dec, whole_inc, fraction_dec, fraction_inc;  // NAVn_RADIO_*
    uint32_t swap;                                              // NAVn_RADIO_SWAP
    uint32_t set;                                               // NAVn_RADIO_SET
    uint32_t obi_dec, obi_inc;                                  // VORn_OBI_*
    uint32_t vor_set;                                           // VORn_SET
    uint32_t vor_ident;                                         // RADIO_VORn_IDENT_TOGGLE
    uint32_t toggle_dme;                                        // TOGGLE_DME
    // The DME ident: radio 1 toggles it, radio 2 sends an enable or a
    // disable pair. Only the ids the radio uses are resolved.
    uint32_t dme1_ident_toggle;
    uint32_t dme1_ident_enable, dme2_ident_enable;
    uint32_t dme1_ident_disable, dme2_ident_disable;
};

struct NavRadio {
    int number;            // 1 or 2; 0 until resolved
    NavRaster raster;      // the program's channel raster for local fraction steps
    double selected_dme;   // "SELECTED DME" value that selects this radio's DME
    bool dme_ident_toggles;  // radio 1: one toggle; radio 2: enable or disable pairs
    NavRadioFields field;
    NavRadioEvents event;
};

// Resolves radio 1 or 2 by name in a layout and an event column. False, with
// a console error naming what is missing, when either lacks something (out
// is then left as it was).
bool nav_radio_resolve(LayoutColumn layout, EventColumn events, int number, NavRaster raster, NavRadio* out);

// ---- Values shown and sent ---------------------------------------------------

// Whole degrees the displays use: add 0.5 above zero, subtract 0.5 otherwise,
// drop the fraction. A value beyond the 32-bit range is held at its end and a
// value that is no number gives 0.
int32_t nav_round(double value);
// A radial that is a number; for any other there is no bearing to show (the
// pages' dashes) and no course to set.
bool nav_radial_known(double radial);
// Bearing TO the station (page 2, the "B" key): the rounded radial turned
// round by 180 degrees.
int32_t nav_course_to_station(double radial);
// Radial FROM the station (page 3): the rounded radial within 0..359.
int32_t nav_radial_from_station(double radial);
// OBS as shown: truncated (not rounded), 360 shown as 0.
int32_t nav_obs_value(double obs);
// Deviation bar position: full deflection of +-127 gives +-15.
int32_t nav_cdi_value(int32_t cdi);
// DME distances below this show one decimal; 99.9 in single precision.
bool nav_dme_shows_tenths(double nautical_miles);

// ---- Display -----------------------------------------------------------------

// Sends a NAV page's lines for this frame: the header, on page 1 the bar as
// "<bar_selector>>%d" ('C' on the NAV panel, 'S' on the NAV/COM panel), then
// the value line. Pages 0 frequencies, 1 CDI and OBS, 2 TO, 3 FROM, 4 DME; a
// page above 4 shows page 0. The caller sends "B>ON" before and its own
// lines around it.
void nav_send_page(const NavRadio& radio, const uint8_t* block, uint8_t page, bool obs_select, char bar_selector);

// The page after this one: 0, 1, 2, 3, 4, then 0 again.
uint8_t nav_next_page(uint8_t page);

// ---- Actions -----------------------------------------------------------------

enum NavStep : uint8_t { NAV_WHOLE_DOWN, NAV_WHOLE_UP, NAV_FRACTION_DOWN, NAV_FRACTION_UP };

// The simulator's own step event for the standby frequency (page 0).
void nav_send_step(const NavRadio& radio, NavStep step);

// Tunes the active frequency locally: both working copies are refreshed from
// this frame's BCD16 words, this radio's copy takes `count` steps on the
// radio's raster, and NAVn_RADIO_SET carries it. Several calls in one frame
// each start from the frame's value, except with `go_on_from_copy`: the
// copies are then not refreshed, and the steps go on from the value the
// call before set (the accelerated turn of one knob).
void nav_step_and_set(const NavRadio& radio, NavCopies* copies, const uint8_t* block, NavStep step, int count = 1,
                      bool go_on_from_copy = false);

// VORn_OBI_INC or VORn_OBI_DEC, `count` times (1, or 5 in a fast mode).
void nav_turn_obs(const NavRadio& radio, bool up, int count);

// One encoder step on a NAV page: page 0 the simulator's step event; page 1
// in OBS select the OBS (down steps DEC, up steps INC, `obs_count` times);
// pages 1 to 3 otherwise step and set; page 4 nothing. True when it acted.
// Every step but page 4's is a detent of an accelerated knob: with
// acceleration on it may be several steps.
bool nav_encoder_step(const NavRadio& radio, NavCopies* copies, const uint8_t* block, uint8_t page,
                      bool obs_select, NavStep step, int obs_count);

// The "B" key: with a VOR (no localizer) showing TO on a known radial, sets
// the OBS to the course to the station with VORn_SET. Test mode prints "B"
// and the radial. True when the course was sent.
bool nav_set_course(const NavRadio& radio, const uint8_t* block);

// The ident key: pages 0 to 3 toggle the station ident; page 4, when this
// radio's DME is the selected one, the DME ident (radio 1 toggles it, radio
// 2 enables or disables both by "DME SOUND").
void nav_ident(const NavRadio& radio, const uint8_t* block, uint8_t page);
