// The NAV radio rules shared by the NAV, NAV/COM and multi-function panels:
// the values, the page lines and the actions, for radio 1 and radio 2 and
// resolved from different programs' columns.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/tests/fake_simconnect.h"
#include "panels/nav/nav_rules.h"
#include "panels/test_support/panel_test_harness.h"

namespace {

using Ids = std::vector<uint32_t>;
using Lines = std::vector<std::string>;

TEST(NavValues, RoundingGoesAwayFromZeroAtHalvesAndSurvivesWildValues) {
    EXPECT_EQ(nav_round(0.5), 1);
    EXPECT_EQ(nav_round(0.49), 0);
    EXPECT_EQ(nav_round(0.0), 0);
    EXPECT_EQ(nav_round(-0.4), 0);
    EXPECT_EQ(nav_round(-0.5), -1);
    EXPECT_EQ(nav_round(359.6), 360);
    // Whatever the simulator hands over, the result is a defined number.
    EXPECT_EQ(nav_round(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(nav_round(1e300), INT32_MAX);
    EXPECT_EQ(nav_round(-std::numeric_limits<double>::infinity()), INT32_MIN);
}

TEST(NavValues, CourseToAndRadialFromTheStation) {
    struct Case {
        double radial;
        int32_t to, from;
    };
    for (Case c : {Case{200.4, 20, 200}, Case{359.6, 180, 0}, Case{10.4, 190, 10}, Case{179.5, 0, 180},
                   Case{0.0, 180, 0}, Case{-0.6, 179, 359}, Case{90.0, 270, 90}}) {
        EXPECT_EQ(nav_course_to_station(c.radial), c.to) << c.radial;
        EXPECT_EQ(nav_radial_from_station(c.radial), c.from) << c.radial;
    }
}

TEST(NavValues, ObsIsTruncatedWith360ShownAsZero) {
    EXPECT_EQ(nav_obs_value(359.9), 359);
    EXPECT_EQ(nav_obs_value(45.5), 45);
    EXPECT_EQ(nav_obs_value(0.99), 0);
    EXPECT_EQ(nav_obs_value(360.0), 0);
    EXPECT_EQ(nav_obs_value(360.7), 0);
    EXPECT_EQ(nav_obs_value(std::nan("")), 0);
}

TEST(NavValues, CdiBarScalesFullDeflectionToFifteen) {
    EXPECT_EQ(nav_cdi_value(127), 15);
    EXPECT_EQ(nav_cdi_value(-127), -15);
    EXPECT_EQ(nav_cdi_value(64), 8);
    EXPECT_EQ(nav_cdi_value(5), 1);
    EXPECT_EQ(nav_cdi_value(4), 0);  // 0.47 + 0.5, truncated
    EXPECT_EQ(nav_cdi_value(-4), 0);
    EXPECT_EQ(nav_cdi_value(-5), -1);
    EXPECT_EQ(nav_cdi_value(0), 0);
    EXPECT_LT(nav_cdi_value(INT32_MIN), -15);
}

TEST(NavValues, DmeShowsTenthsBelowSinglePrecision99_9) {
    EXPECT_TRUE(nav_dme_shows_tenths(0.1));
    EXPECT_TRUE(nav_dme_shows_tenths(99.9));
    EXPECT_TRUE(nav_dme_shows_tenths(99.9000015));
    EXPECT_FALSE(nav_dme_shows_tenths(static_cast<double>(99.9f)));
    EXPECT_FALSE(nav_dme_shows_tenths(99.95));
    EXPECT_FALSE(nav_dme_shows_tenths(250.0));
}

TEST(NavRadioResolve, EachProgramsColumnsGiveTheRadioAtTheirOwnIds) {
    NavRadio r{};
    ASSERT_TRUE(nav_radio_resolve(LAYOUT_NAVCOM_NAV, EVENTS_NAV1, 1, RASTER_25_KHZ, &r));
    EXPECT_EQ(r.number, 1);
    EXPECT_EQ(r.raster, RASTER_25_KHZ);
    EXPECT_EQ(r.selected_dme, 1.0);
    EXPECT_EQ(r.field.radial, 336u);
    EXPECT_EQ(r.field.obs, 312u);
    EXPECT_EQ(r.field.cdi, 392u);
    EXPECT_EQ(r.field.active_bcd16[0], 544u);
    EXPECT_EQ(r.field.active_bcd16[1], 548u);
    EXPECT_EQ(r.field.power.partial_panel, 624u);
    EXPECT_EQ(r.event.set, 36u);
    EXPECT_EQ(r.event.vor_set, 5u);
    EXPECT_EQ(r.event.dme1_ident_toggle, 13u);
    EXPECT_EQ(r.event.toggle_dme, 15u);

    ASSERT_TRUE(nav_radio_resolve(LAYOUT_NAVCOM_NAV, EVENTS_NAVCOM_NAV2, 2, RASTER_50_KHZ, &r));
    EXPECT_EQ(r.selected_dme, 2.0);
    EXPECT_EQ(r.field.radial, 344u);
    EXPECT_EQ(r.field.dme, 432u);
    EXPECT_EQ(r.field.power.partial_panel, 628u);
    EXPECT_EQ(r.event.set, 47u);
    EXPECT_EQ(r.event.obi_inc, 6u);
    EXPECT_EQ(r.event.dme1_ident_enable, 14u);
    EXPECT_EQ(r.event.dme2_ident_enable, 17u);
    EXPECT_EQ(r.event.dme1_ident_disable, 13u);
    EXPECT_EQ(r.event.dme2_ident_disable, 16u);

    // The multi-function panel resolves both radios from its own columns.
    NavRadio hub1{}, hub2{};
    ASSERT_TRUE(nav_radio_resolve(LAYOUT_HUB1, EVENTS_HUB1_XPDR, 1, RASTER_50_KHZ, &hub1));
    ASSERT_TRUE(nav_radio_resolve(LAYOUT_HUB1, EVENTS_HUB1_XPDR, 2, RASTER_50_KHZ, &hub2));
    EXPECT_EQ(hub1.event.set, 40u);
    EXPECT_EQ(hub2.event.set, 47u);
    EXPECT_EQ(hub1.field.nav_sound, 596u);
    EXPECT_EQ(hub2.field.nav_sound, 600u);
}

TEST(NavRadioResolve, MissingNamesFailWithAConsoleErrorAndLeaveTheRadioAlone) {
    fake_sim::reset();
    NavRadio r{};
    r.number = 7;
    ::testing::internal::CaptureStdout();
    // NAV1-Relay's column has the DME toggles only, not radio 2's pairs.
    EXPECT_FALSE(nav_radio_resolve(LAYOUT_NAVCOM_NAV, EVENTS_NAV1, 2, RASTER_50_KHZ, &r));
    EXPECT_FALSE(nav_radio_resolve(LAYOUT_COMM1, EVENTS_COMM, 1, RASTER_50_KHZ, &r));
    EXPECT_FALSE(nav_radio_resolve(LAYOUT_NAVCOM_NAV, EVENTS_NAV1, 3, RASTER_50_KHZ, &r));
    EXPECT_FALSE(nav_radio_resolve(LAYOUT_NAVCOM_NAV, EVENTS_NAV1, 1, RASTER_50_KHZ, nullptr));
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("RADIO_DME1_IDENT_ENABLE"), std::string::npos) << out;
    EXPECT_NE(out.find("NAV RADIAL:1"), std::string::npos) << out;
    EXPECT_NE(out.find("NAV radio 3"), std::string::npos) << out;
    EXPECT_EQ(r.number, 7);

    // An unresolved radio does nothing at all.
    NavRadio none{};
    NavCopies copies{};
    uint8_t block[644] = {};
    nav_send_page(none, block, 0, false, 'C');
    nav_step_and_set(none, &copies, block, NAV_WHOLE_UP);
    EXPECT_FALSE(nav_encoder_step(none, &copies, block, 0, false, NAV_WHOLE_UP, 1));
    EXPECT_FALSE(nav_set_course(none, block));
    nav_ident(none, block, 0);
    EXPECT_TRUE(fake_sim::calls_named("TransmitClientEvent").empty());
}

// Radio 1 as NAV1-Relay resolves it, radio 2 as NAV2-Relay does.
class NavRules : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        fake_sim::reset();
        n_ = GetParam();
        ProgramId id = n_ == 1 ? PROGRAM_NAV1 : PROGRAM_NAV2;
        bridge_reset(program_profile(id), nullptr);
        ASSERT_TRUE(nav_radio_resolve(LAYOUT_NAVCOM_NAV, n_ == 1 ? EVENTS_NAV1 : EVENTS_NAVCOM_NAV2, n_,
                                      n_ == 1 ? RASTER_25_KHZ : RASTER_50_KHZ, &radio_));
        ASSERT_TRUE(link_.open());
    }
    void TearDown() override { link_.close(); }

