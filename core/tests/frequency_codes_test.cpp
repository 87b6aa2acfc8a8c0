// Packed radio words and the NAV stepping helpers.
#include <cmath>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "core/frequency_codes.h"

namespace {

uint32_t stepped(uint32_t copy, void (*step)(uint32_t*)) {
    step(&copy);
    return copy;
}

uint32_t stepped(uint32_t copy, void (*step)(uint32_t*, NavRaster), NavRaster raster) {
    step(&copy, raster);
    return copy;
}

TEST(NavStepping, WorkedSteps) {
    EXPECT_EQ(stepped(0x1050, nav_whole_down), 0x0950u);
    EXPECT_EQ(stepped(0x0800, nav_whole_down), 0x1700u);
    EXPECT_EQ(stepped(0x0950, nav_whole_up), 0x1050u);
    EXPECT_EQ(stepped(0x1795, nav_whole_up), 0x0895u);
    EXPECT_EQ(stepped(0x1000, nav_fraction_down, RASTER_50_KHZ), 0x1095u);
    EXPECT_EQ(stepped(0x1095, nav_fraction_up, RASTER_50_KHZ), 0x1000u);
    EXPECT_EQ(stepped(0x1000, nav_fraction_down, RASTER_25_KHZ), 0x1097u);
    EXPECT_EQ(stepped(0x1007, nav_fraction_up, RASTER_25_KHZ), 0x1010u);
    EXPECT_EQ(stepped(0x1097, nav_fraction_up, RASTER_25_KHZ), 0x1000u);
    EXPECT_EQ(stepped(0x1050, nav_fraction_down, RASTER_25_KHZ), 0x1047u);
    EXPECT_EQ(stepped(0x1057, nav_fraction_up, RASTER_25_KHZ), 0x1060u);
}

// Whole steps visit 108..117 once each, keep the fraction, and undo each other.
TEST(NavStepping, WholeStepsCycleThroughTheNavBandKeepingTheFraction) {
    std::set<uint32_t> seen;
    uint32_t copy = 0x0835;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(copy & 0xFF, 0x35u);
        int mhz = ((copy >> 12) & 0xF) * 10 + ((copy >> 8) & 0xF);
        EXPECT_GE(mhz, 8);
        EXPECT_LE(mhz, 17);
        EXPECT_TRUE(seen.insert(copy).second);
        uint32_t up = stepped(copy, nav_whole_up);
        EXPECT_EQ(stepped(up, nav_whole_down), copy);
        copy = up;
    }
    EXPECT_EQ(copy, 0x0835u);
}

// Fraction steps visit every channel of the raster once, never touch the
// megahertz, and down undoes up.
TEST(NavStepping, FractionStepsCycleThroughEachRaster) {
    struct Case {
        NavRaster raster;
        size_t channels;
    } cases[] = {{RASTER_50_KHZ, 20}, {RASTER_25_KHZ, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raster);
        std::set<uint32_t> seen;
        uint32_t copy = 0x1100;
        for (size_t i = 0; i < c.channels; ++i) {
            EXPECT_EQ(copy & 0xFF00, 0x1100u);
            EXPECT_LE(copy & 0xF, 9u);
            EXPECT_TRUE(seen.insert(copy).second) << std::hex << copy;
            uint32_t up = stepped(copy, nav_fraction_up, c.raster);
            EXPECT_EQ(stepped(up, nav_fraction_down, c.raster), copy) << std::hex << copy;
            copy = up;
        }
        EXPECT_EQ(copy, 0x1100u);
    }
}

TEST(NavStepping, EdgeCases) {
    // 108.00 down gives 117.00; 117.xx up gives 108.xx.
    EXPECT_EQ(stepped(0x0800, nav_whole_down), 0x1700u);
    EXPECT_EQ(stepped(0x1725, nav_whole_up), 0x0825u);
    // A 25-kHz channel on the 50-kHz raster: down leaves it, up goes to the next 5.
    EXPECT_EQ(stepped(0x1002, nav_fraction_down, RASTER_50_KHZ), 0x1002u);
    EXPECT_EQ(stepped(0x1002, nav_fraction_up, RASTER_50_KHZ), 0x1007u);
    EXPECT_EQ(stepped(0x1007, nav_fraction_up, RASTER_50_KHZ), 0x1010u);
    // A COM-range word comes out as 108 plus its fraction.
    EXPECT_EQ(stepped(0x1835, nav_whole_up), 0x0835u);
    EXPECT_EQ(stepped(0x3650, nav_whole_up), 0x0850u);
    // Upper bits are not carried through, whatever came in.
    EXPECT_EQ(stepped(0xABCD1050u, nav_whole_down), 0x0950u);
    EXPECT_EQ(stepped(0xABCD1050u, nav_fraction_up, RASTER_50_KHZ), 0x1055u);
}

