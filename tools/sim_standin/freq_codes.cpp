#include "tools/sim_standin/freq_codes.h"

#include <cmath>

namespace {

uint32_t bcd2(int v) { return static_cast<uint32_t>(((v / 10) % 10) << 4 | (v % 10)); }

// Two BCD digits of a byte; false when either is above 9.
bool from_bcd2(uint32_t byte, int* v) {
    int hi = (byte >> 4) & 0xF, lo = byte & 0xF;
    if (hi > 9 || lo > 9) return false;
    *v = hi * 10 + lo;
    return true;
}

}  // namespace

uint32_t bcd16_from_mhz(double mhz) {
    if (!(mhz > 0)) return 0;
    long khz = std::lround(mhz * 1000.0);
    int whole = static_cast<int>(khz / 1000) % 100;  // the leading 1 is left out
    int hundredths = static_cast<int>((khz % 1000) / 10);
    return bcd2(whole) << 8 | bcd2(hundredths);
}

bool mhz_from_bcd16(uint32_t word, double* mhz) {
    if (word > 0xFFFF) return false;
    int whole, hundredths;
    if (!from_bcd2(word >> 8, &whole) || !from_bcd2(word & 0xFF, &hundredths)) return false;
    int khz = hundredths * 10;
    int last = hundredths % 10;
    if (last == 2 || last == 7) khz += 5;
    *mhz = 100.0 + whole + khz / 1000.0;
    return true;
}

uint32_t adf_bcd32_from_khz(double khz) {
    if (!(khz > 0)) return 0;
    long tenths = std::lround(khz * 10.0);
    int k = static_cast<int>(tenths / 10);
    int t = static_cast<int>(tenths % 10);
    return bcd2(k / 100) << 24 | static_cast<uint32_t>((k / 10) % 10) << 20 |
           static_cast<uint32_t>(k % 10) << 16 | static_cast<uint32_t>(t) << 12;
}

bool khz_from_adf_bcd32(uint32_t word, double* khz) {
    int high;
    if (!from_bcd2(word >> 24, &high)) return false;
    int tens = (word >> 20) & 0xF, units = (word >> 16) & 0xF, tenths = (word >> 12) & 0xF;
    if (tens > 9 || units > 9 || tenths > 9) return false;
    *khz = high * 100 + tens * 10 + units + tenths / 10.0;
    return true;
}

uint32_t adf_bcd16_from_khz(double khz) {
    if (!(khz > 0)) return 0;
    int k = static_cast<int>(khz) % 10000;
    return bcd2(k / 100) << 8 | bcd2(k % 100);
}

bool khz_from_adf_bcd16(uint32_t word, double* khz) {
    int high, low;
    if (word > 0xFFFF || !from_bcd2(word >> 8, &high) || !from_bcd2(word & 0xFF, &low)) return false;
    *khz = high * 100 + low;
    return true;
}

uint32_t bco16_from_code(int code) {
    if (code < 0) code = 0;
    return static_cast<uint32_t>(((code / 1000) % 10) << 12 | ((code / 100) % 10) << 8 | ((code / 10) % 10) << 4 |
                                 (code % 10));
}

bool code_from_bco16(uint32_t word, int* code) {
    if (word > 0xFFFF) return false;
    int c = 0;
    for (int shift = 12; shift >= 0; shift -= 4) {
        int d = (word >> shift) & 0xF;
        if (d > 7) return false;
        c = c * 10 + d;
    }
    *code = c;
    return true;
}

bool code_is_valid(int code) {
    if (code < 0 || code > 7777) return false;
    for (int i = 0; i < 4; ++i, code /= 10) {
        if (code % 10 > 7) return false;
    }
    return true;
}
