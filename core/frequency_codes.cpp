#include "core/frequency_codes.h"

#include <cmath>

int bcd_byte_value(uint32_t byte) {
    return static_cast<int>((byte >> 4) & 0xF) * 10 + static_cast<int>(byte & 0xF);
}

uint32_t bcd_byte_from_value(int value) {
    if (value < 0) value = 0;
    if (value > 99) value = 99;
    return static_cast<uint32_t>(((value / 10) << 4) | (value % 10));
}

double bcd16_to_mhz(uint32_t word) {
    return 100.0 + bcd_byte_value((word >> 8) & 0xFF) + bcd_byte_value(word & 0xFF) / 100.0;
}

uint32_t bcd16_from_mhz(double mhz) {
    // Round to the kilohertz first, so 118.35 (stored as 118.3499...) keeps
    // its .35, then drop the third decimal as the simulator does.
    if (!(mhz >= 100.0)) mhz = 100.0;
    if (mhz > 199.999) mhz = 199.999;
    long khz = std::lround(mhz * 1000.0) - 100000;
    int whole = static_cast<int>(khz / 1000);
    int hundredths = static_cast<int>((khz % 1000) / 10);
    return (bcd_byte_from_value(whole) << 8) | bcd_byte_from_value(hundredths);
}

double adf_bcd32_to_khz(uint32_t word) {
    return bcd_byte_value(word >> 24) * 100 + ((word >> 20) & 0xF) * 10 + ((word >> 16) & 0xF) +
           ((word >> 12) & 0xF) / 10.0;
}

int bco16_to_code(uint32_t word) {
    return static_cast<int>((word >> 12) & 0xF) * 1000 + static_cast<int>((word >> 8) & 0xF) * 100 +
           static_cast<int>((word >> 4) & 0xF) * 10 + static_cast<int>(word & 0xF);
}

bool bco16_is_valid(uint32_t word) {
    if (word > 0xFFFF) return false;
    for (int shift = 0; shift < 16; shift += 4)
        if (((word >> shift) & 0xF) > 7) return false;
    return true;
}

void nav_whole_down(uint32_t* copy) {
    if (!copy) return;
    int h = static_cast<int>((*copy >> 8) & 0xFF) - 1;
    if (h == 0x0F) {
        h = 0x09;  // decimal borrow: 110 -> 109
    } else if (h < 0x08) {
        h = 0x17;  // 108 -> 117
    }
    *copy = (*copy & 0xFF) + (static_cast<uint32_t>(h) << 8);
}

void nav_whole_up(uint32_t* copy) {
    if (!copy) return;
    int h = static_cast<int>((*copy >> 8) & 0xFF) + 1;
    if (h == 0x0A) {
        h = 0x10;  // decimal carry: 109 -> 110
    } else if (h > 0x17) {
        h = 0x08;  // 117 -> 108
    }
    *copy = (*copy & 0xFF) + (static_cast<uint32_t>(h) << 8);
}

void nav_fraction_down(uint32_t* copy, NavRaster raster) {
    if (!copy) return;
    int f = static_cast<int>(*copy & 0xFF);
    int d = f & 0xF;
    int top;
    if (raster == RASTER_25_KHZ) {
        if (d == 0) {
            f -= 9;  // .50 -> .47
        } else if (d == 5) {
            f -= 3;  // .55 -> .52
        } else {
            f -= 2;  // .57 -> .55, .52 -> .50
        }
        top = 0x97;
    } else {
        // A 25-kHz channel (low digit neither 0 nor 5) is left alone.
        if (d == 0) {
            f -= 0x0B;  // .50 -> .45
        } else if (d == 5) {
            f -= 5;  // .45 -> .40
        }
        top = 0x95;
    }
    if (f < 0) f = top;
    *copy = (*copy & 0xFF00) + static_cast<uint32_t>(f);
}

void nav_fraction_up(uint32_t* copy, NavRaster raster) {
    if (!copy) return;
    int f = static_cast<int>(*copy & 0xFF);
    int top;
    if (raster == RASTER_25_KHZ) {
        int d = f & 0xF;
        if (d == 0 || d == 5) {
            f += 2;  // .50 -> .52, .55 -> .57
        } else {
            f += 3;  // .52 -> .55, .57 -> .5A -> .60
            if ((f & 0xF) > 9) f = (f & ~0xF) + 0x10;
        }
        top = 0x97;
    } else {
        f += 5;  // .45 -> .4A -> .50
        if ((f & 0xF) > 9) f = (f & ~0xF) + 0x10;
        top = 0x95;
    }
    if (f > top) f = 0x00;
    *copy = (*copy & 0xFF00) + static_cast<uint32_t>(f);
}

uint32_t* nav_copy_for(NavCopies* copies, int selector) {
    if (!copies || (selector != 1 && selector != 2)) return nullptr;
    return &copies->nav[selector - 1];
}

HRESULT_T title_is_bounded(const char* text) {
    if (!text) return SIM_E_INVALIDARG;
    for (int i = 0; i < 256; ++i)
        if (text[i] == '\0') return SIM_S_OK;
    return SIM_E_INVALIDARG;
}
