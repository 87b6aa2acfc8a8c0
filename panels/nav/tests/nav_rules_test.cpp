// The NAV radio rules shared by the NAV, NAV/COM and multi-function panels:
// the values, the page lines and the actions, for radio 1 and radio 2 and
// resolved from different programs' columns.
#include <cmath>
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
using Events = std::vector<SentEvent>;

TEST(NavValues, RoundingBearingsObsBarAndDmeThreshold) {
    for (auto c : {std::pair<double, int32_t>{0.5, 1}, {0.49, 0}, {0.0, 0}, {-0.4, 0}, {-0.5, -1}, {1e300, INT32_MAX},
                   {-INFINITY, INT32_MIN}, {NAN, 0}})
        EXPECT_EQ(nav_round(c.first), c.second) << c.first;
    struct Bearing {
        double radial;
        int32_t to, from;
    };
    for (Bearing c : {Bearing{200.4, 20, 200}, {359.6, 180, 0}, {10.4, 190, 10}, {179.5, 0, 180}, {-0.6, 179, 359}}) {
        EXPECT_EQ(nav_course_to_station(c.radial), c.to) << c.radial;
        EXPECT_EQ(nav_radial_from_station(c.radial), c.from) << c.radial;
    }
    for (auto c : {std::pair<double, int32_t>{359.9, 359}, {0.99, 0}, {360.0, 0}, {360.7, 0}, {NAN, 0}})
        EXPECT_EQ(nav_obs_value(c.first), c.second) << c.first;
    for (auto c : {std::pair<int32_t, int32_t>{127, 15}, {-127, -15}, {64, 8}, {5, 1}, {4, 0}, {-4, 0}, {-5, -1}})
        EXPECT_EQ(nav_cdi_value(c.first), c.second) << c.first;
    EXPECT_TRUE(nav_dme_shows_tenths(99.9));
    EXPECT_TRUE(nav_dme_shows_tenths(99.9000015));
    EXPECT_FALSE(nav_dme_shows_tenths(static_cast<double>(99.9f)));
    EXPECT_FALSE(nav_dme_shows_tenths(99.95));
}

TEST(NavRadioResolve, EachProgramsColumnsGiveItsOwnIdsAndGapsAreReported) {
    fake_sim::reset();
    NavRadio r{};
    ASSERT_TRUE(nav_radio_resolve(LAYOUT_NAVCOM_NAV, EVENTS_NAV1, 1, RASTER_25_KHZ, &r));
    EXPECT_EQ((Ids{r.field.radial, r.field.cdi, r.field.active_bcd16[1], r.field.power.partial_panel}),
              (Ids{336, 392, 548, 624}));
    EXPECT_EQ((Ids{r.event.set, r.event.vor_set, r.event.dme1_ident_toggle}), (Ids{36, 5, 13}));
    ASSERT_TRUE(nav_radio_resolve(LAYOUT_NAVCOM_NAV, EVENTS_NAVCOM_NAV2, 2, RASTER_50_KHZ, &r));
    EXPECT_EQ((Ids{r.field.radial, r.field.dme, r.field.power.partial_panel}), (Ids{344, 432, 628}));
    EXPECT_EQ((Ids{r.event.set, r.event.dme1_ident_enable, r.event.dme2_ident_disable}), (Ids{47, 14, 16}));
    // The multi-function panel resolves both radios from its own columns.
    ASSERT_TRUE(nav_radio_resolve(LAYOUT_HUB1, EVENTS_HUB1_XPDR, 1, RASTER_50_KHZ, &r));
    EXPECT_EQ(r.event.set, 40u);

    NavRadio untouched{};
    ::testing::internal::CaptureStdout();
    // NAV1-Relay's column has the DME toggles only, not radio 2's pairs.
    EXPECT_FALSE(nav_radio_resolve(LAYOUT_NAVCOM_NAV, EVENTS_NAV1, 2, RASTER_50_KHZ, &untouched));
    EXPECT_FALSE(nav_radio_resolve(LAYOUT_COMM1, EVENTS_COMM, 1, RASTER_50_KHZ, &untouched));
    EXPECT_FALSE(nav_radio_resolve(LAYOUT_NAVCOM_NAV, EVENTS_NAV1, 3, RASTER_50_KHZ, &untouched));
    std::string out = ::testing::internal::GetCapturedStdout();
    for (const char* name : {"RADIO_DME1_IDENT_ENABLE", "NAV RADIAL:1", "NAV radio 3"})
        EXPECT_NE(out.find(name), std::string::npos) << out;
    // An unresolved radio does nothing at all.
    NavCopies copies{};
    uint8_t block[644] = {};
    EXPECT_FALSE(nav_encoder_step(untouched, &copies, block, 1, false, NAV_WHOLE_UP, 1));
    EXPECT_FALSE(nav_set_course(untouched, block));
    nav_ident(untouched, block, 0);
    EXPECT_TRUE(fake_sim::calls_named("TransmitClientEvent").empty());
}

