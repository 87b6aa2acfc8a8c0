// The packed radio words the simulator delivers beside the float values
// (COM/NAV "Frequency BCD16", ADF "Frequency ADF BCD32", transponder
// "BCO16"), the local NAV stepping helpers, and the bounded title check.
#pragma once

#include <cstdint>

#include "simclient/sim_types.h"

// Two BCD digits of one byte as a number (0x35 -> 35); digits above 9 are
// taken as they stand, so a malformed byte cannot index anything.
int bcd_byte_value(uint32_t byte);
// A number 0..99 as one BCD byte (35 -> 0x35).
uint32_t bcd_byte_from_value(int value);

// "Frequency BCD16": tens and units of the megahertz (hundreds digit 1 left
// out) in bits 15..8, tenths and hundredths in bits 7..0. 0x1835 -> 118.35.
double bcd16_to_mhz(uint32_t word);
// Nearest word for a frequency of 100.00 to 199.99 MHz, to the hundredth
// (118.025 -> 0x1802, as the simulator reports it).
uint32_t bcd16_from_mhz(double mhz);

// "Frequency ADF BCD32": bits 31..24 thousands and hundreds, 23..20 tens,
// 19..16 units, 15..12 tenths of a kilohertz. 0x03445000 -> 344.5 kHz.
double adf_bcd32_to_khz(uint32_t word);
// The five digits the ADF program works with (0x03445000 -> 0x03445).
inline uint32_t adf_bcd32_digits(uint32_t word) { return word >> 12; }

// "BCO16": four octal digits, one per nibble. 0x7000 -> 7000.
int bco16_to_code(uint32_t word);
// True when every nibble is a digit 0..7.
bool bco16_is_valid(uint32_t word);

// Channel raster of the NAV fraction steps; fixed per program.
enum NavRaster : uint8_t {
    RASTER_50_KHZ,  // .00 .05 .10 ... .95
    RASTER_25_KHZ,  // .00 .02 .05 .07 ... .95 .97 (NAV1-Relay)
};

// Steps a NAV working copy (a BCD16 word) in place. Whole steps keep the
// fraction and wrap 108 <-> 117; fraction steps keep the megahertz and wrap
// within it. Only the low 16 bits are used; the result has no upper bits.
void nav_whole_down(uint32_t* copy);
void nav_whole_up(uint32_t* copy);
void nav_fraction_down(uint32_t* copy, NavRaster raster);
void nav_fraction_up(uint32_t* copy, NavRaster raster);

// HUB1-Relay keeps one working copy per NAV radio and names one with a radio
// selector. Any selector but 1 or 2 gives null, which the steps above take
// as "change nothing".
struct NavCopies {
    uint32_t nav[2];
};
uint32_t* nav_copy_for(NavCopies* copies, int selector);

// SIM_S_OK when the text ends within its first 256 bytes, else
// SIM_E_INVALIDARG (also for a null pointer). Never reads past 256 bytes.
HRESULT_T title_is_bounded(const char* text);