    std::string var(const char* base) const { return std::string(base) + ":" + std::to_string(n_); }
    std::string text(const char* nav1_text) const {
        std::string s = nav1_text;
        size_t at = s.find('1');
        if (at != std::string::npos && n_ == 2) s[at] = '2';
        return s;
    }

    // Radio n on 110.50 / 113.90, a VOR with signal showing TO, radial 200.4.
    TestFrame frame() const {
        TestFrame f(LAYOUT_NAVCOM_NAV);
        f.f64(var("NAV ACTIVE FREQUENCY").c_str(), 110.50, "MHz");
        f.f64(var("NAV STANDBY FREQUENCY").c_str(), 113.90, "MHz");
        f.i32("NAV ACTIVE FREQUENCY:1", 0x1050, "Frequency BCD16");
        f.i32("NAV ACTIVE FREQUENCY:2", 0x1410, "Frequency BCD16");
        f.i32(var("NAV SIGNAL").c_str(), 100, "number");
        f.i32(var("NAV TOFROM").c_str(), 1, "Enum");
        f.f64(var("NAV RADIAL").c_str(), 200.4, "degrees");
        f.f64(var("NAV OBS").c_str(), 45.0, "degrees");
        return f;
    }
    TestFrame& set_i(TestFrame& f, const char* base, int32_t v, const char* units) const {
        return f.i32(var(base).c_str(), v, units);
    }
    TestFrame& set_d(TestFrame& f, const char* base, double v, const char* units) const {
        return f.f64(var(base).c_str(), v, units);
    }