// Radio 1 as NAV1-Relay resolves it, radio 2 as NAV2-Relay does.
class NavRules : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        fake_sim::reset();
        n_ = GetParam();
        bridge_reset(program_profile(n_ == 1 ? PROGRAM_NAV1 : PROGRAM_NAV2), nullptr);
        ASSERT_TRUE(nav_radio_resolve(LAYOUT_NAVCOM_NAV, n_ == 1 ? EVENTS_NAV1 : EVENTS_NAVCOM_NAV2, n_,
                                      n_ == 1 ? RASTER_25_KHZ : RASTER_50_KHZ, &radio_));
        ASSERT_TRUE(link_.open());
        // 110.50 / 113.90 (radio 2's neighbour on 114.10), a VOR showing TO
        // on radial 200.4, OBS 45.
        f64("NAV ACTIVE FREQUENCY", 110.50, "MHz").f64("NAV STANDBY FREQUENCY", 113.90, "MHz");
        f_.i32("NAV ACTIVE FREQUENCY:1", 0x1050, "Frequency BCD16");
        f_.i32("NAV ACTIVE FREQUENCY:2", 0x1410, "Frequency BCD16");
        i32("NAV SIGNAL", 100, "number").i32("NAV TOFROM", 1, "Enum").f64("NAV RADIAL", 200.4, "degrees");
        f64("NAV OBS", 45.0, "degrees");
    }
    void TearDown() override { link_.close(); }

public:
    // Radio n's variables: INT32 and FLOAT64 fields.
    NavRules& i32(const char* base, int32_t v, const char* units) {
        f_.i32((std::string(base) + ":" + std::to_string(n_)).c_str(), v, units);
        return *this;
    }
    NavRules& f64(const char* base, double v, const char* units) {
        f_.f64((std::string(base) + ":" + std::to_string(n_)).c_str(), v, units);
        return *this;
    }
protected:
    // The NAV1 text as radio n shows it.
    std::string text(std::string s) const {
        if (n_ == 2) s[s.find('1')] = '2';
        return s;
    }
    Lines page(uint8_t p, bool obs_select = false, char bar = 'C') {
        nav_send_page(radio_, f_.data(), p, obs_select, bar);
        return link_.lines();
    }

    int n_ = 1;
    NavRadio radio_{};
    TestFrame f_{LAYOUT_NAVCOM_NAV};
    PanelLoopback link_;
};

