// The ADF rules shared by every panel that shows an ADF: ADF-Relay's own
// panel and the ADF page of the multi-function panel. They hold no state of
// their own: each call takes the fields and events resolved for the calling
// program and the editing record that the program keeps in its panel state.
// Input gating, the input countdown and the double-push window belong to the
// caller.
//
// A panel program calls them so: adf_describe once at start; every frame
// adf_refresh_digits and adf_clock_next_frame before its input; per encoder
// step adf_turn; per push
// adf_push (then its own double-push check, which sets card_select); per
// page key adf_next_page; when its countdown has run out adf_end_input_mode;
// for the display adf_send_page, or adf_clock_reset when it blanks the page.
#pragma once

#include <cstdint>

#include "core/program_profile.h"

// Where the ADF values lie in a program's data block.
struct AdfFields {
    uint32_t active_khz;     // "ADF ACTIVE FREQUENCY:1", KHz
    uint32_t standby_khz;    // "ADF STANDBY FREQUENCY:1", KHz
    uint32_t active_bcd32;   // the same two as "Frequency ADF BCD32"
    uint32_t standby_bcd32;
    uint32_t radial;         // "ADF RADIAL:1": bearing relative to the nose
    uint32_t heading;        // "PLANE HEADING DEGREES GYRO"
    uint32_t card;           // "ADF CARD"
    uint32_t absolute_time;  // "ABSOLUTE TIME", seconds
    uint32_t signal;         // "ADF SIGNAL:1"
    uint32_t sound;          // "ADF SOUND:1"
};

// The client event ids of a program's ADF events.
struct AdfEvents {
    uint32_t complete_set;  // "ADF_COMPLETE_SET"
    uint32_t swap;          // "ADF1_RADIO_SWAP"
    uint32_t digit_dec[4];  // by digit: "ADF_100_DEC" ... "ADF1_RADIO_TENTHS_DEC"
    uint32_t digit_inc[4];
    uint32_t card_dec;
    uint32_t card_inc;
    uint32_t ident_toggle;  // "RADIO_ADF_IDENT_TOGGLE"
};

struct AdfDescription {
    AdfFields field;
    AdfEvents event;
};

// Resolves every ADF field and event by name in the program's columns. False
// (with a console error per missing name) when one is not there.
bool adf_describe(LayoutColumn layout, EventColumn events, AdfDescription* out);

// Digits of the active frequency as the encoder edits them.
enum AdfDigit : uint8_t {
    DIGIT_HUNDREDS,  // the BCD byte of thousands and hundreds, 0x01..0x17
    DIGIT_TENS,
    DIGIT_UNITS,
    DIGIT_TENTHS,
    DIGIT_COUNT
};

// Elapsed-time clock states.
enum AdfClockState : uint8_t { CLOCK_RESET, CLOCK_RUNNING, CLOCK_STOPPED };

// The ADF editing and clock record a panel state embeds; zero is the start
// state.
struct AdfEditState {
    uint8_t digit_cursor;          // AdfDigit the encoder works on
    uint8_t adf_digits[DIGIT_COUNT];
    uint32_t adf_value;            // the digits packed: 0x03445 for 344.5 kHz
    uint32_t adf_standby_value;    // this frame's standby, packed the same way
    uint8_t card_select;           // needle page: the encoder turns the card
    int32_t card_fast;             // card turns go five steps at a time
    uint8_t et_state;              // AdfClockState
    double et_start;               // "ABSOLUTE TIME" when the clock started
    int32_t et_elapsed;            // seconds shown on the clock page
    bool clock_shown;              // the clock page was drawn in this frame
    bool clock_shown_before;       // ... and in the frame before this one
};

// ADF pages.
enum AdfPage : uint8_t { ADF_PAGE_FREQUENCIES, ADF_PAGE_NEEDLE, ADF_PAGE_CLOCK, ADF_PAGE_COUNT };