    Lines page(const TestFrame& f, uint8_t p, bool obs_select = false, char bar = 'C') {
        nav_send_page(radio_, f.data(), p, obs_select, bar);
        return link_.lines();
    }
    std::vector<SentEvent> events() { return take_sent_events(); }

    int n_ = 1;
    NavRadio radio_{};
    PanelLoopback link_;
};

TEST_P(NavRules, FrequencyPageHeaderShowsSignalAndIndication) {
    TestFrame f = frame();
    EXPECT_EQ(page(f, 0), (Lines{text("H>NAV1   \x05 Standby"), "F>110.50    113.90"}));
    set_i(f, "NAV TOFROM", 2, "Enum");
    EXPECT_EQ(page(f, 0)[0], text("H>NAV1   \x06 Standby"));
    set_i(f, "NAV TOFROM", 0, "Enum");
    EXPECT_EQ(page(f, 0)[0], text("H>NAV1   \x04 Standby"));
    // A value the receiver never reports still gets a header.
    set_i(f, "NAV TOFROM", 3, "Enum");
    EXPECT_EQ(page(f, 0)[0], text("H>NAV1   \x04 Standby"));
    set_i(f, "NAV TOFROM", 2, "Enum");
    set_i(f, "NAV HAS LOCALIZER", 1, "boolean");
    EXPECT_EQ(page(f, 0)[0], text("H>NAV1   \x04 Standby"));
    set_i(f, "NAV SIGNAL", 0, "number");
    set_i(f, "NAV SOUND", 1, "boolean");
    EXPECT_EQ(page(f, 0), (Lines{text("H>NAV1     Standby"), "F>110.50 \a  113.90"}));
    // A page number beyond the five shows the frequencies.
    EXPECT_EQ(page(f, 9), (Lines{text("H>NAV1     Standby"), "F>110.50 \a  113.90"}));
}