TEST_P(NavRules, FrequencyAndCdiPagesShowTheIndicationTheObsAndTheAudioMark) {
    EXPECT_EQ(page(0), (Lines{text("H>NAV1   \x05 Standby"), "F>110.50    113.90"}));
    i32("NAV CDI", -127, "number");
    EXPECT_EQ(page(1), (Lines{text("H>CDI1            "), "C>-15", "F>110.50    \x05  045"}));
    EXPECT_EQ(page(1, true, 'S')[1], "S>-15");

    struct Case {
        int signal, localizer, tofrom;
        const char *header, *line, *selected;
    };
    // The last two: a TO/FROM value the receiver never reports still gets
    // its lines, with the flag.
    for (Case c : {Case{0, 1, 1, "H>NAV1     Standby", "F>110.50    |  045", "F>110.50    | >045"},
                   {100, 1, 2, "H>NAV1   \x04 Standby", "F>110.50    \x04  LOC", "F>110.50    \x04 >045"},
                   {100, 0, 0, "H>NAV1   \x04 Standby", "F>110.50    \x04  045", "F>110.50    \x04 >045"},
                   {100, 0, 2, "H>NAV1   \x06 Standby", "F>110.50    \x06  045", "F>110.50    \x06 >045"},
                   {100, 0, 7, "H>NAV1   \x04 Standby", "F>110.50    \x04  045", "F>110.50    \x04 >045"}}) {
        i32("NAV SIGNAL", c.signal, "number").i32("NAV HAS LOCALIZER", c.localizer, "boolean");
        i32("NAV TOFROM", c.tofrom, "Enum");
        EXPECT_EQ(page(0)[0], text(c.header)) << c.line;
        EXPECT_EQ(page(1).back(), c.line);
        EXPECT_EQ(page(1, true).back(), c.selected);
    }
    i32("NAV SOUND", 1, "boolean").i32("NAV HAS LOCALIZER", 1, "boolean").f64("NAV OBS", 360.0, "degrees");
    EXPECT_EQ(page(0).back(), "F>110.50 \a  113.90");
    EXPECT_EQ(page(1).back(), "F>110.50 \a  \x04  LOC");
    EXPECT_EQ(page(1, true).back(), "F>110.50 \a  \x04 >000");
    EXPECT_EQ(page(9), page(0));  // beyond the five pages: the frequencies
}

TEST_P(NavRules, BearingPagesShowCourseToAndRadialFromOnAVorOnly) {
    EXPECT_EQ(page(2), (Lines{text("H>NAV1          TO"), "F>110.50       020"}));
    EXPECT_EQ(page(3), (Lines{text("H>NAV1        FROM"), "F>110.50       ---"}));
    i32("NAV TOFROM", 2, "Enum").i32("NAV SOUND", 1, "boolean").f64("NAV RADIAL", 359.6, "degrees");
    EXPECT_EQ(page(2).back(), "F>110.50 \a     ---");
    EXPECT_EQ(page(3).back(), "F>110.50 \a     000");
    i32("NAV HAS LOCALIZER", 1, "boolean");
    EXPECT_EQ(page(3).back(), "F>110.50 \a     ---");
    // A radial that is no number has no bearing either way.
    i32("NAV HAS LOCALIZER", 0, "boolean").f64("NAV RADIAL", NAN, "degrees");
    EXPECT_EQ(page(3).back(), "F>110.50 \a     ---");
    i32("NAV TOFROM", 1, "Enum");
    EXPECT_EQ(page(2).back(), "F>110.50 \a     ---");
}

TEST_P(NavRules, DmePageMarksTheSelectedDmeAndShowsTenthsUpTo99_9) {
    f_.f64("SELECTED DME", n_, "number").i32("DME SOUND", 1);
    f64("NAV DME", 99.9, "nautical miles").f64("NAV DMESPEED", 108.0, "knots");
    EXPECT_EQ(page(4), (Lines{text("H>DME1 sel  108kts"), "F>110.50 \a 99.9nm "}));
    f64("NAV DME", 5.2, "nautical miles");
    EXPECT_EQ(page(4).back(), "F>110.50 \a  5.2nm ");  // the field keeps its width
    f64("NAV DME", 99.95, "nautical miles");
    EXPECT_EQ(page(4).back(), "F>110.50 \a  100nm ");
    // The other radio's DME selected: no mark and no audio, whatever NAV SOUND says.
    f_.f64("SELECTED DME", 3 - n_, "number");
    i32("NAV SOUND", 1, "boolean");
    EXPECT_EQ(page(4), (Lines{text("H>DME1      108kts"), "F>110.50    100nm "}));
    f64("NAV DME", 0.0, "nautical miles");
    EXPECT_EQ(page(4), (Lines{text("H>DME1      ---kts"), "F>110.50    ---nm "}));
}

