// HUB1-Relay's multi-function panel: one display, one encoder and a few keys
// that serve six radios in turn, picked with the digit keys "1" to "6". The
// COM, NAV, ADF and transponder pages call the rules those radios' own panels
// use (com_radio.h, nav_rules.h, adf_rules.h, transponder_rules.h); what is
// the multi-function panel's own is here: one record of page and edit state,
// one input countdown and one double-push window for all pages, the page key
// tables and the order of the countdown step.
#pragma once

#include <cstdint>

#include "core/frequency_codes.h"
#include "core/panel_lookup.h"
#include "core/program_profile.h"
#include "panels/adf/adf_rules.h"
#include "panels/com/com_radio.h"
#include "panels/nav/nav_rules.h"
#include "panels/xpdr/transponder_rules.h"

// The radio pages; the digit key one higher than the number selects one.
enum HubPage : uint8_t { PAGE_COM1, PAGE_COM2, PAGE_NAV1, PAGE_NAV2, PAGE_ADF, PAGE_XPDR, PAGE_COUNT };

// A COM page's mode.
struct HubComMode {
    int32_t tune_mode;  // 1: the encoder steps the fraction, 0: whole megahertz
};

// A NAV page's display and modes.
struct HubNavMode {
    uint8_t page;        // 0 frequencies, 1 CDI/OBS, 2 TO, 3 FROM, 4 DME
    int32_t tune_mode;   // 1: fraction (50 kHz), 0: whole megahertz
    uint8_t obs_select;  // display 1: the encoder turns the OBS
    int32_t obs_fast;    // in OBS select five OBS steps a detent
};

// The page and edit state of the panel, one record for all pages. Radio 1's
// modes are com[0] and nav[0] (com1_tune_mode, nav1_page, ...), radio 2's
// com[1] and nav[1].
struct HubPanelState {
    uint8_t hub_page;    // HubPage shown
    bool page_chosen;    // hub_page has been taken from START_DISPLAY
    HubComMode com[2];
    HubNavMode nav[2];
    NavCopies nav_copies;  // working copies of the NAV step and set
    uint8_t adf_page;      // AdfPage: 0 frequencies, 1 needle and card, 2 clock
    // digit_cursor, adf_digits, adf_value, adf_standby_value, card_select,
    // card_fast and the clock (et_state, et_start, et_elapsed).
    AdfEditState adf;
    // xpdr_cursor (code_cursor), xpdr_code_countdown and xpdr_mode_countdown.
    TransponderEntry xpdr;
    int32_t press_window;  // frames in which a push completes a double push, on any page
    int32_t flight_level;  // hundreds of feet, of this frame
};

// Where each radio's values lie in HUB1's data block and which client
// events it sends; resolved once at start.
struct HubRadios {
    bool started;
    PowerFields power;  // the two switches: the whole panel's power
    ComRadioFields com_field[2];
    ComRadioEvents com_event[2];
    NavRadio nav[2];
    AdfDescription adf;
    TransponderFields xpdr_field;
    TransponderEvents xpdr_event;
};

extern HubPanelState g_hub_panel;
extern HubRadios g_hub_radios;

// Frames the COM, NAV and ADF input modes last after their last input; the
// double-push window; frames of transponder code entry and mode selection
// (half of what the transponder panel gives).
constexpr uint8_t kHubInputFrames = 100;
constexpr int32_t kHubDoublePushFrames = 30;
constexpr uint8_t kHubXpdrEntryFrames = 100;

// --- Page key tables ------------------------------------------------------

// What a key does to the shared input countdown.
enum HubCountdown : uint8_t { COUNTDOWN_UNCHANGED, COUNTDOWN_RESTART, COUNTDOWN_CLEAR };

// One row of a page's key table. The code is the datagram's first
// character; for the encoder 'R' the second gives the direction (-1 or +1),
// and an encoder code with any other second character is ignored.
struct HubKey {
    char code;
    // Acts on the page's radio. False when the current display leaves the
    // countdown as it was (the NAV DME display's encoder and push).
    bool (*act)(HubPage page, const uint8_t* block, int direction);
    HubCountdown countdown;
    bool ends_double_push;  // press_window back to 0
};

// A radio page: its keys, its lines, and the state it resets while the
// avionics are off.
struct HubPageRules {
    const HubKey* keys;
    int key_count;
    void (*display)(HubPage page, const uint8_t* block);
    void (*unpowered)(HubPage page);  // may be null
};

extern const HubPageRules kHubComPage;
extern const HubPageRules kHubNavPage;
extern const HubPageRules kHubAdfPage;
extern const HubPageRules kHubXpdrPage;

// 0 for the pages of radio 1 (COM1, NAV1), 1 for those of radio 2.
inline int hub_radio_index(HubPage page) { return page == PAGE_COM2 || page == PAGE_NAV2 ? 1 : 0; }

// The end of every push on the NAV and ADF pages: a push within the window
// completes a double push and sets the flag, else it opens the window.
void hub_double_push_check(uint8_t* flag);

// --- The panel ------------------------------------------------------------

// Resolves every radio's fields and events and puts the panel state into its
// start state; false (and a console error) when the tables lack one of them.
bool hub_panel_start();

// The update-cycle steps.
void hub_prepare(const uint8_t* block);
void hub_input(const char* text, const uint8_t* block);
void hub_display(const uint8_t* block);
void hub_countdown(const uint8_t* block);
bool hub_takes_code(const char* text);

// The hooks to hand to run_program.
extern const PanelHooks kHubPanelHooks;