TEST_P(NavRules, CdiPageShowsTheBarAndTheObsByIndication) {
    TestFrame f = frame();
    set_i(f, "NAV CDI", -127, "number");
    EXPECT_EQ(page(f, 1), (Lines{text("H>CDI1            "), "C>-15", "F>110.50    \x05  045"}));
    EXPECT_EQ(page(f, 1, true, 'S'), (Lines{text("H>CDI1            "), "S>-15", "F>110.50    \x05 >045"}));

    struct Case {
        int32_t signal, localizer, tofrom;
        const char* line;
        const char* selected;
    };
    for (Case c : {Case{0, 0, 1, "F>110.50    |  045", "F>110.50    | >045"},
                   Case{0, 1, 1, "F>110.50    |  045", "F>110.50    | >045"},
                   Case{100, 1, 1, "F>110.50    \x04  LOC", "F>110.50    \x04 >045"},
                   Case{100, 0, 0, "F>110.50    \x04  045", "F>110.50    \x04 >045"},
                   Case{100, 0, 2, "F>110.50    \x06  045", "F>110.50    \x06 >045"},
                   Case{100, 0, 7, "F>110.50    \x04  045", "F>110.50    \x04 >045"}}) {
        set_i(f, "NAV SIGNAL", c.signal, "number");
        set_i(f, "NAV HAS LOCALIZER", c.localizer, "boolean");
        set_i(f, "NAV TOFROM", c.tofrom, "Enum");
        EXPECT_EQ(page(f, 1).back(), c.line) << c.signal << c.localizer << c.tofrom;
        EXPECT_EQ(page(f, 1, true).back(), c.selected) << c.signal << c.localizer << c.tofrom;
    }

    set_i(f, "NAV SOUND", 1, "boolean");
    set_i(f, "NAV HAS LOCALIZER", 1, "boolean");
    set_d(f, "NAV OBS", 360.0, "degrees");
    EXPECT_EQ(page(f, 1).back(), "F>110.50 \a  \x04  LOC");
    set_i(f, "NAV HAS LOCALIZER", 0, "boolean");
    set_i(f, "NAV TOFROM", 1, "Enum");
    EXPECT_EQ(page(f, 1, true).back(), "F>110.50 \a  \x05 >000");
}

TEST_P(NavRules, BearingPagesShowCourseToAndRadialFromOnAVorOnly) {
    TestFrame f = frame();
    EXPECT_EQ(page(f, 2), (Lines{text("H>NAV1          TO"), "F>110.50       020"}));
    EXPECT_EQ(page(f, 3), (Lines{text("H>NAV1        FROM"), "F>110.50       ---"}));
    set_i(f, "NAV TOFROM", 2, "Enum");
    set_i(f, "NAV SOUND", 1, "boolean");
    EXPECT_EQ(page(f, 2).back(), "F>110.50 \a     ---");
    EXPECT_EQ(page(f, 3).back(), "F>110.50 \a     200");
    set_d(f, "NAV RADIAL", 359.6, "degrees");
    EXPECT_EQ(page(f, 3).back(), "F>110.50 \a     000");
    set_i(f, "NAV TOFROM", 1, "Enum");
    EXPECT_EQ(page(f, 2).back(), "F>110.50 \a     180");
    // A localizer has no bearing either way.
    set_i(f, "NAV HAS LOCALIZER", 1, "boolean");
    EXPECT_EQ(page(f, 2).back(), "F>110.50 \a     ---");
    set_i(f, "NAV TOFROM", 2, "Enum");
    EXPECT_EQ(page(f, 3).back(), "F>110.50 \a     ---");
}