TEST_P(NavRules, StepAndSetStartsEveryStepFromTheFramesWordOnTheRadiosRaster) {
    NavCopies copies{{0x9999, 0x9999}};
    const uint8_t* b = f_.data();
    for (NavStep s : {NAV_WHOLE_UP, NAV_WHOLE_UP, NAV_WHOLE_DOWN, NAV_FRACTION_UP, NAV_FRACTION_DOWN})
        nav_step_and_set(radio_, &copies, b, s);
    EXPECT_EQ(copies.nav[2 - n_], n_ == 1 ? 0x1410u : 0x1050u);  // the other copy refreshed too
    uint32_t set = radio_.event.set;
    Events want = n_ == 1 ? Events{{set, 0x1150}, {set, 0x1150}, {set, 0x0950}, {set, 0x1052}, {set, 0x1047}}
                          : Events{{set, 0x1510}, {set, 0x1510}, {set, 0x1310}, {set, 0x1415}, {set, 0x1405}};
    EXPECT_EQ(take_sent_events(), want);

    // The encoder by page: the simulator's step, the OBS, step and set, nothing.
    const NavRadioEvents& e = radio_.event;
    EXPECT_TRUE(nav_encoder_step(radio_, &copies, b, 0, true, NAV_FRACTION_UP, 5));
    EXPECT_TRUE(nav_encoder_step(radio_, &copies, b, 1, true, NAV_WHOLE_DOWN, 2));
    EXPECT_TRUE(nav_encoder_step(radio_, &copies, b, 3, true, NAV_WHOLE_UP, 5));
    EXPECT_FALSE(nav_encoder_step(radio_, &copies, b, 4, false, NAV_WHOLE_UP, 1));
    EXPECT_EQ(take_sent_events(), (Events{{e.fraction_inc, 0}, {e.obi_dec, 0}, {e.obi_dec, 0}, want[0]}));
}

TEST_P(NavRules, CourseKeyAndIdentActOnlyWhenTheirConditionsHold) {
    g_bridge.testmode = 1;
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(nav_set_course(radio_, f_.data()));
    i32("NAV TOFROM", 2, "Enum");
    EXPECT_FALSE(nav_set_course(radio_, f_.data()));
    i32("NAV TOFROM", 1, "Enum").i32("NAV HAS LOCALIZER", 1, "boolean");
    EXPECT_FALSE(nav_set_course(radio_, f_.data()));
    i32("NAV HAS LOCALIZER", 0, "boolean").f64("NAV RADIAL", NAN, "degrees");
    EXPECT_FALSE(nav_set_course(radio_, f_.data()));  // no radial: no course to set
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "B\nB 200.400\nB\nB\nB\n");
    EXPECT_EQ(take_sent_events(), (Events{{radio_.event.vor_set, 20}}));

    const NavRadioEvents& e = radio_.event;
    nav_ident(radio_, f_.data(), 3);
    f_.f64("SELECTED DME", 3 - n_, "number");
    nav_ident(radio_, f_.data(), 4);  // the other DME is selected: nothing
    f_.f64("SELECTED DME", n_, "number").i32("DME SOUND", 0);
    nav_ident(radio_, f_.data(), 4);
    f_.i32("DME SOUND", 1);
    nav_ident(radio_, f_.data(), 4);
    Ids want = n_ == 1 ? Ids{e.vor_ident, e.dme1_ident_toggle, e.dme1_ident_toggle}
                       : Ids{e.vor_ident, e.dme1_ident_enable, e.dme2_ident_enable, e.dme1_ident_disable,
                             e.dme2_ident_disable};
    EXPECT_EQ(take_event_ids(), want);
}

INSTANTIATE_TEST_SUITE_P(BothRadios, NavRules, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "NAV" + std::to_string(info.param);
                         });

}  // namespace
