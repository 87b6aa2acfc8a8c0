// Digit-by-digit editing of the ADF active frequency and the events that set
// it, and the keys that move the cursor, the page and the card mode.
#include <cstdint>

#include "core/bridge_state.h"
#include "core/console.h"
#include "core/encoder_acceleration.h"
#include "core/session_setup.h"
#include "panels/adf/adf_rules.h"

namespace {

// 0x01..0x09 and 0x10..0x17: 100 to 1799 kHz.
bool valid_hundreds(int byte) { return (byte >= 0x01 && byte <= 0x09) || (byte >= 0x10 && byte <= 0x17); }

int step_hundreds(int byte, int direction) {
    if (direction < 0) {
        byte -= 1;
        if (byte == 0x0F) byte = 0x09;  // 1000 down gives 900
        // Below 100 wraps to the top; so does a byte the simulator sent
        // that no digit step could reach.
        if (!valid_hundreds(byte)) byte = 0x17;
    } else {
        byte += 1;
        if (byte == 0x0A) byte = 0x10;  // 900 up gives 1000
        if (!valid_hundreds(byte)) byte = 0x01;
    }
    return byte;
}

int step_decimal(int digit, int direction) {
    if (direction < 0) {
        digit -= 1;
        if (digit < 0 || digit > 9) digit = 9;
    } else {
        digit += 1;
        if (digit > 9) digit = 0;
    }
    return digit;
}

uint8_t cursor_of(const AdfEditState& s) {
    return s.digit_cursor < DIGIT_COUNT ? s.digit_cursor : static_cast<uint8_t>(DIGIT_HUNDREDS);
}

}  // namespace

void adf_refresh_digits(const AdfDescription& adf, AdfEditState* s, const uint8_t* block) {
    uint32_t active = static_cast<uint32_t>(block_i32(block, adf.field.active_bcd32));
    uint32_t standby = static_cast<uint32_t>(block_i32(block, adf.field.standby_bcd32));
    s->adf_value = active >> 12;
    s->adf_digits[DIGIT_TENTHS] = static_cast<uint8_t>((active >> 12) & 0xF);
    s->adf_digits[DIGIT_UNITS] = static_cast<uint8_t>((active >> 16) & 0xF);
    s->adf_digits[DIGIT_TENS] = static_cast<uint8_t>((active >> 20) & 0xF);
    s->adf_digits[DIGIT_HUNDREDS] = static_cast<uint8_t>(active >> 24);
    s->adf_standby_value = standby >> 12;
}

void adf_step_digit(AdfEditState* s, int direction) {
    uint8_t d = cursor_of(*s);
    uint8_t* digit = &s->adf_digits[d];
    *digit = static_cast<uint8_t>(d == DIGIT_HUNDREDS ? step_hundreds(*digit, direction)
                                                      : step_decimal(*digit, direction));
}

uint32_t adf_pack_digits(const uint8_t digits[DIGIT_COUNT]) {
    return static_cast<uint32_t>(digits[DIGIT_HUNDREDS]) << 12 | static_cast<uint32_t>(digits[DIGIT_TENS] & 0xF) << 8 |
           static_cast<uint32_t>(digits[DIGIT_UNITS] & 0xF) << 4 | (digits[DIGIT_TENTHS] & 0xFu);
}

void adf_print_digits(const AdfEditState& s) {
    console_print("%02X%X%X%X\n", s.adf_digits[DIGIT_HUNDREDS], s.adf_digits[DIGIT_TENS], s.adf_digits[DIGIT_UNITS],
                  s.adf_digits[DIGIT_TENTHS]);
    console_print("%05X\n", adf_pack_digits(s.adf_digits));
}

void adf_send_set(const AdfDescription& adf, AdfEditState* s, const AdfSetOptions& options) {
    if (options.echo == ECHO_ON_SET) adf_print_digits(*s);
    s->adf_value = adf_pack_digits(s->adf_digits);
    transmit_event(adf.event.complete_set, s->adf_value << 12);
    if (!options.standby_swap) return;
    // For a radio with a standby frequency: bring the edit into the active
    // frequency and put the standby of this frame back.
    transmit_event(adf.event.swap, 0);
    transmit_event(adf.event.complete_set, s->adf_standby_value << 12);
}

void adf_turn(const AdfDescription& adf, AdfEditState* s, uint8_t page, int direction, int card_steps,
              const AdfSetOptions& options) {
    if (page == ADF_PAGE_FREQUENCIES) {
        // The simulator steps its own digit; nothing is edited here.
        uint8_t d = cursor_of(*s);
        transmit_event(direction < 0 ? adf.event.digit_dec[d] : adf.event.digit_inc[d], 0);
        return;
    }
    if (page == ADF_PAGE_NEEDLE && s->card_select) {
        int steps = accelerated_detent(KNOB_ADF_CARD, direction < 0 ? -1 : 1, card_steps).count;
        for (int i = 0; i < steps; ++i) transmit_event(direction < 0 ? adf.event.card_dec : adf.event.card_inc, 0);
        adf_send_set(adf, s, options);
        return;
    }
    if (page != ADF_PAGE_NEEDLE && page != ADF_PAGE_CLOCK) return;
    adf_step_digit(s, direction);
    if (options.echo == ECHO_ON_LOCAL_STEP) adf_print_digits(*s);
    adf_send_set(adf, s, options);
}

void adf_push(AdfEditState* s, uint8_t page) {
    if (page == ADF_PAGE_NEEDLE && s->card_select) {
        s->card_fast = s->card_fast ? 0 : 1;
        return;
    }
    s->digit_cursor = static_cast<uint8_t>((cursor_of(*s) + 1) % DIGIT_COUNT);
}

void adf_next_page(uint8_t* page, AdfEditState* s) {
    *page = static_cast<uint8_t>(*page + 1 < ADF_PAGE_COUNT ? *page + 1 : ADF_PAGE_FREQUENCIES);
    s->digit_cursor = DIGIT_HUNDREDS;
    s->card_fast = 0;
}

void adf_end_input_mode(AdfEditState* s) {
    s->digit_cursor = DIGIT_HUNDREDS;
    s->card_fast = 0;
    s->card_select = 0;
}