TEST_P(NavRules, DmePageMarksTheSelectedDmeAndSwitchesFormatAt99_9) {
    TestFrame f = frame();
    double mine = n_, other = 3 - n_;
    f.f64("SELECTED DME", mine, "number").i32("DME SOUND", 1);
    set_d(f, "NAV DME", 12.4, "nautical miles");
    set_d(f, "NAV DMESPEED", 108.0, "knots");
    EXPECT_EQ(page(f, 4), (Lines{text("H>DME1 sel  108kts"), "F>110.50 \a 12.4nm "}));
    set_d(f, "NAV DME", 99.9, "nautical miles");
    EXPECT_EQ(page(f, 4).back(), "F>110.50 \a 99.9nm ");
    set_d(f, "NAV DME", 99.95, "nautical miles");
    EXPECT_EQ(page(f, 4).back(), "F>110.50 \a  100nm ");

    // The other radio's DME selected: no mark, no audio, whatever NAV SOUND says.
    f.f64("SELECTED DME", other, "number");
    set_i(f, "NAV SOUND", 1, "boolean");
    EXPECT_EQ(page(f, 4), (Lines{text("H>DME1      108kts"), "F>110.50    100nm "}));
    set_d(f, "NAV DME", 0.0, "nautical miles");
    EXPECT_EQ(page(f, 4), (Lines{text("H>DME1      ---kts"), "F>110.50    ---nm "}));
    f.f64("SELECTED DME", mine, "number").i32("DME SOUND", 0);
    set_d(f, "NAV DME", -1.0, "nautical miles");
    EXPECT_EQ(page(f, 4), (Lines{text("H>DME1 sel  ---kts"), "F>110.50    ---nm "}));
}

TEST_P(NavRules, EveryLineIsSixteenCharactersAfterItsPrefix) {
    TestFrame f = frame();
    f.f64("SELECTED DME", n_, "number");
    set_d(f, "NAV DME", 5.0, "nautical miles");
    for (int sound = 0; sound < 2; ++sound) {
        set_i(f, "NAV SOUND", sound, "boolean");
        f.i32("DME SOUND", sound);
        for (uint8_t p = 0; p < 5; ++p) {
            for (const std::string& line : page(f, p, p == 1)) {
                if (line[0] == 'C') continue;  // the bar is a number, not a fixed width
                EXPECT_EQ(line.size(), 18u) << int(p) << " " << line;
            }
        }
    }
}

TEST_P(NavRules, StepAndSetStartsEveryStepFromTheFramesActiveWord) {
    TestFrame f = frame();
    NavCopies copies{{0x9999, 0x9999}};
    uint32_t set = radio_.event.set;
    nav_step_and_set(radio_, &copies, f.data(), NAV_WHOLE_UP);
    nav_step_and_set(radio_, &copies, f.data(), NAV_WHOLE_UP);
    EXPECT_EQ(copies.nav[0], n_ == 1 ? 0x1150u : 0x1050u);  // both copies refreshed
    EXPECT_EQ(copies.nav[1], n_ == 1 ? 0x1410u : 0x1510u);
    nav_step_and_set(radio_, &copies, f.data(), NAV_WHOLE_DOWN);
    nav_step_and_set(radio_, &copies, f.data(), NAV_FRACTION_UP);
    nav_step_and_set(radio_, &copies, f.data(), NAV_FRACTION_DOWN);
    std::vector<SentEvent> want;
    if (n_ == 1) {  // 25-kHz raster
        want = {{set, 0x1150}, {set, 0x1150}, {set, 0x0950}, {set, 0x1052}, {set, 0x1047}};
    } else {  // 50-kHz raster
        want = {{set, 0x1510}, {set, 0x1510}, {set, 0x1310}, {set, 0x1415}, {set, 0x1405}};
    }
    EXPECT_EQ(events(), want);
    nav_step_and_set(radio_, nullptr, f.data(), NAV_WHOLE_UP);
    EXPECT_TRUE(events().empty());
}

