#include "panels/xpdr/transponder_rules.h"

#include <cmath>
#include <cstdint>

#include "core/bridge_state.h"
#include "core/console.h"
#include "core/panel_lookup.h"
#include "core/panel_messages.h"
#include "core/session_setup.h"

namespace {

const char* const kDigitDec[4] = {"XPNDR_1000_DEC", "XPNDR_100_DEC", "XPNDR_10_DEC", "XPNDR_1_DEC"};
const char* const kDigitInc[4] = {"XPNDR_1000_INC", "XPNDR_100_INC", "XPNDR_10_INC", "XPNDR_1_INC"};

// The "|" stands under the digit being set in the value line below.
const char* const kCursorHeader[4] = {"H>XPDR   SET  |   ", "H>XPDR   SET   |  ", "H>XPDR   SET    | ",
                                      "H>XPDR   SET     |"};
const char kCursorHeaderOther[] = "H>XPDR   SET  CODE";

// By state OFF to GRND, then the form for a state the simulator should not
// report.
const char* const kModeHeader[7] = {"H>XPDR   OFF  CODE", "H>XPDR   STBY CODE", "H>XPDR   TEST CODE",
                                    "H>XPDR   ON   CODE", "H>XPDR   ALT  CODE", "H>XPDR   GRND CODE",
                                    "H>XPDR   ---- CODE"};
const char* const kMarkedModeHeader[7] = {"H>XPDR  >OFF  CODE", "H>XPDR  >STBY CODE", "H>XPDR  >TEST CODE",
                                          "H>XPDR  >ON   CODE", "H>XPDR  >ALT  CODE", "H>XPDR  >GRND CODE",
                                          "H>XPDR  >---- CODE"};

}  // namespace

bool xpdr_resolve(LayoutColumn layout, EventColumn events, TransponderFields* fields, TransponderEvents* out_events) {
    TransponderFields f{};
    TransponderEvents e{};
    bool ok = find_field(layout, "PRESSURE ALTITUDE", "feet", &f.pressure_altitude);
    ok &= find_field(layout, "INDICATED ALTITUDE", "feet", &f.indicated_altitude);
    ok &= find_field(layout, "TRANSPONDER CODE:1", "BCO16", &f.code);
    ok &= find_field(layout, "TRANSPONDER STATE:1", "Enum", &f.state);
    ok &= find_field(layout, "TRANSPONDER IDENT:1", "boolean", &f.ident);
    ok &= find_field(layout, "PARTIAL PANEL TRANSPONDER:1", "Enum", &f.partial_panel);
    for (int digit = 0; digit < 4; ++digit) {
        ok &= find_event(events, kDigitDec[digit], &e.digit_dec[digit]);
        ok &= find_event(events, kDigitInc[digit], &e.digit_inc[digit]);
    }
    ok &= find_event(events, "XPNDR_SET", &e.set);
    ok &= find_event(events, "XPNDR_IDENT_ON", &e.ident_on);
    if (!ok) return false;
    if (fields) *fields = f;
    if (out_events) *out_events = e;
    return true;
}

int32_t xpdr_flight_level(double altitude_feet) {
    // Truncating (a - 50) before dividing by 100 gives the same level as
    // truncating the quotient, so one formula serves both signs.
    return whole_int32((altitude_feet >= 0.0 ? altitude_feet + 50.0 : altitude_feet - 50.0) / 100.0);
}

int32_t xpdr_frame_flight_level(const uint8_t* block, const TransponderFields& f, int32_t fl_mode) {
    return xpdr_flight_level(block_f64(block, fl_mode == 1 ? f.indicated_altitude : f.pressure_altitude));
}

int32_t xpdr_standby_key_state(int32_t state) { return state == XPDR_STBY ? XPDR_OFF : XPDR_STBY; }

int32_t xpdr_on_key_state(int32_t state) { return state == XPDR_ON ? XPDR_ALT : XPDR_ON; }

