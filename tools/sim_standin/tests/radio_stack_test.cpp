#include <utility>

#include <gtest/gtest.h>

#include "tools/sim_standin/freq_codes.h"
#include "tools/sim_standin/radio_stack.h"

namespace {

const uint64_t kNow = 1000000;

class RadioStackTest : public ::testing::Test {
protected:
    void SetUp() override { radio_defaults(&stack, kNow); }

    double get(const char* name, const char* unit = "") { return radio_get(stack, name, unit, kNow).number; }
    void set(const char* name, double v) { ASSERT_TRUE(radio_set(&stack, name, v, kNow, nullptr)) << name; }
    EventResult event(const char* name, uint32_t data = 0) { return radio_apply_event(&stack, name, data, kNow); }
    // Applies an event n times and returns the variable afterwards.
    double after(const char* ev, int n, const char* var) {
        for (int i = 0; i < n; ++i) EXPECT_EQ(EVENT_APPLIED, event(ev)) << ev;
        return get(var);
    }

    RadioStack stack;
};

TEST(FreqCodes, Bcd16CarriesTwoDecimalsOfComAndNavFrequencies) {
    EXPECT_EQ(0x1835u, bcd16_from_mhz(118.35));
    EXPECT_EQ(0x1095u, bcd16_from_mhz(110.95));
    EXPECT_EQ(0x0800u, bcd16_from_mhz(108.00));
    EXPECT_EQ(0x1802u, bcd16_from_mhz(118.025));  // third decimal dropped
    EXPECT_EQ(0x1807u, bcd16_from_mhz(118.075));
    EXPECT_EQ(0x3697u, bcd16_from_mhz(136.975));
    EXPECT_EQ(0x1800u, bcd16_from_mhz(118.0 + 1.0 / 120));  // 8.33-kHz channel
    double mhz = 0;
    ASSERT_TRUE(mhz_from_bcd16(0x1095, &mhz));
    EXPECT_DOUBLE_EQ(110.95, mhz);
    ASSERT_TRUE(mhz_from_bcd16(0x1802, &mhz));
    EXPECT_NEAR(118.025, mhz, 1e-9);
    ASSERT_TRUE(mhz_from_bcd16(0x1807, &mhz));
    EXPECT_NEAR(118.075, mhz, 1e-9);
    EXPECT_FALSE(mhz_from_bcd16(0x10A0, &mhz));
    EXPECT_FALSE(mhz_from_bcd16(0x1F00, &mhz));
    EXPECT_FALSE(mhz_from_bcd16(0x11095, &mhz));
}

TEST(FreqCodes, AdfBcd32AndBco16) {
    EXPECT_EQ(0x03445000u, adf_bcd32_from_khz(344.5));
    EXPECT_EQ(0x17999000u, adf_bcd32_from_khz(1799.9));
    EXPECT_EQ(0x01000000u, adf_bcd32_from_khz(100.0));
    EXPECT_EQ(0x0344u, adf_bcd16_from_khz(344.5));
    double khz = 0;
    ASSERT_TRUE(khz_from_adf_bcd32(0x03445000, &khz));
    EXPECT_DOUBLE_EQ(344.5, khz);
    EXPECT_FALSE(khz_from_adf_bcd32(0x034A5000, &khz));
    EXPECT_FALSE(khz_from_adf_bcd32(0x1A000000, &khz));

    EXPECT_EQ(0x1200u, bco16_from_code(1200));
    EXPECT_EQ(0x7777u, bco16_from_code(7777));
    int code = 0;
    ASSERT_TRUE(code_from_bco16(0x7000, &code));
    EXPECT_EQ(7000, code);
    EXPECT_FALSE(code_from_bco16(0x1280, &code));  // 8 is no octal digit
    EXPECT_FALSE(code_is_valid(1298));
    EXPECT_TRUE(code_is_valid(0));
}

TEST_F(RadioStackTest, ComWholeStepsWrapAcrossTheBandKeepingTheFraction) {
    set("COM STANDBY FREQUENCY:1", 136.475);
    EXPECT_NEAR(118.475, after("COM_RADIO_WHOLE_INC", 1, "COM STANDBY FREQUENCY:1"), 1e-9);
    EXPECT_NEAR(136.475, after("COM_RADIO_WHOLE_DEC", 1, "COM STANDBY FREQUENCY:1"), 1e-9);
    // COM2 steps its own standby only; actives never move.
    set("COM STANDBY FREQUENCY:2", 119.100);
    EXPECT_NEAR(120.100, after("COM2_RADIO_WHOLE_INC", 1, "COM STANDBY FREQUENCY:2"), 1e-9);
    EXPECT_NEAR(136.475, get("COM STANDBY FREQUENCY:1"), 1e-9);
    EXPECT_NEAR(118.000, get("COM ACTIVE FREQUENCY:1"), 1e-9);
}

TEST_F(RadioStackTest, ComFractionStepsOn25KhzWrapWithinTheMegahertz) {
    set("COM STANDBY FREQUENCY:1", 121.500);
    EXPECT_NEAR(121.525, after("COM_RADIO_FRACT_INC", 1, "COM STANDBY FREQUENCY:1"), 1e-9);
    set("COM STANDBY FREQUENCY:1", 121.975);
    EXPECT_NEAR(121.000, after("COM_RADIO_FRACT_INC", 1, "COM STANDBY FREQUENCY:1"), 1e-9);
    EXPECT_NEAR(121.975, after("COM_RADIO_FRACT_DEC", 1, "COM STANDBY FREQUENCY:1"), 1e-9);
    EXPECT_NEAR(121.975, after("COM_RADIO_FRACT_INC", 40, "COM STANDBY FREQUENCY:1"), 1e-9);  // full circle
    EXPECT_EQ(0x2197, static_cast<int>(get("COM STANDBY FREQUENCY:1", "Frequency BCD16")));
}

TEST_F(RadioStackTest, ComFractionStepsOn833KhzAndSnapBackTo25) {
    set("COM SPACING MODE:2", 1);
    set("COM STANDBY FREQUENCY:2", 118.000);
    EXPECT_NEAR(118.0 + 1.0 / 120, after("COM2_RADIO_FRACT_INC", 1, "COM STANDBY FREQUENCY:2"), 1e-9);
    EXPECT_NEAR(118.025, after("COM2_RADIO_FRACT_INC", 2, "COM STANDBY FREQUENCY:2"), 1e-9);
    set("COM STANDBY FREQUENCY:2", 118.000);
    EXPECT_NEAR(118.0 + 119.0 / 120, after("COM2_RADIO_FRACT_DEC", 1, "COM STANDBY FREQUENCY:2"), 1e-9);
    EXPECT_NEAR(118.0, after("COM2_RADIO_FRACT_INC", 1, "COM STANDBY FREQUENCY:2"), 1e-9);
    // Off the 25-kHz raster after switching back: the step lands on the next channel.
    EXPECT_EQ(EVENT_APPLIED, event("COM2_RADIO_FRACT_INC"));
    EXPECT_EQ(EVENT_APPLIED, event("COM_2_SPACING_MODE_SWITCH"));
    EXPECT_EQ(0, get("COM SPACING MODE:2"));
    EXPECT_NEAR(118.025, after("COM2_RADIO_FRACT_INC", 1, "COM STANDBY FREQUENCY:2"), 1e-9);
    set("COM STANDBY FREQUENCY:2", 118.0 + 1.0 / 120);
    EXPECT_NEAR(118.000, after("COM2_RADIO_FRACT_DEC", 1, "COM STANDBY FREQUENCY:2"), 1e-9);
}

TEST_F(RadioStackTest, NavStepsAndSets) {
    set("NAV STANDBY FREQUENCY:1", 117.95);
    EXPECT_NEAR(108.95, after("NAV1_RADIO_WHOLE_INC", 1, "NAV STANDBY FREQUENCY:1"), 1e-9);
    EXPECT_NEAR(117.95, after("NAV1_RADIO_WHOLE_DEC", 1, "NAV STANDBY FREQUENCY:1"), 1e-9);
    EXPECT_NEAR(117.00, after("NAV1_RADIO_FRACT_INC", 1, "NAV STANDBY FREQUENCY:1"), 1e-9);
    EXPECT_NEAR(117.95, after("NAV1_RADIO_FRACT_DEC", 1, "NAV STANDBY FREQUENCY:1"), 1e-9);
    set("NAV STANDBY FREQUENCY:2", 110.025);  // a 25-kHz channel moves onto the 50-kHz raster
    EXPECT_NEAR(110.05, after("NAV2_RADIO_FRACT_INC", 1, "NAV STANDBY FREQUENCY:2"), 1e-9);
    set("NAV STANDBY FREQUENCY:2", 110.025);
    EXPECT_NEAR(110.00, after("NAV2_RADIO_FRACT_DEC", 1, "NAV STANDBY FREQUENCY:2"), 1e-9);

    EXPECT_EQ(EVENT_APPLIED, event("NAV1_RADIO_SET", 0x1095));
    EXPECT_NEAR(110.95, get("NAV ACTIVE FREQUENCY:1"), 1e-9);
    EXPECT_EQ(EVENT_APPLIED, event("NAV2_RADIO_SET", 0x0802));
    EXPECT_NEAR(108.025, get("NAV ACTIVE FREQUENCY:2"), 1e-9);
    // A COM-band word or a broken BCD word leaves the radio as it was.
    EXPECT_EQ(EVENT_BAD_DATA, event("NAV1_RADIO_SET", 0x1850));
    EXPECT_EQ(EVENT_BAD_DATA, event("NAV1_RADIO_SET", 0x10AB));
    EXPECT_NEAR(110.95, get("NAV ACTIVE FREQUENCY:1"), 1e-9);

    double active = get("NAV ACTIVE FREQUENCY:1"), standby = get("NAV STANDBY FREQUENCY:1");
    EXPECT_EQ(EVENT_APPLIED, event("NAV1_RADIO_SWAP"));
    EXPECT_DOUBLE_EQ(standby, get("NAV ACTIVE FREQUENCY:1"));
    EXPECT_DOUBLE_EQ(active, get("NAV STANDBY FREQUENCY:1"));
}

TEST_F(RadioStackTest, AdfDigitStepsWrapWithoutCarry) {
    set("ADF ACTIVE FREQUENCY:1", 1799.9);
    EXPECT_NEAR(199.9, after("ADF_100_INC", 1, "ADF ACTIVE FREQUENCY:1"), 1e-9);
    set("ADF ACTIVE FREQUENCY:1", 1799.9);
    EXPECT_NEAR(1709.9, after("ADF_10_INC", 1, "ADF ACTIVE FREQUENCY:1"), 1e-9);
    EXPECT_NEAR(1700.9, after("ADF_1_INC", 1, "ADF ACTIVE FREQUENCY:1"), 1e-9);
    EXPECT_NEAR(1700.0, after("ADF1_RADIO_TENTHS_INC", 1, "ADF ACTIVE FREQUENCY:1"), 1e-9);
    set("ADF ACTIVE FREQUENCY:1", 100.0);
    EXPECT_NEAR(1700.0, after("ADF_100_DEC", 1, "ADF ACTIVE FREQUENCY:1"), 1e-9);
    EXPECT_NEAR(1709.0, after("ADF_1_DEC", 1, "ADF ACTIVE FREQUENCY:1"), 1e-9);
    EXPECT_NEAR(1709.9, after("ADF1_RADIO_TENTHS_DEC", 1, "ADF ACTIVE FREQUENCY:1"), 1e-9);
    // ADF2 digits are their own radio.
    set("ADF ACTIVE FREQUENCY:2", 415.0);
    EXPECT_NEAR(425.0, after("ADF2_10_INC", 1, "ADF ACTIVE FREQUENCY:2"), 1e-9);
    EXPECT_NEAR(1709.9, get("ADF ACTIVE FREQUENCY:1"), 1e-9);

    EXPECT_EQ(EVENT_APPLIED, event("ADF_COMPLETE_SET", 0x03445000));
    EXPECT_DOUBLE_EQ(344.5, get("ADF ACTIVE FREQUENCY:1"));
    EXPECT_EQ(0x03445000, static_cast<int>(get("ADF ACTIVE FREQUENCY:1", "Frequency ADF BCD32")));
    EXPECT_EQ(EVENT_BAD_DATA, event("ADF_COMPLETE_SET", 0x00000000));  // 0 kHz is no ADF frequency
    EXPECT_EQ(EVENT_APPLIED, event("ADF_SET", 0x0379));
    EXPECT_DOUBLE_EQ(379.0, get("ADF ACTIVE FREQUENCY:1"));
    set("ADF STANDBY FREQUENCY:1", 250.5);
    EXPECT_EQ(EVENT_APPLIED, event("ADF1_RADIO_SWAP"));
    EXPECT_DOUBLE_EQ(250.5, get("ADF ACTIVE FREQUENCY:1"));
    EXPECT_DOUBLE_EQ(379.0, get("ADF STANDBY FREQUENCY:1"));
    EXPECT_DOUBLE_EQ(0.2505, get("ADF ACTIVE FREQUENCY:1", "MHz"));
}

// ADF-Relay reads the active frequency twice, in kHz and as a BCD32 word:
// every event that moves it must move both readings.
TEST_F(RadioStackTest, AdfEventsMoveTheKhzAndBcd32ReadingsAlike) {
    struct Step {
        const char* event;
        uint32_t data;
        uint32_t bcd32;
    };
    const Step steps[] = {
        {"ADF_COMPLETE_SET", 0x17999000, 0x17999000}, {"ADF_100_INC", 0, 0x01999000},
        {"ADF_10_DEC", 0, 0x01899000},                {"ADF_1_INC", 0, 0x01809000},
        {"ADF1_RADIO_TENTHS_INC", 0, 0x01800000},     {"ADF_100_DEC", 0, 0x17800000},
        {"ADF_10_INC", 0, 0x17900000},                {"ADF_1_DEC", 0, 0x17990000},
        {"ADF1_RADIO_TENTHS_DEC", 0, 0x17999000},     {"ADF_COMPLETE_SET", 0x09005000, 0x09005000},
    };
    for (const Step& s : steps) {
        ASSERT_EQ(EVENT_APPLIED, event(s.event, s.data)) << s.event;
        double khz = 0;
        ASSERT_TRUE(khz_from_adf_bcd32(s.bcd32, &khz));
        EXPECT_EQ(s.bcd32, static_cast<uint32_t>(get("ADF ACTIVE FREQUENCY:1", "Frequency ADF BCD32"))) << s.event;
        EXPECT_NEAR(khz, get("ADF ACTIVE FREQUENCY:1", "KHz"), 1e-9) << s.event;
    }

    // The other values the ADF panel shows can be set and read in its units.
    set("ADF STANDBY FREQUENCY:1", 250.5);
    EXPECT_EQ(0x02505000, static_cast<int>(get("ADF STANDBY FREQUENCY:1", "Frequency ADF BCD32")));
    EXPECT_DOUBLE_EQ(250.5, get("ADF STANDBY FREQUENCY:1", "KHz"));
    const std::pair<const char*, const char*> vars[] = {
        {"ADF RADIAL:1", "degrees"}, {"ADF SIGNAL:1", "number"}, {"ADF CARD", "degrees"},
        {"PLANE HEADING DEGREES GYRO", "degrees"}, {"ABSOLUTE TIME", "seconds"}};
    for (const auto& v : vars) {
        set(v.first, 123.0);
        EXPECT_DOUBLE_EQ(123.0, get(v.first, v.second)) << v.first;
    }
    set("ADF SOUND:1", 1);
    EXPECT_EQ(1, get("ADF SOUND:1", "boolean"));
    EXPECT_EQ(0, after("RADIO_ADF_IDENT_TOGGLE", 1, "ADF SOUND:1"));
}

TEST_F(RadioStackTest, TransponderDigitsAreOctalAndWrapWithoutCarry) {
    EXPECT_EQ(0x1200, static_cast<int>(get("TRANSPONDER CODE:1", "BCO16")));
    EXPECT_EQ(2200, after("XPNDR_1000_INC", 1, "TRANSPONDER CODE:1"));
    set("TRANSPONDER CODE:1", 7777);
    EXPECT_EQ(7770, after("XPNDR_1_INC", 1, "TRANSPONDER CODE:1"));
    set("TRANSPONDER CODE:1", 0);
    EXPECT_EQ(700, after("XPNDR_100_DEC", 1, "TRANSPONDER CODE:1"));
    EXPECT_EQ(770, after("XPNDR_10_DEC", 1, "TRANSPONDER CODE:1"));
    EXPECT_EQ(EVENT_APPLIED, event("XPNDR_SET", 0x7000));
    EXPECT_EQ(7000, get("TRANSPONDER CODE:1"));
    EXPECT_EQ(EVENT_BAD_DATA, event("XPNDR_SET", 0x1280));
    EXPECT_EQ(7000, get("TRANSPONDER CODE:1"));
    EXPECT_FALSE(radio_set(&stack, "TRANSPONDER CODE:1", 1289, kNow, nullptr));
}

TEST_F(RadioStackTest, SwitchesIdentsAndCourses) {
    EXPECT_EQ(EVENT_APPLIED, event("COM2_TRANSMIT_SELECT"));
    EXPECT_EQ(0, get("COM TRANSMIT:1", "boolean"));
    EXPECT_EQ(1, get("COM TRANSMIT:2", "boolean"));
    EXPECT_EQ(1, after("COM_RECEIVE_ALL_TOGGLE", 1, "COM RECIEVE ALL"));
    EXPECT_EQ(EVENT_APPLIED, event("AVIONICS_MASTER_SET", 0));
    EXPECT_EQ(0, get("AVIONICS MASTER SWITCH", "boolean"));
    EXPECT_EQ(EVENT_APPLIED, event("RADIO_DME2_IDENT_ENABLE"));
    EXPECT_EQ(1, get("DME SOUND"));
    EXPECT_EQ(0, after("RADIO_DME1_IDENT_DISABLE", 1, "DME SOUND"));
    EXPECT_EQ(2, after("TOGGLE_DME", 1, "SELECTED DME"));
    EXPECT_EQ(1, after("TOGGLE_DME", 1, "SELECTED DME"));

    set("NAV OBS:1", 359);
    EXPECT_EQ(0, after("VOR1_OBI_INC", 1, "NAV OBS:1"));
    EXPECT_EQ(359, after("VOR1_OBI_DEC", 1, "NAV OBS:1"));
    EXPECT_EQ(EVENT_APPLIED, event("VOR2_SET", 190));
    EXPECT_EQ(190, get("NAV OBS:2"));
    EXPECT_EQ(EVENT_APPLIED, event("ADF_CARD_DEC"));
    EXPECT_EQ(359, get("ADF CARD"));

    // Ident lasts a while, then switches itself off.
    EXPECT_EQ(EVENT_APPLIED, event("XPNDR_IDENT_ON"));
    EXPECT_EQ(1, radio_get(stack, "TRANSPONDER IDENT:1", "boolean", kNow + 1000).number);
    EXPECT_EQ(0, radio_get(stack, "TRANSPONDER IDENT:1", "boolean", kNow + 60000).number);

    EXPECT_EQ(EVENT_APPLIED, event("KOHLSMAN_SET", 1000 * 16));
    EXPECT_DOUBLE_EQ(1000.0, get("Kohlsman setting mb", "millibars"));
    EXPECT_NEAR(29.53, get("Kohlsman setting hg", "inHg"), 0.01);
    EXPECT_EQ(EVENT_UNKNOWN, event("NO_SUCH_EVENT"));
}

// Everything a NAV page reads can be set by a test and comes back in the
// units the programs declare; the radio's events move only their own radio.
TEST_F(RadioStackTest, NavPageVariablesFollowSetsAndEventsPerRadio) {
    EXPECT_EQ(0, get("NAV HAS LOCALIZER:1", "boolean"));
    EXPECT_EQ(0, get("NAV SOUND:2", "boolean"));
    EXPECT_EQ(1.0, get("SELECTED DME", "number"));
    set("NAV CDI:1", -127);
    set("NAV TOFROM:2", 0);
    set("NAV HAS LOCALIZER:2", 1);
    set("NAV SIGNAL:1", 0);
    set("NAV DME:1", 99.9);
    set("NAV DMESPEED:1", 140);
    set("NAV RADIAL:1", 359.6);
    EXPECT_EQ(-127, get("NAV CDI:1", "number"));
    EXPECT_EQ(0, get("NAV TOFROM:2", "Enum"));
    EXPECT_EQ(1, get("NAV HAS LOCALIZER:2", "boolean"));
    EXPECT_EQ(0, get("NAV SIGNAL:1", "number"));
    EXPECT_DOUBLE_EQ(99.9, get("NAV DME:1", "nautical miles"));
    EXPECT_DOUBLE_EQ(140, get("NAV DMESPEED:1", "knots"));
    EXPECT_DOUBLE_EQ(359.6, get("NAV RADIAL:1", "degrees"));

    EXPECT_EQ(1, after("RADIO_VOR2_IDENT_TOGGLE", 1, "NAV SOUND:2"));
    EXPECT_EQ(0, get("NAV SOUND:1"));
    EXPECT_EQ(271, after("VOR2_OBI_INC", 1, "NAV OBS:2"));
    EXPECT_EQ(90, get("NAV OBS:1"));
    EXPECT_EQ(85, after("VOR1_OBI_DEC", 5, "NAV OBS:1"));
    EXPECT_EQ(2.0, after("TOGGLE_DME", 1, "SELECTED DME"));
    EXPECT_EQ(1, after("RADIO_DME2_IDENT_ENABLE", 1, "DME SOUND"));

    // A 25-kHz channel set by word keeps its word on the way back.
    EXPECT_EQ(EVENT_APPLIED, event("NAV1_RADIO_SET", 0x1052));
    EXPECT_EQ(0x1052, static_cast<int>(get("NAV ACTIVE FREQUENCY:1", "Frequency BCD16")));
    EXPECT_NEAR(114.10, get("NAV ACTIVE FREQUENCY:2", "MHz"), 1e-9);
}

TEST_F(RadioStackTest, NamesUnitsAndUnknownVariables) {
    EXPECT_NEAR(118.0, get("com active frequency: 1", "MHz"), 1e-9);
    EXPECT_NEAR(118000.0, get("COM ACTIVE FREQUENCY:1", "KHz"), 1e-6);
    EXPECT_EQ(0, get("NO SUCH VARIABLE:3", "number"));
    EXPECT_EQ(1, get("ELECTRICAL MASTER BATTERY:1", "boolean"));  // index 1 and none are one variable
    VarValue title = radio_get(stack, "Title", "", kNow);
    ASSERT_TRUE(title.is_text);
    EXPECT_EQ("Cessna Skyhawk G1000 Asobo", title.text);
    EXPECT_FALSE(radio_set_title(&stack, std::string(256, 'x').c_str()));
    EXPECT_NEAR(get("ABSOLUTE TIME", "seconds") + 2.0, radio_get(stack, "ABSOLUTE TIME", "seconds", kNow + 2000).number,
                1e-6);

    std::string error;
    EXPECT_TRUE(radio_set_in_unit(&stack, "TRANSPONDER STATE:1", "Enum", 3, kNow, &error));
    EXPECT_EQ(3, get("TRANSPONDER STATE:1"));
    EXPECT_TRUE(radio_set_in_unit(&stack, "COM STANDBY FREQUENCY:1", "Frequency BCD16", 0x2450, kNow, &error));
    EXPECT_NEAR(124.5, get("COM STANDBY FREQUENCY:1"), 1e-9);
    EXPECT_FALSE(radio_set_in_unit(&stack, "COM STANDBY FREQUENCY:1", "MHz", 150.0, kNow, &error));
    EXPECT_FALSE(radio_set(&stack, "NAV ACTIVE FREQUENCY:1", 121.5, kNow, &error));
    EXPECT_FALSE(radio_set(&stack, ":1", 1, kNow, &error));
}

// What the transponder panel's tests set by command: ident on and off at
// will, and altitudes below zero for the flight level.
TEST_F(RadioStackTest, TransponderIdentAndAltitudesCanBeSet) {
    set("TRANSPONDER IDENT:1", 1);
    EXPECT_EQ(1, radio_get(stack, "TRANSPONDER IDENT:1", "boolean", kNow + 1000).number);
    set("TRANSPONDER IDENT:1", 0);
    EXPECT_EQ(0, get("TRANSPONDER IDENT:1", "boolean"));
    set("PRESSURE ALTITUDE", -149.0);
    set("INDICATED ALTITUDE", 4450.0);
    EXPECT_EQ(-149.0, get("PRESSURE ALTITUDE", "feet"));
    EXPECT_EQ(4450.0, get("INDICATED ALTITUDE", "feet"));
}

}  // namespace