TEST_P(NavRules, EncoderStepActsByPage) {
    TestFrame f = frame();
    NavCopies copies{};
    const NavRadioEvents& e = radio_.event;
    uint32_t stepped = n_ == 1 ? 0x1052 : 0x1415;
    EXPECT_TRUE(nav_encoder_step(radio_, &copies, f.data(), 0, true, NAV_FRACTION_UP, 5));
    EXPECT_TRUE(nav_encoder_step(radio_, &copies, f.data(), 0, false, NAV_WHOLE_DOWN, 1));
    EXPECT_EQ(events(), (std::vector<SentEvent>{{e.fraction_inc, 0}, {e.whole_dec, 0}}));
    EXPECT_TRUE(nav_encoder_step(radio_, &copies, f.data(), 1, false, NAV_FRACTION_UP, 5));
    EXPECT_TRUE(nav_encoder_step(radio_, &copies, f.data(), 2, true, NAV_FRACTION_UP, 5));
    EXPECT_TRUE(nav_encoder_step(radio_, &copies, f.data(), 3, true, NAV_FRACTION_UP, 5));
    EXPECT_EQ(events(), (std::vector<SentEvent>{{e.set, stepped}, {e.set, stepped}, {e.set, stepped}}));
    EXPECT_TRUE(nav_encoder_step(radio_, &copies, f.data(), 1, true, NAV_WHOLE_DOWN, 5));
    EXPECT_TRUE(nav_encoder_step(radio_, &copies, f.data(), 1, true, NAV_FRACTION_UP, 1));
    EXPECT_EQ(take_event_ids(), (Ids{e.obi_dec, e.obi_dec, e.obi_dec, e.obi_dec, e.obi_dec, e.obi_inc}));
    EXPECT_FALSE(nav_encoder_step(radio_, &copies, f.data(), 4, true, NAV_WHOLE_UP, 5));
    EXPECT_TRUE(events().empty());
}

TEST_P(NavRules, CourseKeySetsTheObsOnlyForAVorShowingTo) {
    TestFrame f = frame();
    g_bridge.testmode = 1;
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(nav_set_course(radio_, f.data()));
    set_d(f, "NAV RADIAL", 359.6, "degrees");
    EXPECT_TRUE(nav_set_course(radio_, f.data()));
    set_d(f, "NAV RADIAL", 10.4, "degrees");
    EXPECT_TRUE(nav_set_course(radio_, f.data()));
    EXPECT_EQ(events(), (std::vector<SentEvent>{
                            {radio_.event.vor_set, 20}, {radio_.event.vor_set, 180}, {radio_.event.vor_set, 190}}));
    set_i(f, "NAV TOFROM", 2, "Enum");
    EXPECT_FALSE(nav_set_course(radio_, f.data()));
    set_i(f, "NAV TOFROM", 0, "Enum");
    EXPECT_FALSE(nav_set_course(radio_, f.data()));
    set_i(f, "NAV TOFROM", 1, "Enum");
    set_i(f, "NAV HAS LOCALIZER", 1, "boolean");
    EXPECT_FALSE(nav_set_course(radio_, f.data()));
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "B\nB 200.400\nB\nB 359.600\nB\nB 10.400\nB\nB\nB\n");
}

TEST_P(NavRules, IdentTogglesTheStationOrTheSelectedDme) {
    TestFrame f = frame();
    const NavRadioEvents& e = radio_.event;
    for (uint8_t p = 0; p < 4; ++p) nav_ident(radio_, f.data(), p);
    EXPECT_EQ(take_event_ids(), (Ids{e.vor_ident, e.vor_ident, e.vor_ident, e.vor_ident}));

    f.f64("SELECTED DME", 3 - n_, "number");
    nav_ident(radio_, f.data(), 4);
    EXPECT_TRUE(events().empty());

    f.f64("SELECTED DME", n_, "number").i32("DME SOUND", 0);
    nav_ident(radio_, f.data(), 4);
    f.i32("DME SOUND", 1);
    nav_ident(radio_, f.data(), 4);
    if (n_ == 1) {
        EXPECT_EQ(take_event_ids(), (Ids{e.dme1_ident_toggle, e.dme1_ident_toggle}));
    } else {
        EXPECT_EQ(take_event_ids(),
                  (Ids{e.dme1_ident_enable, e.dme2_ident_enable, e.dme1_ident_disable, e.dme2_ident_disable}));
    }
}

INSTANTIATE_TEST_SUITE_P(BothRadios, NavRules, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "NAV" + std::to_string(info.param);
                         });

}  // namespace