bool xpdr_mode_after_step(int32_t state, int direction, int32_t* next) {
    int32_t to;
    if (direction < 0) {
        if (state <= XPDR_OFF) return false;
        to = state - 1;
    } else {
        if (state >= XPDR_ALT) return false;
        to = state + 1;
    }
    // A state the simulator should not report (beyond GRND, or negative)
    // steps to nothing rather than to another such state.
    if (to < XPDR_OFF || to > XPDR_ALT) return false;
    *next = to;
    return true;
}

bool xpdr_digit_event(const TransponderEvents& e, uint8_t cursor, int direction, uint32_t* id) {
    if (cursor > 3) return false;
    *id = direction < 0 ? e.digit_dec[cursor] : e.digit_inc[cursor];
    return true;
}

bool xpdr_code_is_valid(uint32_t code) {
    if (code > 0xFFFF) return false;
    for (int shift = 0; shift < 16; shift += 4)
        if (((code >> shift) & 0xF) > 7) return false;
    return true;
}

void xpdr_key_push(TransponderEntry* e, uint8_t frames) {
    // In mode selection the push leaves it for code entry, cursor kept.
    if (e->mode_countdown == 0) {
        e->code_cursor = e->code_cursor >= 3 ? 0 : static_cast<uint8_t>(e->code_cursor + 1);
    } else {
        e->mode_countdown = 0;
    }
    e->code_countdown = frames;
}

void xpdr_key_standby(TransponderEntry* e, int32_t state, uint8_t frames) {
    e->mode_countdown = frames;
    write_transponder_state(xpdr_standby_key_state(state));
    e->code_countdown = 0;
}

void xpdr_key_on_alt(TransponderEntry* e, int32_t state, uint8_t frames) {
    e->mode_countdown = frames;
    write_transponder_state(xpdr_on_key_state(state));
    e->code_countdown = 0;
}

void xpdr_key_ident(TransponderEntry* e, const TransponderEvents& ev) {
    e->mode_countdown = 0;
    e->code_countdown = 0;
    transmit_event(ev.ident_on, 0);
}

void xpdr_key_vfr_code(TransponderEntry* e, const TransponderEvents& ev, uint32_t code) {
    if (xpdr_code_is_valid(code)) {
        transmit_event(ev.set, code);
    } else {
        console_print("Error: XPDR_CODE %X is no transponder code (four digits 0 to 7); not set\n", code);
    }
    e->mode_countdown = 0;
    e->code_countdown = 0;
}

void xpdr_step_mode(int32_t state, int direction) {
    int32_t next;
    if (xpdr_mode_after_step(state, direction, &next)) write_transponder_state(next);
}

void xpdr_step_code(TransponderEntry* e, const TransponderEvents& ev, int direction, uint8_t frames) {
    uint32_t id;
    if (!xpdr_digit_event(ev, e->code_cursor, direction, &id)) return;
    transmit_event(id, 0);
    e->code_countdown = frames;
}

void xpdr_count_down(TransponderEntry* e) {
    if (e->code_countdown == 0) {
        e->code_cursor = 0;
    } else {
        --e->code_countdown;
    }
    if (e->mode_countdown != 0) --e->mode_countdown;
}

const char* xpdr_header_text(const TransponderEntry& e, int32_t state, bool mode_marker) {
    if (e.code_countdown != 0) return e.code_cursor <= 3 ? kCursorHeader[e.code_cursor] : kCursorHeaderOther;
    int row = state >= XPDR_OFF && state <= XPDR_GRND ? state : 6;
    return mode_marker && e.mode_countdown != 0 ? kMarkedModeHeader[row] : kModeHeader[row];
}

int xpdr_format_value_line(char* buffer, int32_t flight_level, int32_t ident, int32_t code) {
    return format_line(buffer, ident != 0 ? "F>FL %03d IDNT %04X" : "F>FL %03d      %04X", flight_level,
                       static_cast<unsigned>(code));
}

void xpdr_send_lines(const uint8_t* block, const TransponderFields& f, const TransponderEntry& e, int32_t flight_level,
                     bool mode_marker) {
    send_line("%s", xpdr_header_text(e, block_i32(block, f.state), mode_marker));
    char line[kLineBufferSize];
    xpdr_format_value_line(line, flight_level, block_i32(block, f.ident), block_i32(block, f.code));
    send_line("%s", line);
}
