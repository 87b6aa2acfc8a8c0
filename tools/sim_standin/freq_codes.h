// The packed words the simulator hands out besides plain numbers: COM/NAV
// frequencies as "Frequency BCD16", ADF frequencies as "Frequency ADF BCD32"
// (and the older 4-digit "Frequency BCD16" of whole kilohertz), transponder
// codes as "BCO16". The decoders reject words with digits out of range, so a
// bad value from a client never reaches the radio stack.
#pragma once

#include <cstdint>

// COM/NAV: 1TU.th MHz as 0xTUth; the third decimal of a 25-kHz channel is
// dropped (118.025 -> 0x1802).
uint32_t bcd16_from_mhz(double mhz);
// The inverse; .x2 and .x7 stand for the 25-kHz channels .x25 and .x75.
bool mhz_from_bcd16(uint32_t word, double* mhz);

// ADF: thousands+hundreds byte in bits 31..24, tens 23..20, units 19..16,
// tenths 15..12 (344.5 kHz -> 0x03445000).
uint32_t adf_bcd32_from_khz(double khz);
bool khz_from_adf_bcd32(uint32_t word, double* khz);

// ADF whole kilohertz as four BCD digits (344 kHz -> 0x0344).
uint32_t adf_bcd16_from_khz(double khz);
bool khz_from_adf_bcd16(uint32_t word, double* khz);

// Transponder code, held as its four octal digits written in decimal (1200).
uint32_t bco16_from_code(int code);
bool code_from_bco16(uint32_t word, int* code);
// True when every decimal digit of 0..7777 is an octal digit.
bool code_is_valid(int code);