// Which console lines the frequency set prints (TESTMODE 2 diagnostics).
enum AdfDigitEcho : uint8_t {
    ECHO_NONE,
    ECHO_ON_SET,         // with every set, card turns included (ADF-Relay)
    ECHO_ON_LOCAL_STEP,  // only when a digit was stepped locally
};

// How an encoder turn sets the frequency.
struct AdfSetOptions {
    bool standby_swap;  // also swap and set the frame's standby back
    AdfDigitEcho echo;
};

// --- Digits ---------------------------------------------------------------

// Takes the digits and both packed values from this frame's BCD32 fields, so
// local edits start again from the simulator's active frequency.
void adf_refresh_digits(const AdfDescription& adf, AdfEditState* s, const uint8_t* block);

// Steps the digit under the cursor one down (direction < 0) or up, with no
// carry into its neighbour: the hundreds byte runs 0x01..0x09, 0x10..0x17
// and wraps at both ends, the other digits wrap 0..9.
void adf_step_digit(AdfEditState* s, int direction);

// The digits as five packed BCD digits (hundreds byte in bits 19..12).
uint32_t adf_pack_digits(const uint8_t digits[DIGIT_COUNT]);

// "%02X%X%X%X" with the digits and "%05X" with their packed value.
void adf_print_digits(const AdfEditState& s);

// Sets the edited frequency: "ADF_COMPLETE_SET" with the packed digits, then
// with the swap option "ADF1_RADIO_SWAP" and "ADF_COMPLETE_SET" with this
// frame's standby frequency.
void adf_send_set(const AdfDescription& adf, AdfEditState* s, const AdfSetOptions& options);

// One encoder step on an ADF page. Frequencies page: the simulator's own
// digit event for the cursor. Needle page in card select: `card_steps` card
// events (times the steps of acceleration), then the set (the frequency
// unchanged). Otherwise a local digit step and the set.
void adf_turn(const AdfDescription& adf, AdfEditState* s, uint8_t page, int direction, int card_steps,
              const AdfSetOptions& options);

// --- Keys -----------------------------------------------------------------

// A push: in card select on the needle page it toggles the fast card turn,
// otherwise the cursor moves to the next digit (after the tenths the first).
void adf_push(AdfEditState* s, uint8_t page);

// The next page (after the clock page the first); the cursor goes back to
// the first digit and the fast card turn ends.
void adf_next_page(uint8_t* page, AdfEditState* s);

// When the input countdown has run out: cursor, card select and fast turn end.
void adf_end_input_mode(AdfEditState* s);

// --- Clock ----------------------------------------------------------------

// A new frame begins: what the clock page showed last is now a frame old.
void adf_clock_next_frame(AdfEditState* s);

// The clock key: start, stop, reset in turn. Starting takes this frame's
// "ABSOLUTE TIME". Stopping holds the time the clock page showed in the
// frame before; when the page was not drawn then (the clock ran unseen),
// it holds this frame's time instead.
void adf_clock_key(AdfEditState* s, double absolute_time);

// The clock page is drawn: while the clock runs, the whole seconds since
// its start.
void adf_clock_update(AdfEditState* s, double absolute_time);

// Back to reset with nothing elapsed (the panel lost power).
void adf_clock_reset(AdfEditState* s);

// --- Display --------------------------------------------------------------

// Bearing to the station in whole degrees 0..359: heading plus the relative
// bearing, truncated.
int adf_bearing(double heading, double relative_bearing);

// Needle position for the "C>" line: the relative bearing scaled by 15/50
// and rounded; 0 without a signal.
int adf_needle(double relative_bearing, bool signal);

// Sends the lines of one ADF page for this frame: the header, on the needle
// page the "C>" line, then the value line. `cursor_header` shows the digit
// cursor in the frequencies page's header. The clock page brings the
// elapsed time up to date first.
void adf_send_page(const AdfDescription& adf, AdfEditState* s, uint8_t page, const uint8_t* block,
                   bool cursor_header);
