// The transponder as any panel serves it: its fields and events, the flight
// level, the mode keys and steps, the code-digit events, the code-entry and
// mode-selection countdowns, and the two display lines. The transponder
// panel and the multi-function panel's transponder page both call these; each
// keeps its own TransponderEntry, its own number of entry frames, its own
// input gate and its own blanking.
#pragma once

#include <cstdint>

#include "core/program_profile.h"

// "TRANSPONDER STATE:1". A panel selects OFF to ALT; GRND is only shown.
enum TransponderState : int32_t {
    XPDR_OFF = 0,
    XPDR_STBY = 1,
    XPDR_TEST = 2,
    XPDR_ON = 3,
    XPDR_ALT = 4,
    XPDR_GRND = 5,
};

struct TransponderFields {
    uint32_t pressure_altitude;   // "PRESSURE ALTITUDE", "feet"
    uint32_t indicated_altitude;  // "INDICATED ALTITUDE", "feet"
    uint32_t code;                // "TRANSPONDER CODE:1", "BCO16"
    uint32_t state;               // "TRANSPONDER STATE:1", "Enum"
    uint32_t ident;               // "TRANSPONDER IDENT:1", "boolean"
    uint32_t partial_panel;       // "PARTIAL PANEL TRANSPONDER:1", "Enum"
};

struct TransponderEvents {
    uint32_t digit_dec[4];  // by code digit: thousands, hundreds, tens, units
    uint32_t digit_inc[4];
    uint32_t set;       // "XPNDR_SET"
    uint32_t ident_on;  // "XPNDR_IDENT_ON"
};

// Resolves the transponder in a program's columns; false (with a console
// error naming what is missing) when the tables lack a field or an event.
bool xpdr_resolve(LayoutColumn layout, EventColumn events, TransponderFields* fields, TransponderEvents* out_events);

// Code entry and mode selection, as one panel tracks them.
struct TransponderEntry {
    uint8_t code_cursor;     // digit the encoder sets: 0 thousands .. 3 units
    uint8_t code_countdown;  // frames of code entry left; the cursor header shows while not 0
    uint8_t mode_countdown;  // frames of mode selection left
};

// Hundreds of feet, to the nearest hundred with halves away from zero
// (4,449 ft gives 44, 4,450 gives 45, -149 gives -1). An altitude that is no
// number gives 0; one beyond the 32-bit range gives the nearest end of it.
int32_t xpdr_flight_level(double altitude_feet);

// The flight level of a frame: from "INDICATED ALTITUDE" when the FL_MODE
// value is 1, else from "PRESSURE ALTITUDE".
int32_t xpdr_frame_flight_level(const uint8_t* block, const TransponderFields& f, int32_t fl_mode);

// "M": OFF from STBY, STBY from any other state.
int32_t xpdr_standby_key_state(int32_t state);
// "S": ALT from ON, ON from any other state.
int32_t xpdr_on_key_state(int32_t state);
// One mode step down (direction < 0) or up; false when there is nothing to
// write: down from OFF or below, up from ALT or above, or a step that would
// leave the states a panel can select (OFF to ALT).
bool xpdr_mode_after_step(int32_t state, int direction, int32_t* next);

// The digit event for the cursor and direction; false for a cursor past the
// units digit.
bool xpdr_digit_event(const TransponderEvents& e, uint8_t cursor, int direction, uint32_t* id);

// A BCO16 word the transponder can hold: four digits 0 to 7, nothing above.
bool xpdr_code_is_valid(uint32_t code);

// The keys, each with the countdown changes that go with it; `frames` is the
// panel's length of code entry and mode selection. The state keys write the
// new state at once.
void xpdr_key_push(TransponderEntry* e, uint8_t frames);                      // "P"
void xpdr_key_standby(TransponderEntry* e, int32_t state, uint8_t frames);    // "M"
void xpdr_key_on_alt(TransponderEntry* e, int32_t state, uint8_t frames);     // "S"
void xpdr_key_ident(TransponderEntry* e, const TransponderEvents& ev);        // ident
// Sets the configured VFR code; a code the transponder cannot hold is not
// sent, and the console says why.
void xpdr_key_vfr_code(TransponderEntry* e, const TransponderEvents& ev, uint32_t code);

// Writes the state one step down or up where there is one.
void xpdr_step_mode(int32_t state, int direction);
// Sends the digit event under the cursor and restarts code entry. The
// caller has already applied its own gate.
void xpdr_step_code(TransponderEntry* e, const TransponderEvents& ev, int direction, uint8_t frames);

// End of frame: code entry counts down, and once it has run out the cursor
// goes back to the thousands; mode selection counts down.
void xpdr_count_down(TransponderEntry* e);

// The header: the cursor header while code entry runs, else the mode, with
// ">" before it while mode selection runs if the panel shows that marker.
const char* xpdr_header_text(const TransponderEntry& e, int32_t state, bool mode_marker);

// "F>FL %03d      %04X" with the flight level and the code, "IDNT" in the
// gap while the transponder idents; into a 24-byte line buffer. Returns
// the length.
int xpdr_format_value_line(char* buffer, int32_t flight_level, int32_t ident, int32_t code);

// Sends the header, then the value line, for this frame.
void xpdr_send_lines(const uint8_t* block, const TransponderFields& f, const TransponderEntry& e, int32_t flight_level,
                     bool mode_marker);