TEST(NavStepping, SelectorPicksOneOfTwoCopiesAndIgnoresOthers) {
    NavCopies copies = {{0x1050, 0x1150}};
    nav_whole_up(nav_copy_for(&copies, 2));
    nav_fraction_down(nav_copy_for(&copies, 1), RASTER_50_KHZ);
    EXPECT_EQ(copies.nav[0], 0x1045u);
    EXPECT_EQ(copies.nav[1], 0x1250u);
    for (int selector : {0, 3, -1}) {
        EXPECT_EQ(nav_copy_for(&copies, selector), nullptr);
        nav_whole_down(nav_copy_for(&copies, selector));
        nav_whole_up(nav_copy_for(&copies, selector));
        nav_fraction_down(nav_copy_for(&copies, selector), RASTER_25_KHZ);
        nav_fraction_up(nav_copy_for(&copies, selector), RASTER_50_KHZ);
    }
    EXPECT_EQ(copies.nav[0], 0x1045u);
    EXPECT_EQ(copies.nav[1], 0x1250u);
}

TEST(PackedWords, FrequencyBcd16) {
    EXPECT_DOUBLE_EQ(bcd16_to_mhz(0x1835), 118.35);
    EXPECT_DOUBLE_EQ(bcd16_to_mhz(0x1095), 110.95);
    EXPECT_DOUBLE_EQ(bcd16_to_mhz(0x0800), 108.00);
    EXPECT_EQ(bcd16_from_mhz(118.35), 0x1835u);
    EXPECT_EQ(bcd16_from_mhz(118.025), 0x1802u);
    EXPECT_EQ(bcd16_from_mhz(118.075), 0x1807u);
    EXPECT_EQ(bcd16_from_mhz(50.0), 0x0000u);
    EXPECT_EQ(bcd16_from_mhz(std::nan("")), 0x0000u);
    for (uint32_t hi = 0x08; hi <= 0x36; ++hi) {
        if ((hi & 0xF) > 9) continue;
        for (uint32_t lo : {0x00u, 0x02u, 0x05u, 0x07u, 0x50u, 0x97u}) {
            uint32_t word = (hi << 8) | lo;
            EXPECT_EQ(bcd16_from_mhz(bcd16_to_mhz(word)), word) << std::hex << word;
        }
    }
}

TEST(PackedWords, AdfBcd32AndTransponderBco16) {
    EXPECT_DOUBLE_EQ(adf_bcd32_to_khz(0x03445000), 344.5);
    EXPECT_DOUBLE_EQ(adf_bcd32_to_khz(0x17995000), 1799.5);
    EXPECT_DOUBLE_EQ(adf_bcd32_to_khz(0x01000000), 100.0);
    EXPECT_EQ(adf_bcd32_digits(0x03445000), 0x03445u);

    EXPECT_EQ(bco16_to_code(0x7000), 7000);
    EXPECT_EQ(bco16_to_code(0x1200), 1200);
    EXPECT_TRUE(bco16_is_valid(0x7777));
    EXPECT_FALSE(bco16_is_valid(0x7778));
    EXPECT_FALSE(bco16_is_valid(0x10000));
    EXPECT_EQ(bcd_byte_from_value(120), 0x99u);
}

TEST(TitleCheck, TerminatorMustLieWithinTheFirst256Bytes) {
    // The buffer runs on past 256 bytes so a scan too far would find a NUL.
    std::vector<char> text(300, 'A');
    text[299] = '\0';
    EXPECT_EQ(title_is_bounded(text.data()), SIM_E_INVALIDARG);
    text[256] = '\0';
    EXPECT_EQ(title_is_bounded(text.data()), SIM_E_INVALIDARG);
    text[255] = '\0';
    EXPECT_EQ(title_is_bounded(text.data()), SIM_S_OK);
    EXPECT_EQ(title_is_bounded(""), SIM_S_OK);
    EXPECT_EQ(title_is_bounded(nullptr), static_cast<HRESULT_T>(0x80070057u));
}

}  // namespace
